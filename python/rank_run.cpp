#include "rank_run.h"

#include <utility>

namespace {

// Rows rated ahead of a slow reader; the run waits beyond this.
constexpr size_t kReadyRows = 64;

}  // namespace

RankRun::RankRun(std::vector<std::string> images, const RankSettings& settings)
    : images_(std::move(images)), settings_(settings) {
  thread_ = std::thread([this] { Run(); });
}

RankRun::~RankRun() {
  Stop();
  thread_.join();
}

void RankRun::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
  }
  changed_.notify_all();
}

bool RankRun::Stopped() {
  std::lock_guard<std::mutex> lock(mutex_);
  return stopped_;
}

bool RankRun::Hand(RankedRow row) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return stopped_ || ready_.size() < kReadyRows; });
  if (stopped_) return false;
  ready_.push_back(std::move(row));
  changed_.notify_all();
  return true;
}

void RankRun::Run() {
  try {
    RankImages(
        images_, settings_, [this](size_t, RatedImage&) { return !Stopped(); },
        [this](size_t index, const RatedImage& rated) { return Hand({index, rated}); });
  } catch (...) {
    std::lock_guard<std::mutex> lock(mutex_);
    failure_ = std::current_exception();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  over_ = true;
  changed_.notify_all();
}

bool RankRun::Wait(std::chrono::milliseconds wait) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, wait, [&] { return over_ || !ready_.empty(); });
}

std::optional<RankedRow> RankRun::Next() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return over_ || !ready_.empty(); });
  if (ready_.empty()) {
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    return std::nullopt;
  }
  RankedRow row = std::move(ready_.front());
  ready_.pop_front();
  changed_.notify_all();
  return row;
}
