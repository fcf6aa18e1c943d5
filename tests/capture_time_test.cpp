// EXIF capture times read strictly: impossible dates, zones and fractions
// are refused (or, for a fraction, ignored) rather than normalised.
#include <stdlib.h>

#include <gtest/gtest.h>

#include <ctime>

#include "capture_time.h"

using namespace focusrate;

namespace {

constexpr long long kNone = -1;  // refused
constexpr long long kMay1 = 1714557600000000;  // 2024-05-01 10:00:00 UTC, in µs

struct TimeCase {
  const char *date, *subSeconds, *offset;
  long long micros;
};
constexpr TimeCase kTimes[] = {
    {"2024:05:01 10:00:00", "", "+00:00", kMay1},
    {"2024:05:01 10:00:00", "", "", kMay1},  // local time, UTC here
    {"2024:05:01 10:00:00", "5", "+02:00", kMay1 - 7200000000 + 500000},
    {"2024:05:01 10:00:00", " 90 ", "-01:30", kMay1 + 5400000000 + 900000},
    {"2024:05:01 10:00:00", "1234567", "+14:00", kMay1 - 50400000000 + 123456},
    // A fraction that is not digits is no fraction at all.
    {"2024:05:01 10:00:00", "5e3", "+00:00", kMay1},
    {"2024:05:01 10:00:00", "1e308", "+00:00", kMay1},
    {"2024:05:01 10:00:00", "-5", "+00:00", kMay1},
    {"2024:02:29 00:00:00", "", "+00:00", 1709164800000000},
    {"2000:02:29 00:00:00", "", "+00:00", 951782400000000},
    {"0001:01:01 00:00:00", "", "+00:00", -62135596800000000},
    {"2023:12:31 23:59:60", "", "+00:00", 1704067200000000},  // a leap second
    {"2023:02:29 00:00:00", "", "+00:00", kNone},
    {"1900:02:29 00:00:00", "", "+00:00", kNone},
    {"2023:04:31 00:00:00", "", "+00:00", kNone},
    {"2023:13:45 25:61:61", "", "+00:00", kNone},
    {"2024:05:01 24:00:00", "", "+00:00", kNone},
    {"2024:05:01 10:60:00", "", "+00:00", kNone},
    {"2024:05:01 10:00:61", "", "+00:00", kNone},
    {"0000:00:00 00:00:00", "", "", kNone},
    {"    :  :     :  :  ", "", "", kNone},
    {"2024-05-01 10:00:00", "", "+00:00", kNone},
    {"2024:5:01 10:00:00", "", "+00:00", kNone},
    {"2024:05:01 10:00:00 ", "", "+00:00", kNone},
    {"2024:05:01 +0:00:00", "", "+00:00", kNone},
    {"2024:05:01 10:00:00", "", "-99:99", kNone},
    {"2024:05:01 10:00:00", "", "+-5:00", kNone},
    {"2024:05:01 10:00:00", "", "+15:00", kNone},
    {"2024:05:01 10:00:00", "", "+05:60", kNone},
    {"2024:05:01 10:00:00", "", "05:00", kNone},
    {"2024:05:01 10:00:00", "", "+05:00 ", kNone},
};

TEST(ExifTime, ImpossibleDatesAndZonesAreRefusedNotNormalised) {
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  for (const TimeCase& c : kTimes) {
    SCOPED_TRACE(std::string(c.date) + "|" + c.subSeconds + "|" + c.offset);
    const std::optional<std::int64_t> micros = ExifMicroseconds(c.date, c.subSeconds, c.offset);
    EXPECT_EQ(micros ? *micros : kNone, c.micros);
  }
}

}  // namespace
