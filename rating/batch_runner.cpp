#include "batch_runner.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include <signal.h>

#include "af_point.h"
#include "capture_time.h"
#include "default_grid.h"
#include "engine.h"
#include "image_header.h"
#include "image_input.h"
#include "failure_text.h"
#include "reduced_copy.h"
#include "scene_fingerprint.h"
#include "streamed_rating.h"
#include "tile_map.h"

namespace focusrate {

namespace {

RatedImage Rate(const std::string& path, const RateSettings& settings) {
  RatedImage rated;
  ImageExtent extent;
  // Divided, not multiplied: two 32-bit header fields can overflow.
  if (ReadImageExtent(path, extent, settings.decode) && extent.width > 0 &&
      extent.height > settings.maxPixels / extent.width) {
    rated.status = RateStatus::TooLarge;
    return rated;
  }
  // The whole frame needs no image held; a region, a subject or a scene
  // fingerprint does.
  if (settings.region.kind == RegionChoice::Kind::Whole && settings.subject == SubjectMode::None &&
      !settings.burstClues) {
    StreamedFigures streamed = RateWholeFrame(path, settings.maxPixels, 1, settings.figures,
                                              settings.decode, settings.reducedSide,
                                              settings.tileMap);
    rated.status = streamed.status;
    rated.rendition = streamed.rendition;
    if (WasDecoded(streamed.status)) rated.figures = streamed.figures;
    rated.reduced = std::move(streamed.reduced);
    rated.reducedFrom = streamed.reducedFrom;
    rated.tileMap = std::move(streamed.tileMap);
    return rated;
  }
  // A region is found in the upright image, whose turn a PNG may reveal only
  // after its last row.
  DecodedImage decoded = DecodeImage(path, settings.decode);
  rated.status = decoded.status;
  rated.rendition = decoded.rendition;
  if (!WasDecoded(decoded.status)) return rated;
  if (static_cast<long long>(decoded.image.total()) > settings.maxPixels) {
    rated.status = RateStatus::TooLarge;
    return rated;
  }
  const cv::Rect region = RegionIn(settings.region, decoded.image.size());
  if (region.empty()) {
    rated.status = RateStatus::OutsideRegion;
    return rated;
  }
  if (settings.burstClues) rated.fingerprint = SceneFingerprint(decoded.image);
  if (settings.reducedSide > 0) {
    rated.reduced = Reduced(decoded.image, settings.reducedSide);
    rated.reducedFrom = decoded.image.size();
  }
  // One pass gives the figures, and the tile map's and the subject's sums.
  if (settings.subject == SubjectMode::None) {
    if (settings.tileMap) {
      const TiledSums tiled =
          FastTiledSums(decoded.image(region), DefaultGrid(region.size()), 1, settings.figures);
      rated.tileMap = VarianceLapMap(tiled.tiles, tiled.grid);
      rated.figures = FiguresFromSums(tiled.whole);
    } else {
      rated.figures = FastFigures(decoded.image(region), 1, ChannelOrder::Bgr, settings.figures);
    }
    return rated;
  }
  // The AF point is placed in the whole upright image, then in the region.
  const auto afArea = [&]() -> cv::Rect {
    const std::optional<AfPoint> point = ReadAfPoint(path);
    if (!point) return cv::Rect();
    return (AfPointBox(*point, decoded.image.size(), decoded.orientation) & region) - region.tl();
  };
  std::vector<FocusSums> mapTiles;
  const SubjectRating subject = RateWithSubject(decoded.image(region), settings.subject,
                                                settings.figures, afArea,
                                                settings.tileMap ? &mapTiles : nullptr);
  if (settings.tileMap) rated.tileMap = VarianceLapMap(mapTiles, DefaultGrid(region.size()));
  rated.figures = subject.whole;
  rated.subject = subject.region + region.tl();  // in the whole upright image
  rated.subjectHow = subject.how;
  rated.subjectFigures = subject.subject;
  return rated;
}

}  // namespace

RatedImage RateFile(const std::string& path, const RateSettings& settings) {
  // One image that fails is that image's row and the batch goes on: memory
  // is free again once its decode has failed, and a library that refuses
  // one odd image (an OpenCV assertion) has no say over the others.
  auto failed = [](RateStatus status, std::string failure) {
    RatedImage rated;
    rated.status = status;
    rated.failure = std::move(failure);
    return rated;
  };
  try {
    RatedImage rated = Rate(path, settings);
    if (settings.burstClues && WasRated(rated)) rated.captureTime = CaptureTime(path);
    return rated;
  } catch (const std::bad_alloc&) {
    return failed(RateStatus::OutOfMemory, "");
  } catch (const cv::Exception& e) {
    if (e.code == cv::Error::StsNoMem) return failed(RateStatus::OutOfMemory, "");
    return failed(RateStatus::CannotRate, CurrentExceptionText());
  } catch (...) {
    return failed(RateStatus::CannotRate, CurrentExceptionText());
  }
}

namespace {

// Workers start with every asynchronous signal blocked, so a program's
// handlers run on the thread that called, the one that knows what to clean
// up, never in the middle of a decode.
class WorkerSignalMask {
 public:
  WorkerSignalMask() {
    sigset_t blocked;
    sigfillset(&blocked);
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP}) sigdelset(&blocked, sig);
    ::pthread_sigmask(SIG_BLOCK, &blocked, &previous_);
  }
  ~WorkerSignalMask() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

 private:
  sigset_t previous_;
};

// Outcomes travel from the workers to the sink through a ring of slots; a
// worker takes the next index only while it fits in the ring, so behind one
// slow image at most a ring's worth of finished outcomes waits.
class OrderedRun {
 public:
  OrderedRun(const std::vector<std::string>& paths, const RateSettings& settings, int jobs,
             const RatedWork& work)
      : paths_(paths), settings_(settings), work_(work), ring_(2 * static_cast<size_t>(jobs)) {}

  void Work() {
    for (;;) {
      size_t index;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        slotFree_.wait(lock, [&] {
          return stop_ || next_ == paths_.size() || next_ < emitted_ + ring_.size();
        });
        if (stop_ || next_ == paths_.size()) return;
        index = next_++;
      }
      std::optional<RatedImage> rated;
      try {
        rated = RateFile(paths_[index], settings_);
        if (work_) work_(index, *rated);
      } catch (...) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!failure_) failure_ = std::current_exception();
        stop_ = true;
        slotFree_.notify_all();
        slotFilled_.notify_all();
        return;
      }
      std::lock_guard<std::mutex> lock(mutex_);
      ring_[index % ring_.size()] = std::move(rated);
      slotFilled_.notify_all();
    }
  }

  void Deliver(const RowSink& sink) {
    for (size_t index = 0; index < paths_.size(); ++index) {
      RatedImage rated;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        std::optional<RatedImage>& slot = ring_[index % ring_.size()];
        slotFilled_.wait(lock, [&] { return stop_ || slot.has_value(); });
        if (stop_) return;
        rated = *slot;
        slot.reset();
      }
      const bool more = sink(index, rated);
      std::lock_guard<std::mutex> lock(mutex_);
      ++emitted_;
      if (!more) stop_ = true;
      slotFree_.notify_all();
      if (stop_) return;
    }
  }

  void Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
    slotFree_.notify_all();
  }

  std::exception_ptr Failure() const { return failure_; }

 private:
  const std::vector<std::string>& paths_;
  const RateSettings& settings_;
  const RatedWork& work_;
  std::vector<std::optional<RatedImage>> ring_;
  std::mutex mutex_;
  std::condition_variable slotFree_;
  std::condition_variable slotFilled_;
  size_t next_ = 0;     ///< next index a worker takes
  size_t emitted_ = 0;  ///< indices handed to the sink
  bool stop_ = false;
  std::exception_ptr failure_;
};

}  // namespace

void RateInOrder(const std::vector<std::string>& paths, const RateSettings& settings,
                 int jobs, const RowSink& sink, const RatedWork& work) {
  OrderedRun run(paths, settings, jobs, work);
  std::vector<std::thread> workers;
  auto endWorkers = [&] {
    run.Stop();
    for (std::thread& t : workers) t.join();
  };
  try {
    {
      const WorkerSignalMask mask;
      for (int i = 0; i < jobs; ++i) workers.emplace_back([&run] { run.Work(); });
    }
    run.Deliver(sink);
  } catch (...) {
    endWorkers();
    throw;
  }
  endWorkers();
  if (run.Failure()) std::rethrow_exception(run.Failure());
}

}  // namespace focusrate
