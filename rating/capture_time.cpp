#include "capture_time.h"

#include <sys/stat.h>

#include <ctime>
#include <exception>
#include <exiv2/exiv2.hpp>

#include "metadata_setup.h"

namespace focusrate {

namespace {

constexpr std::int64_t kMicro = 1000000;
// Modification times further than this from the epoch (about 31,700 years)
// are not taken, so that microseconds and their differences fit in 64 bits.
constexpr std::int64_t kLatestSeconds = 1000000000000;

// The text of an EXIF tag, "" when it is missing.
std::string TagText(const Exiv2::ExifData& exif, const char* key) {
  const auto tag = exif.findKey(Exiv2::ExifKey(key));
  return tag == exif.end() ? std::string() : tag->toString();
}

// The count digits of text from at as a number; -1 unless all are digits
// (ASCII only, whatever the locale).
int Digits(const std::string& text, size_t at, size_t count) {
  if (at + count > text.size()) return -1;
  int n = 0;
  for (size_t k = at; k < at + count; ++k) {
    if (text[k] < '0' || text[k] > '9') return -1;
    n = n * 10 + (text[k] - '0');
  }
  return n;
}

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to a date of the Gregorian calendar (the civil-date
// algorithm in eras of 400 years), without the normalising of timegm,
// which would turn month 13 into next year.
std::int64_t DaysSinceEpoch(int year, int month, int day) {
  year -= month <= 2;
  const int era = year / 400;  // years from 1 on: never negative here
  const int yearOfEra = year - era * 400;
  const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097LL + dayOfEra - 719468;
}

// "+HH:MM" or "-HH:MM" as seconds east of UTC.
std::optional<int> ZoneSeconds(const std::string& offset) {
  if (offset.size() != 6 || (offset[0] != '+' && offset[0] != '-') || offset[3] != ':')
    return std::nullopt;
  const int hours = Digits(offset, 1, 2), minutes = Digits(offset, 4, 2);
  if (hours < 0 || hours > 14 || minutes < 0 || minutes > 59) return std::nullopt;
  return (offset[0] == '+' ? 1 : -1) * (hours * 3600 + minutes * 60);
}

// "45" as 450000 µs: the digits are a decimal fraction, read to the
// microsecond. Cameras pad the field with spaces; anything else is no
// fraction at all.
std::int64_t SubSecondMicroseconds(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return 0;
  std::string digits = text.substr(first, text.find_last_not_of(' ') + 1 - first);
  if (digits.find_first_not_of("0123456789") != std::string::npos) return 0;
  digits.resize(6, '0');
  return Digits(digits, 0, 6);
}

std::optional<std::int64_t> ExifCaptureTime(const std::string& path) {
  const MetadataScope scope;  // the image's own XMP is read too
  try {
    const auto image = Exiv2::ImageFactory::open(path, false);
    image->readMetadata();
    const Exiv2::ExifData& exif = image->exifData();
    std::string offset = TagText(exif, "Exif.Photo.OffsetTimeOriginal");
    if (offset.empty()) offset = TagText(exif, "Exif.Photo.OffsetTime");
    return ExifMicroseconds(TagText(exif, "Exif.Photo.DateTimeOriginal"),
                            TagText(exif, "Exif.Photo.SubSecTimeOriginal"), offset);
  } catch (const std::exception&) {
    return std::nullopt;  // not a format exiv2 reads, or no metadata at all
  }
}

}  // namespace

std::optional<std::int64_t> ExifMicroseconds(const std::string& date,
                                             const std::string& subSeconds,
                                             const std::string& offset) {
  if (date.size() != 19 || date[4] != ':' || date[7] != ':' || date[10] != ' ' ||
      date[13] != ':' || date[16] != ':')
    return std::nullopt;
  const int year = Digits(date, 0, 4), month = Digits(date, 5, 2), day = Digits(date, 8, 2);
  const int hour = Digits(date, 11, 2), minute = Digits(date, 14, 2), second = Digits(date, 17, 2);
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
      hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 60)
    return std::nullopt;
  std::int64_t seconds;
  if (offset.empty()) {
    std::tm tm = {};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    seconds = std::mktime(&tm);
  } else {
    const std::optional<int> zone = ZoneSeconds(offset);
    if (!zone) return std::nullopt;
    seconds = DaysSinceEpoch(year, month, day) * 86400 + hour * 3600 + minute * 60 + second - *zone;
  }
  return seconds * kMicro + SubSecondMicroseconds(subSeconds);
}

std::optional<std::int64_t> CaptureTime(const std::string& path) {
  const std::optional<std::int64_t> exif = ExifCaptureTime(path);
  if (exif) return exif;
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || st.st_mtim.tv_sec > kLatestSeconds ||
      st.st_mtim.tv_sec < -kLatestSeconds)
    return std::nullopt;
  return st.st_mtim.tv_sec * kMicro + st.st_mtim.tv_nsec / 1000;
}

}  // namespace focusrate
