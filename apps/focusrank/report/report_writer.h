// focusrank --report DIR: each image's thumbnail written as it is final,
// the page once the run is over.
#ifndef FOCUSRATE_REPORT_WRITER_H
#define FOCUSRATE_REPORT_WRITER_H

#include <cstddef>
#include <string>
#include <vector>

#include "report_folder.h"
#include "report_page.h"

namespace focusrate {

class ReportWriter {
 public:
  ReportWriter(std::string dir, RowLayout layout) : dir_(std::move(dir)), layout_(std::move(layout)) {}

  /// Makes the folders; false says why in Error().
  bool Open();
  /// Image index (added in input order, from 0) is final: writes its
  /// thumbnail and lets go of its reduced copy. After a failure, nothing more
  /// is written and false is returned.
  bool Add(std::size_t index, const std::string& path, RatedImage& rated);
  /// Writes index.html.
  bool Finish();
  /// What went wrong, naming the file.
  const std::string& Error() const { return error_; }

 private:
  bool Failed(const std::string& name, int error);

  std::string dir_;
  RowLayout layout_;
  ReportFolder folder_;
  std::vector<ReportFrame> frames_;
  std::string error_;
};

}  // namespace focusrate

#endif  // FOCUSRATE_REPORT_WRITER_H
