// Rating a whole file while it is decoded: rows go from the decoder straight
// into the engine, so no decoded image is held (a progressive JPEG or an
// interlaced PNG is still held inside its decoder).
#ifndef FOCUSRATE_STREAMED_RATING_H
#define FOCUSRATE_STREAMED_RATING_H

#include <string>

#include <opencv2/core.hpp>

#include "focus_figures.h"
#include "image_input.h"

namespace focusrate {

struct StreamedFigures {
  RateStatus status;    ///< TooLarge when the decoded size exceeds maxPixels
  FocusFigures figures; ///< meaningful only when WasDecoded(status)
  Rendition rendition;  ///< what was decoded
  cv::Mat reduced;      ///< upright, when asked for and rated
  cv::Size reducedFrom; ///< the upright size of the image reduced
  cv::Mat tileMap;      ///< upright VarianceLapMap of the default grid, when asked for
};

/// The whole frame's figures of the image in path, decoded as DecodeImage
/// decodes it with options. threads 2 or more: measuring overlaps decoding
/// on a second thread. set: the figures measured (engine.h). reducedSide
/// above 0: also a reduced copy, long side at most that, built from the
/// same rows. tileMap: also the Variance-Lap of each tile of the default
/// grid, from the same pass.
StreamedFigures RateWholeFrame(const std::string& path, long long maxPixels, int threads,
                               FigureSet set = FigureSet::Classic,
                               const DecodeOptions& options = DecodeOptions(),
                               int reducedSide = 0, bool tileMap = false);

}  // namespace focusrate

#endif  // FOCUSRATE_STREAMED_RATING_H
