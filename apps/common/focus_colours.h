// How focus figures become colours, for every picture the programs draw of
// them (focus maps, the report's overlays): a log scale from soft to sharp
// and one colour map whose low end is black, so soft tiles read as nothing
// laid over a photo.
#ifndef FOCUSRATE_FOCUS_COLOURS_H
#define FOCUSRATE_FOCUS_COLOURS_H

#include <vector>

#include <opencv2/core.hpp>

namespace focusrate {

/// Where figures land between 0 and 1 on a log scale from lo to hi.
class LogScale {
 public:
  LogScale(double lo, double hi) : lo_(lo), hi_(hi) {}
  /// From the smallest positive value (at least a millionth of the largest)
  /// to the largest; 1 to 1 when none is positive and finite.
  explicit LogScale(const std::vector<double>& values);
  double Position(double v) const;
  double ValueAt(double position) const;
  double Low() const { return lo_; }
  double High() const { return hi_; }

 private:
  double lo_, hi_;
};

/// The colour (blue, green, red) at a position from 0 (soft, black) to 1
/// (sharp, pale yellow).
cv::Vec3b FocusColour(double position);

}  // namespace focusrate

#endif  // FOCUSRATE_FOCUS_COLOURS_H
