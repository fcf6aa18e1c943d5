#include "capture_time.h"

#include <sys/stat.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <exiv2/exiv2.hpp>

#include "metadata_setup.h"

namespace {

// The text of an EXIF tag, "" when it is missing.
std::string TagText(const Exiv2::ExifData& exif, const char* key) {
  const auto tag = exif.findKey(Exiv2::ExifKey(key));
  return tag == exif.end() ? std::string() : tag->toString();
}

// "YYYY:MM:DD HH:MM:SS" (any separators), with "45" as .45 s and "+02:00" as
// the zone; NaN when the date does not parse.
double ExifSeconds(const std::string& date, const std::string& subSeconds,
                   const std::string& offset) {
  std::tm tm = {};
  char tail = 0;
  if (std::sscanf(date.c_str(), "%4d%*c%2d%*c%2d%*c%2d%*c%2d%*c%2d%c", &tm.tm_year, &tm.tm_mon,
                  &tm.tm_mday, &tm.tm_hour, &tm.tm_min, &tm.tm_sec, &tail) < 6 ||
      tm.tm_year < 1900 || tm.tm_mon < 1 || tm.tm_mday < 1)
    return NAN;
  tm.tm_year -= 1900;
  tm.tm_mon -= 1;
  int sign = 0, hours = 0, minutes = 0;
  char signChar = 0;
  if (std::sscanf(offset.c_str(), " %c%2d:%2d", &signChar, &hours, &minutes) == 3 &&
      (signChar == '+' || signChar == '-'))
    sign = signChar == '+' ? 1 : -1;
  double seconds;
  if (sign != 0) {
    seconds = static_cast<double>(timegm(&tm)) - sign * (hours * 3600.0 + minutes * 60.0);
  } else {
    tm.tm_isdst = -1;
    seconds = static_cast<double>(std::mktime(&tm));
  }
  const std::string::size_type digits = subSeconds.find_first_not_of(" ");
  if (digits != std::string::npos && std::isdigit(static_cast<unsigned char>(subSeconds[digits])))
    seconds += std::atof(("0." + subSeconds.substr(digits)).c_str());
  return seconds;
}

double ExifCaptureTime(const std::string& path) {
  const MetadataScope scope;  // the image's own XMP is read too
  try {
    const auto image = Exiv2::ImageFactory::open(path, false);
    image->readMetadata();
    const Exiv2::ExifData& exif = image->exifData();
    std::string offset = TagText(exif, "Exif.Photo.OffsetTimeOriginal");
    if (offset.empty()) offset = TagText(exif, "Exif.Photo.OffsetTime");
    return ExifSeconds(TagText(exif, "Exif.Photo.DateTimeOriginal"),
                       TagText(exif, "Exif.Photo.SubSecTimeOriginal"), offset);
  } catch (const std::exception&) {
    return NAN;  // not a format exiv2 reads, or no metadata at all
  }
}

}  // namespace

double CaptureTime(const std::string& path) {
  const double exif = ExifCaptureTime(path);
  if (!std::isnan(exif)) return exif;
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return NAN;
  return static_cast<double>(st.st_mtim.tv_sec) + st.st_mtim.tv_nsec * 1e-9;
}
