#include "image_region.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace focusrate {

namespace {

constexpr long long kMaxCoordinate = 1LL << 40;  // far past any decodable image

// A whole decimal number, nothing around it.
bool ParseCount(const std::string& text, long long& out) {
  if (text.empty() || text.size() > 15) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  out = std::stoll(text);
  return out <= kMaxCoordinate;
}

bool ParseBox(const std::string& text, RegionChoice& region) {
  long long v[4];
  std::string::size_type start = 0;
  for (int i = 0; i < 4; ++i) {
    std::string::size_type comma = text.find(',', start);
    if ((i < 3) != (comma != std::string::npos)) return false;
    std::string part = text.substr(start, i < 3 ? comma - start : std::string::npos);
    if (!ParseCount(part, v[i])) return false;
    start = comma + 1;
  }
  if (v[2] < 1 || v[3] < 1) return false;
  region.kind = RegionChoice::Kind::Box;
  region.x = v[0];
  region.y = v[1];
  region.width = v[2];
  region.height = v[3];
  return true;
}

bool ParseCentre(const std::string& text, RegionChoice& region) {
  if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos)
    return false;
  errno = 0;
  char* end = nullptr;
  double p = std::strtod(text.c_str(), &end);
  if (errno != 0 || *end != '\0' || !(p > 0) || p > 100) return false;
  region.kind = RegionChoice::Kind::Centre;
  region.percent = p;
  return true;
}

// One axis of a centred region: its length and offset inside `total`.
void CentreSpan(long long total, double percent, long long& offset, long long& length) {
  length = std::max(1LL, std::llround(static_cast<double>(total) * percent / 100.0));
  length = std::min(length, total);
  offset = (total - length) / 2;
}

}  // namespace

bool ParseRegion(const std::string& text, RegionChoice& region) {
  static const std::string kCentre = "center:";
  if (text.compare(0, kCentre.size(), kCentre) == 0)
    return ParseCentre(text.substr(kCentre.size()), region);
  return ParseBox(text, region);
}

cv::Rect RegionIn(const RegionChoice& region, cv::Size size) {
  long long x = 0, y = 0, w = size.width, h = size.height;
  switch (region.kind) {
    case RegionChoice::Kind::Whole:
      break;
    case RegionChoice::Kind::Box:
      x = std::min<long long>(region.x, size.width);
      y = std::min<long long>(region.y, size.height);
      w = std::min<long long>(region.width, size.width - x);
      h = std::min<long long>(region.height, size.height - y);
      break;
    case RegionChoice::Kind::Centre:
      CentreSpan(size.width, region.percent, x, w);
      CentreSpan(size.height, region.percent, y, h);
      break;
  }
  if (w <= 0 || h <= 0) return cv::Rect();
  return cv::Rect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w),
                  static_cast<int>(h));
}

}  // namespace focusrate
