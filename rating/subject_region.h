// The subject of a photo (--subject): where it is, and its figures rated
// within the whole image in the same pass as the whole image's.
#ifndef FOCUSRATE_SUBJECT_REGION_H
#define FOCUSRATE_SUBJECT_REGION_H

#include <functional>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "focus_figures.h"
#include "focus_sums.h"

namespace focusrate {

enum class SubjectMode {
  None,    ///< no subject columns
  Faces,   ///< the largest face, else the centre
  Center,  ///< the central 50% of width and height
  Peak,    ///< the 3x3 tiles around the sharpest tile of the default grid
  Auto,    ///< the largest face, else the camera's AF area, else the salient patch,
           ///< else the centre
};

/// The names of the modes, as --subject takes them.
std::vector<std::string> SubjectModeNames();

/// A name of SubjectModeNames(); false for others.
bool ParseSubjectMode(const std::string& name, SubjectMode& mode);

struct SubjectRating {
  FocusFigures whole;    ///< the figures of the whole image
  cv::Rect region;       ///< the subject, in the image's pixels
  std::string how;       ///< "face", "af-point", "center", "center (no face)", "peak" or "salient"
  FocusFigures subject;  ///< the subject's figures, filtered with its surroundings
};

/// Where the camera focused, in the image's pixels (AfPointBox), empty when
/// it is not known: asked only when Auto finds no face, since reading it
/// costs a metadata read.
using AfAreaSource = std::function<cv::Rect()>;

/// Finds the subject of image (CV_8UC3, not None) and rates it and the whole
/// image in one pass on this thread, measuring the figures of set. Only
/// Auto asks afArea, when set. mapTiles, when given, gets the sums of each
/// tile of DefaultGrid(image.size()) from the same pass.
SubjectRating RateWithSubject(const cv::Mat& image, SubjectMode mode, FigureSet set,
                              const AfAreaSource& afArea = AfAreaSource(),
                              std::vector<FocusSums>* mapTiles = nullptr);

/// region of image rated within it, with the whole image's figures, as
/// RateWithSubject rates the region it finds; how says how it was found.
SubjectRating RateRegion(const cv::Mat& image, const cv::Rect& region, std::string how,
                         FigureSet set);

}  // namespace focusrate

#endif  // FOCUSRATE_SUBJECT_REGION_H
