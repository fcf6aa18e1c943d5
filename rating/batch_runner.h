// Rating many images on several threads while keeping their order.
#ifndef FOCUSRATE_BATCH_RUNNER_H
#define FOCUSRATE_BATCH_RUNNER_H

#include <functional>
#include <string>
#include <vector>

#include "image_region.h"
#include "rated_image.h"
#include "subject_region.h"

namespace focusrate {

/// OpenCV's own default limit on decoded pixels.
constexpr long long kDefaultMaxPixels = 1LL << 30;

struct RateSettings {
  RegionChoice region;                       ///< the part of each image rated
  SubjectMode subject = SubjectMode::None;  ///< the subject found inside that part
  long long maxPixels = kDefaultMaxPixels;  ///< larger images (their renditions) are refused
  DecodeOptions decode;                    ///< raw rendition and scale of every decode
  /// Also what bursts are told by: each image's SceneFingerprint and
  /// capture time.
  bool burstClues = false;
  /// What is measured: All when any figure asked for needs it.
  FigureSet figures = FigureSet::Classic;
  /// Above 0: also keep a reduced copy of each rated image, its long side
  /// at most this many pixels (never enlarged).
  int reducedSide = 0;
  /// Also keep where the focus lies: RatedImage::tileMap.
  bool tileMap = false;
};

/// Rates one file: refuses it as TooLarge when its header (or, for formats
/// whose header is not read, its decoded image) has more than maxPixels,
/// counted at the scale asked for; decodes it as settings.decode says and
/// records the rendition; cuts out the region (in the rendition's pixels) and rates that as an image of its own
/// on this thread, with its subject when one is asked for (for Auto, with
/// the AF point the file records), and takes the
/// whole image's fingerprint and its capture time when asked (the
/// fingerprint from the pixels already decoded).
/// A bad file is a status, never an
/// exception; so is an image whose pixels cannot be allocated (OutOfMemory)
/// and any other failure while rating it (CannotRate, saying why).
RatedImage RateFile(const std::string& path, const RateSettings& settings);

/// Called on the calling thread with each image's index and outcome, in
/// input order; returns false to stop the run early.
using RowSink = std::function<bool(size_t index, const RatedImage& rated)>;

/// Called on the worker thread that rated an image as soon as it is rated:
/// per-image work that runs beside the rating of the others (encoding a
/// thumbnail), on several threads at once and in no particular order.
using RatedWork = std::function<void(size_t index, RatedImage& rated)>;

/// Rates every path with RateFile on `jobs` worker threads, does work on
/// each outcome there, and hands the
/// outcomes to sink in input order, whatever order they finish in. At most
/// 2 x jobs outcomes wait ahead of the sink, so memory stays bounded by the
/// images being decoded. An exception from a worker (running out of memory
/// while recording a failure) stops the run and is rethrown here once every
/// worker has ended.
void RateInOrder(const std::vector<std::string>& paths, const RateSettings& settings,
                 int jobs, const RowSink& sink, const RatedWork& work = RatedWork());

}  // namespace focusrate

#endif  // FOCUSRATE_BATCH_RUNNER_H
