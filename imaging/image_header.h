// Image size from the file header, read before decoding, so one huge file
// can be refused before it takes its memory.
#ifndef FOCUSRATE_IMAGE_HEADER_H
#define FOCUSRATE_IMAGE_HEADER_H

#include <string>

struct ImageExtent {
  long long width = 0;
  long long height = 0;
};

/// Reads the first image's width and height from the header of a PNG, JPEG,
/// BMP, PNM (P1-P6), WebP, Sun raster or TIFF file, recognised by its
/// signature, not its name. Opens only regular files and never blocks on a
/// FIFO. False for other formats, damaged headers and unreadable files: the
/// decoder then has the last word.
bool ReadImageExtent(const std::string& path, ImageExtent& extent);

#endif  // FOCUSRATE_IMAGE_HEADER_H
