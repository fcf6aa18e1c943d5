// Files inside one folder, reached by name from the folder's descriptor and
// never through a symbolic link: the folder may be hostile, and a link
// swapped in between a check and a write must not redirect the write.
#ifndef FOCUSRATE_FOLDER_FILES_H
#define FOCUSRATE_FOLDER_FILES_H

#include <sys/stat.h>

#include <string>

namespace focusrate {

/// What a name in the folder is.
enum class FileKind { Missing, Regular, Link, Other };

struct FileContents {
  FileKind kind = FileKind::Missing;
  std::string bytes;    ///< the whole file, when Regular
  struct stat st = {};  ///< the file read, when Regular
};

/// One folder, opened once; every call names a file directly inside it.
/// Calls return 0, or the errno value saying why they failed.
class Folder {
 public:
  explicit Folder(const std::string& path);
  ~Folder();
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  /// Why the folder could not be opened, 0 when it was.
  int OpenError() const { return openError_; }
  /// Reads name whole when it is a regular file of at most 256 MiB (EFBIG
  /// otherwise: a sparse terabyte must not exhaust memory). A symbolic link
  /// (even a dangling one) or any other kind of file is only named, never
  /// opened for reading, so a FIFO cannot stall the run.
  int Read(const std::string& name, FileContents& out) const;
  /// Holds an advisory lock on the folder itself until the Folder is gone,
  /// so cooperating runs take turns at read-merge-replace and no lock file
  /// litters the folder. Waits up to ten seconds (then EWOULDBLOCK), less
  /// when a held-back signal is pending (EINTR). Where the file system cannot
  /// lock at all, goes on unlocked.
  int Lock();
  /// Whether Replace could put a file in place of old: the folder may be
  /// written, and in a sticky folder (/tmp) old is ours or the folder is.
  int CheckWritable(const FileContents& old) const;
  /// Replaces name with bytes: a new temporary file (named per process and
  /// call) is written, synced and renamed over it, keeping the old file's
  /// owner and group (where we may give them) and mode. old is what Read
  /// found; ELOOP when a symbolic link has taken name's place since, EEXIST
  /// when another file has. The temporary file never outlives a failure.
  int Replace(const std::string& name, const std::string& bytes, const FileContents& old) const;

 private:
  int fd_;
  int openError_ = 0;
};

}  // namespace focusrate

#endif  // FOCUSRATE_FOLDER_FILES_H
