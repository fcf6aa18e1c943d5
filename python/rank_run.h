// A ranking run for Python's focusrate.rank: rated on a thread of its own and
// handed over row by row, so the first rows arrive while the rest are rated.
#ifndef FOCUSRATE_RANK_RUN_H
#define FOCUSRATE_RANK_RUN_H

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "rank_images.h"

class RankRun {
 public:
  /// Runs RankImages. Unsorted rows come in input order as they are rated,
  /// at most a few dozen waiting for the reader; sorted rows come once every
  /// image is rated.
  RankRun(std::vector<std::string> images, const RankSettings& settings);
  /// Stops the run and waits for it.
  ~RankRun();
  RankRun(const RankRun&) = delete;
  RankRun& operator=(const RankRun&) = delete;

  /// Whether Next would return at once, after waiting at most `wait` for it.
  bool Wait(std::chrono::milliseconds wait);
  /// The next row, waiting for it; nothing once the run is over. Rethrows
  /// what stopped the run, if anything did.
  std::optional<RankedRow> Next();
  /// Stops the run: images being rated are finished, no other is begun
  /// (also while a sorted run rates them all) and no more rows come.
  void Stop();

  const std::string& Path(size_t index) const { return images_[index]; }
  const RankSettings& Settings() const { return settings_; }

 private:
  void Run();
  bool Hand(RankedRow row);
  bool Stopped();

  const std::vector<std::string> images_;
  const RankSettings settings_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<RankedRow> ready_;
  bool over_ = false;     ///< every row is in ready_
  bool stopped_ = false;  ///< the reader has gone
  std::exception_ptr failure_;
  std::thread thread_;
};

#endif  // FOCUSRATE_RANK_RUN_H
