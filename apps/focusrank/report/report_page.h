// The report page: every image of a run as a thumbnail with its figures,
// grouped by burst, as one HTML file that needs nothing but its thumbs/.
#ifndef FOCUSRATE_REPORT_PAGE_H
#define FOCUSRATE_REPORT_PAGE_H

#include <cstddef>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "batch_rows.h"
#include "image_region.h"
#include "rated_image.h"

namespace focusrate {

/// One image of the page, in input order.
struct ReportFrame {
  std::string path;
  RatedImage rated;  ///< without its reduced copy; its tileMap is drawn
  cv::Size thumb;    ///< of thumbs/ThumbName(position); empty: none written
};

/// Text with & < > " ' as character references: safe in text and in
/// quoted attribute values.
std::string HtmlEscaped(const std::string& text);

/// Frames a page holds at most, unless one burst alone is longer: a
/// browser opens a page of them in a moment.
constexpr std::size_t kFramesPerPage = 500;

/// The file name of page k (from 0): "index.html", "page-2.html", ...
std::string PageName(std::size_t page);

/// The pages, every frame on one of them in input order and no burst split
/// between two, each linking to the next and the previous. A page's script
/// runs only with nonce (a fresh random word), so no markup a file name
/// smuggled in could run anything even if it escaped. Each frame's tile map
/// is laid over the part rated (region) on one colour scale per burst, so a
/// burst's maps compare at a glance.
std::vector<std::string> ReportPages(const std::vector<ReportFrame>& frames,
                                     const RowLayout& layout, const RegionChoice& region,
                                     const std::string& nonce,
                                     std::size_t framesPerPage = kFramesPerPage);

}  // namespace focusrate

#endif  // FOCUSRATE_REPORT_PAGE_H
