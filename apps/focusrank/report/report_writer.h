// focusrank --report DIR: each image's thumbnail written as it is final,
// the page once the run is over.
#ifndef FOCUSRATE_REPORT_WRITER_H
#define FOCUSRATE_REPORT_WRITER_H

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "report_folder.h"
#include "report_page.h"

namespace focusrate {

class ReportWriter {
 public:
  /// region: the part of each image rated, where its tile map lies.
  ReportWriter(std::string dir, RowLayout layout, RegionChoice region)
      : dir_(std::move(dir)), layout_(std::move(layout)), region_(region) {}

  /// Makes the folders for a run over `images` images; false says why in
  /// Error().
  bool Open(std::size_t images);
  /// Writes image index's thumbnail from its reduced copy and lets go of
  /// that copy: on the thread that rated it, several at once (a RatedWork).
  void Thumbnail(std::size_t index, RatedImage& rated);
  /// Image index (added in input order, from 0) is final. After a failure,
  /// nothing more is written and false is returned.
  bool Add(std::size_t index, const std::string& path, const RatedImage& rated);
  /// Writes index.html and the pages after it, then removes the thumbnails
  /// and pages an earlier run left that this one did not write: nothing
  /// links to them, and a report is made to be shared.
  bool Finish();
  /// What went wrong, naming the file.
  std::string Error() const;

 private:
  bool Failed(const std::string& name, int error);
  bool RemoveLeftovers(std::size_t pages);
  bool Failing() const;

  std::string dir_;
  RowLayout layout_;
  RegionChoice region_;
  ReportFolder folder_;
  std::vector<ReportFrame> frames_;
  std::vector<cv::Size> thumbs_;  ///< by index, each set by the thread writing it
  mutable std::mutex errorLock_;  ///< thumbnails fail on any thread
  std::string error_;
};

}  // namespace focusrate

#endif  // FOCUSRATE_REPORT_WRITER_H
