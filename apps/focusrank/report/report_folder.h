// The folder a report is written to, and its thumbs/ folder: files are made
// new beside their name and renamed over it, never opened through a
// symbolic link, so a link planted at index.html or thumbs/ cannot send
// the writes elsewhere.
#ifndef FOCUSRATE_REPORT_FOLDER_H
#define FOCUSRATE_REPORT_FOLDER_H

#include <string>
#include <vector>

namespace focusrate {

class ReportFolder {
 public:
  ReportFolder() = default;
  ~ReportFolder();
  ReportFolder(const ReportFolder&) = delete;
  ReportFolder& operator=(const ReportFolder&) = delete;

  /// Opens dir and dir/thumbs, making either when missing; thumbs may not
  /// be a symbolic link. 0, or the errno value saying why not.
  int Open(const std::string& dir);
  /// Puts bytes in place of dir/name (thumbs: dir/thumbs/name). 0 or errno.
  int Write(const std::string& name, const std::string& bytes, bool thumbs) const;
  /// Whether dir/name (thumbs: dir/thumbs/name) is a regular file holding
  /// just these bytes. Nothing else is opened: not a link, a pipe or a
  /// device planted there.
  bool Holds(const std::string& name, const std::string& bytes, bool thumbs) const;
  /// The names in dir (thumbs: dir/thumbs), or errno.
  int List(bool thumbs, std::vector<std::string>& names) const;
  /// Removes dir/name (thumbs: dir/thumbs/name): a link itself, never what
  /// it names, and never a folder. 0 or errno.
  int Remove(const std::string& name, bool thumbs) const;

 private:
  int Folder(bool thumbs) const { return thumbs ? thumbs_ : dir_; }

  int dir_ = -1;
  int thumbs_ = -1;
};

}  // namespace focusrate

#endif  // FOCUSRATE_REPORT_FOLDER_H
