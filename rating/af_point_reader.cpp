// The AF point of each maker as exiv2 0.27 decodes it. Points recorded only
// as an index into a model's own AF layout (Nikon's phase-detect points,
// Sony's and Pentax's named points, Olympus's AFPoint) say nothing of where
// they lie and are not read.
#include <algorithm>
#include <exception>
#include <exiv2/exiv2.hpp>
#include <optional>
#include <string>
#include <vector>

#include "af_point.h"
#include "metadata_setup.h"

namespace focusrate {

namespace {

// The numbers of a tag, none when it is missing.
std::vector<double> Numbers(const Exiv2::ExifData& exif, const std::string& key) {
  const auto tag = exif.findKey(Exiv2::ExifKey(key));
  std::vector<double> numbers;
  if (tag == exif.end()) return numbers;
  for (long i = 0; i < tag->count(); ++i) numbers.push_back(tag->toFloat(i));
  return numbers;
}

// The one number of a tag, 0 when it is missing.
double Number(const Exiv2::ExifData& exif, const std::string& key) {
  const std::vector<double> numbers = Numbers(exif, key);
  return numbers.empty() ? 0 : numbers[0];
}

// A point and area in pixels of a frame of width x height, from its top left.
std::optional<AfPoint> InFrame(double width, double height, double x, double y, double w = 0,
                               double h = 0) {
  if (width <= 0 || height <= 0) return std::nullopt;
  return AfPoint{{x / width, y / height}, {w / width, h / height}};
}

// AFInfo2: the areas of the points in focus, else of those selected, taken
// together. Positions are from the centre of the AF frame, y upwards on EOS
// models and downwards on the others.
std::optional<AfPoint> CanonPoint(const Exiv2::ExifData& exif) {
  const std::string at = "Exif.Canon.";
  if (Number(exif, at + "AFAreaMode") == 0) return std::nullopt;  // manual focus
  const std::vector<double> xs = Numbers(exif, at + "AFXPositions");
  const std::vector<double> ys = Numbers(exif, at + "AFYPositions");
  const std::vector<double> ws = Numbers(exif, at + "AFAreaWidths");
  const std::vector<double> hs = Numbers(exif, at + "AFAreaHeights");
  const size_t n = std::min({xs.size(), ys.size(), ws.size(), hs.size()});
  const auto model = exif.findKey(Exiv2::ExifKey("Exif.Image.Model"));
  const bool eos = model != exif.end() && model->toString().find("EOS") != std::string::npos;
  const double down = eos ? -1 : 1;
  for (const char* masks : {"AFPointsInFocus", "AFPointsSelected"}) {
    const std::vector<double> bits = Numbers(exif, at + masks);
    cv::Rect2d all;
    for (size_t i = 0; i < n && i / 16 < bits.size(); ++i) {
      if (((static_cast<unsigned>(bits[i / 16]) >> (i % 16)) & 1) == 0) continue;
      const cv::Rect2d area(xs[i] - ws[i] / 2, down * ys[i] - hs[i] / 2, ws[i], hs[i]);
      all = all.area() > 0 ? all | area : area;
    }
    if (all.area() <= 0) continue;
    const double width = Number(exif, at + "AFImageWidth");
    const double height = Number(exif, at + "AFImageHeight");
    return InFrame(width, height, width / 2 + all.x + all.width / 2,
                   height / 2 + all.y + all.height / 2, all.width, all.height);
  }
  return std::nullopt;
}

// AFInfo2 (both layouts): the contrast-detect AF area, centred at its
// position in the AF frame; none while that AF was off.
std::optional<AfPoint> NikonPoint(const Exiv2::ExifData& exif) {
  for (const char* group : {"Exif.NikonAf2.", "Exif.NikonAf22."}) {
    const std::string at = group;
    if (Number(exif, at + "ContrastDetectAF") == 0) continue;
    return InFrame(Number(exif, at + "AFImageWidth"), Number(exif, at + "AFImageHeight"),
                   Number(exif, at + "AFAreaXPosition"), Number(exif, at + "AFAreaYPosition"),
                   Number(exif, at + "AFAreaWidth"), Number(exif, at + "AFAreaHeight"));
  }
  return std::nullopt;
}

// AFPointPosition: the centre of the primary AF area, in fractions.
std::optional<AfPoint> PanasonicPoint(const Exiv2::ExifData& exif) {
  const std::vector<double> at = Numbers(exif, "Exif.Panasonic.AFPointPosition");
  if (at.size() != 2) return std::nullopt;
  return InFrame(1, 1, at[0], at[1]);
}

// AFPointSelected: an unused number, then the top-left and bottom-right
// corners of the AF area, in fractions; all undefined (read as 0) for none.
std::optional<AfPoint> OlympusPoint(const Exiv2::ExifData& exif) {
  const std::vector<double> at = Numbers(exif, "Exif.OlympusCs.AFPointSelected");
  if (at.size() != 5 || (at[1] == 0 && at[2] == 0 && at[3] == 0 && at[4] == 0))
    return std::nullopt;
  return InFrame(1, 1, (at[1] + at[3]) / 2, (at[2] + at[4]) / 2, at[3] - at[1], at[4] - at[2]);
}

// FocusPixel (tag 0x1023, which exiv2 keeps by number): the point in pixels
// of the frame the camera wrote, whose size EXIF gives.
std::optional<AfPoint> FujifilmPoint(const Exiv2::ExifData& exif) {
  const std::vector<double> at = Numbers(exif, "Exif.Fujifilm.0x1023");
  if (at.size() != 2) return std::nullopt;
  return InFrame(Number(exif, "Exif.Photo.PixelXDimension"),
                 Number(exif, "Exif.Photo.PixelYDimension"), at[0], at[1]);
}

// FocusLocation (tag 0x2027, kept by number): the frame's width and
// height, then the point in its pixels.
std::optional<AfPoint> SonyPoint(const Exiv2::ExifData& exif) {
  for (const char* key : {"Exif.Sony1.0x2027", "Exif.Sony2.0x2027"}) {
    const std::vector<double> at = Numbers(exif, key);
    if (at.size() == 4) return InFrame(at[0], at[1], at[2], at[3]);
  }
  return std::nullopt;
}

bool WithinFrame(const AfPoint& point) {
  return point.centre.x >= 0 && point.centre.x <= 1 && point.centre.y >= 0 &&
         point.centre.y <= 1 && point.area.width >= 0 && point.area.height >= 0;
}

}  // namespace

std::optional<AfPoint> ReadAfPoint(const std::string& path) {
  const MetadataScope scope;
  try {
    const auto image = Exiv2::ImageFactory::open(path, false);
    image->readMetadata();
    const Exiv2::ExifData& exif = image->exifData();
    for (auto read :
         {CanonPoint, NikonPoint, PanasonicPoint, OlympusPoint, FujifilmPoint, SonyPoint}) {
      const std::optional<AfPoint> point = read(exif);
      if (point) return WithinFrame(*point) ? point : std::nullopt;
    }
  } catch (const std::exception&) {
    // not a format exiv2 reads, or no metadata at all
  }
  return std::nullopt;
}

}  // namespace focusrate
