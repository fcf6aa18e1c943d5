// The entry point the LibRaw and libheif plugins share (raw_plugin/,
// heif_plugin/): a file, named by a path that reaches the descriptor the
// caller opened and checked, in; a status and rows for a sink, or a size,
// out. The plugins catch everything: nothing is thrown across dlopen's
// boundary.
#ifndef FOCUSRATE_PICTURE_PLUGIN_H
#define FOCUSRATE_PICTURE_PLUGIN_H

#include <new>
#include <string>

#include <opencv2/core.hpp>

#include "decode_options.h"
#include "image_input.h"

namespace focusrate {

#define FOCUSRATE_RAW_PLUGIN_FILE "libfocusrate_raw.so"
#define FOCUSRATE_HEIF_PLUGIN_FILE "libfocusrate_heif.so"
#define FOCUSRATE_PICTURE_SYMBOL "FocusrateReadPicture"

/// What a plugin made of a file.
struct PictureOutcome {
  RateStatus status = RateStatus::CannotDecode;  ///< Ok, Damaged, CannotDecode or OutOfMemory
  Rendition rendition;   ///< what was made, with its upright size (raw: Preview only with a JPEG)
  std::string jpeg;      ///< a raw file's preview, as stored, for the caller's JPEG decoder
  /// A raw's turn, as an EXIF orientation: its rows come turned by it, its
  /// preview is still to be.
  int orientation = 1;
};

/// Reads path and hands the picture's rows to sink, upright, once the
/// library decoded it whole (a raw preview's JPEG is the caller's to
/// decode); with no sink, reads only as far as the rendition's size (a
/// preview's is in its JPEG).
using ReadPictureFunction = void (*)(const char* path, const DecodeOptions* options, PixelSink* sink,
                                     PictureOutcome* outcome);

/// Runs read(*outcome) inside a plugin's entry point: running out of memory
/// (in the library or in the sink) becomes OutOfMemory, anything else
/// thrown CannotDecode.
template <typename Read>
void ReadCatchingAll(PictureOutcome* outcome, Read read) noexcept {
  RateStatus failed = RateStatus::CannotDecode;
  try {
    read(*outcome);
    return;
  } catch (const std::bad_alloc&) {
    failed = RateStatus::OutOfMemory;
  } catch (const cv::Exception& e) {
    if (e.code == cv::Error::StsNoMem) failed = RateStatus::OutOfMemory;
  } catch (...) {
  }
  *outcome = PictureOutcome();
  outcome->status = failed;
}

}  // namespace focusrate

#endif  // FOCUSRATE_PICTURE_PLUGIN_H
