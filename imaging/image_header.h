// Image size from the file header, read before decoding, so one huge file
// can be refused before it takes its memory.
#ifndef FOCUSRATE_IMAGE_HEADER_H
#define FOCUSRATE_IMAGE_HEADER_H

#include <string>

#include "decode_options.h"

namespace focusrate {

struct ImageExtent {
  long long width = 0;
  long long height = 0;
};

/// Reads the first image's width and height from the header of a PNG, JPEG,
/// BMP, PNM (P1-P6), WebP, Sun raster or TIFF file, recognised by its
/// signature, not its name. Files DecodeImage sends to LibRaw or libheif
/// get the size of what it would decode for options, upright, from their
/// library before any pixel is unpacked (a raw preview's from its JPEG
/// header). With options.scale, each side is reduced as DecodeImage reduces
/// it (ReducedSide). Opens only regular files and never blocks on a FIFO. False for
/// other formats, damaged headers and unreadable files: the decoder then
/// has the last word. Throws std::bad_alloc when LibRaw or libheif runs out
/// of memory, std::runtime_error when their plugin cannot be loaded.
bool ReadImageExtent(const std::string& path, ImageExtent& extent,
                     const DecodeOptions& options = DecodeOptions());

}  // namespace focusrate

#endif  // FOCUSRATE_IMAGE_HEADER_H
