#include "progress.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>

#include "quiet_stderr.h"

namespace focusrate {

namespace {
constexpr std::chrono::milliseconds kRedrawEvery{100};
}  // namespace

Progress::Progress(bool enabled, size_t total)
    : enabled_(enabled), total_(total), start_(Clock::now()), lastDraw_(start_) {}

void Progress::Step() {
  ++done_;
  if (!enabled_) return;
  const Clock::time_point now = Clock::now();
  if (now - lastDraw_ < kRedrawEvery && done_ != total_) return;
  lastDraw_ = now;
  const std::string line =
      Line(done_, total_, std::chrono::duration<double>(now - start_).count());
  // Pad over the tail of a longer earlier line.
  const std::string pad(drawnWidth_ > line.size() ? drawnWidth_ - line.size() : 0, ' ');
  drawnWidth_ = line.size();
  WriteStderr("\r" + line + pad);
}

void Progress::Finish() {
  if (enabled_ && drawnWidth_ > 0) WriteStderr("\r" + std::string(drawnWidth_, ' ') + "\r");
  drawnWidth_ = 0;
}

std::string Progress::Line(size_t done, size_t total, double seconds) {
  const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
  char text[96];
  int n = std::snprintf(text, sizeof text, " %zu/%zu  %.*f img/s", done, total,
                        rate < 10 ? 1 : 0, rate);
  if (rate > 0 && done < total) {
    const long long left = std::llround(static_cast<double>(total - done) / rate);
    std::snprintf(text + n, sizeof text - static_cast<size_t>(n), "  %lld:%02lld left",
                  left / 60, left % 60);
  }
  return text;
}

bool ProgressWanted(bool quiet, bool rowsOnStandardOutput) {
  // Rows printed to the terminal the line is drawn on would run into it.
  if (rowsOnStandardOutput && ::isatty(STDOUT_FILENO) == 1) return false;
  return !quiet && ::isatty(RealStderr()) == 1;
}

}  // namespace focusrate
