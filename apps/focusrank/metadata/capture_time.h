// When a photo was taken, for grouping bursts.
#ifndef FOCUSRATE_CAPTURE_TIME_H
#define FOCUSRATE_CAPTURE_TIME_H

#include <string>

/// Seconds since the epoch at which the image in path was taken: its EXIF
/// DateTimeOriginal, with SubSecTimeOriginal as the fraction and
/// OffsetTimeOriginal (else OffsetTime) as its zone; a time without a zone is
/// read as local time, as camera clocks are set. Without a readable
/// DateTimeOriginal, the file's modification time. NaN when neither can be
/// read. Never opens the file for writing; never throws for a bad file.
double CaptureTime(const std::string& path);

#endif  // FOCUSRATE_CAPTURE_TIME_H
