// How a file is to be decoded, and what was decoded: camera raw files can
// be rendered more than one way, and the programs say which one they rated.
#ifndef FOCUSRATE_DECODE_OPTIONS_H
#define FOCUSRATE_DECODE_OPTIONS_H

#include <string>

namespace focusrate {

/// How a camera raw file becomes pixels, all through LibRaw.
enum class RawRendition {
  Half,     ///< half size, camera white balance, sRGB, 8 bits, turned upright (dcraw_emu -h -w -o 1)
  Full,     ///< the same at full size, LibRaw's default demosaic (dcraw_emu -w -o 1)
  Preview,  ///< the largest embedded JPEG preview, turned as the raw; Half without one
};

/// "half", "full", "preview".
const char* RawRenditionText(RawRendition rendition);

/// Every rendition, in the order the programs offer them.
constexpr RawRendition kRawRenditions[] = {RawRendition::Half, RawRendition::Full,
                                           RawRendition::Preview};

/// The rendition RawRenditionText spells as text; false for any other text.
bool ParseRawRendition(const std::string& text, RawRendition& rendition);

/// Every DecodeOptions::scale: 1/1, 1/2, 1/4 and 1/8 of the size.
constexpr int kDecodeScales[] = {1, 2, 4, 8};

struct DecodeOptions {
  RawRendition raw = RawRendition::Half;  ///< for camera raw files; other files ignore it
  /// 1, 2, 4 or 8: decode at 1/scale of the size, each side rounded up
  /// (ReducedSide). JPEG (also a raw preview) is scaled in its DCT, as
  /// djpeg -scale 1/N does; any other picture is decoded whole, turned
  /// upright and reduced with cv::resize(INTER_AREA).
  int scale = 1;
};

/// A side of 1/scale the size, rounded up as libjpeg rounds its scaled sizes.
constexpr long long ReducedSide(long long side, int scale) { return (side + scale - 1) / scale; }

/// What a decode produced: which rendition of a raw file, or the image of
/// any other file, and its upright size (reduced, when decoded at a scale).
struct Rendition {
  bool raw = false;                       ///< a camera raw file's rendition
  RawRendition kind = RawRendition::Half;  ///< which one, when raw
  int width = 0;
  int height = 0;
  int scale = 1;  ///< the DecodeOptions::scale it was decoded at
  /// The EXIF turn still to be applied to the rows DecodeRows handed on
  /// (1: they came upright).
  int orientation = 1;
};

/// "half 3012x2008", "preview 1616x1080"; "image 640x480" for other files.
std::string RenditionText(const Rendition& rendition);

}  // namespace focusrate

#endif  // FOCUSRATE_DECODE_OPTIONS_H
