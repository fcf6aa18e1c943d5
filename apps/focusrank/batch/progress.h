// A one-line progress display for long batch runs on a terminal.
#ifndef FOCUSRATE_PROGRESS_H
#define FOCUSRATE_PROGRESS_H

#include <chrono>
#include <string>

namespace focusrate {

/// Redraws "\r 812/5000  41 img/s  1:42 left" on the real stderr, at most
/// ten times a second, and only when enabled (see ProgressWanted). Never
/// touches standard output.
class Progress {
 public:
  Progress(bool enabled, size_t total);
  /// Records one more image done; redraws when the last draw is old enough.
  void Step();
  /// Clears the line so later messages start at column 0.
  void Finish();

  /// The text of one update, without the carriage return.
  static std::string Line(size_t done, size_t total, double seconds);

 private:
  using Clock = std::chrono::steady_clock;
  bool enabled_;
  size_t total_;
  size_t done_ = 0;
  Clock::time_point start_;
  Clock::time_point lastDraw_;
  size_t drawnWidth_ = 0;
};

/// Whether progress should be drawn: not quiet, stderr is a terminal, and
/// the rows do not go to a terminal on standard output.
bool ProgressWanted(bool quiet, bool rowsOnStandardOutput);

}  // namespace focusrate

#endif  // FOCUSRATE_PROGRESS_H
