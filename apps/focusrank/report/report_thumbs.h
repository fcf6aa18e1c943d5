// The thumbnails of the report page: JPEG files named by input position,
// never by the input's own name.
#ifndef FOCUSRATE_REPORT_THUMBS_H
#define FOCUSRATE_REPORT_THUMBS_H

#include <cstddef>
#include <string>

namespace focusrate {

/// The long side of a thumbnail, in pixels.
constexpr int kThumbSide = 480;

/// "000123.jpg" for index 123.
std::string ThumbName(std::size_t index);

}  // namespace focusrate

#endif  // FOCUSRATE_REPORT_THUMBS_H
