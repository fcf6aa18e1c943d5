// When a photo was taken, for grouping bursts.
#ifndef FOCUSRATE_CAPTURE_TIME_H
#define FOCUSRATE_CAPTURE_TIME_H

#include <cstdint>
#include <optional>
#include <string>

namespace focusrate {

/// Microseconds since the epoch at which the image in path was taken: its
/// EXIF DateTimeOriginal, with SubSecTimeOriginal as the fraction and
/// OffsetTimeOriginal (else OffsetTime) as its zone, as ExifMicroseconds
/// reads them. Without a possible EXIF time, the file's modification time;
/// nothing when neither can be read. Never opens the file for writing;
/// never throws for a bad file.
std::optional<std::int64_t> CaptureTime(const std::string& path);

/// The instant named by an EXIF date "YYYY:MM:DD HH:MM:SS" (exactly so, a
/// real day of the Gregorian calendar from year 1, hours 0-23, minutes 0-59, seconds
/// 0-60), its subseconds ("45" is .45 s; ignored unless digits, spaces
/// around them aside) and its zone ("+HH:MM" or "-HH:MM", hours at most 14;
/// "" reads the date as local time, as camera clocks are set), in
/// microseconds since the epoch; nothing for an impossible date or zone.
std::optional<std::int64_t> ExifMicroseconds(const std::string& date,
                                             const std::string& subSeconds,
                                             const std::string& offset);

}  // namespace focusrate

#endif  // FOCUSRATE_CAPTURE_TIME_H
