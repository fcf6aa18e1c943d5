// Encoded image files of the kinds the direct decoders must mirror, made
// here from seeded pixels: PNG of every colour type and depth through libpng
// itself, JPEG through cv::imencode and, for CMYK, through libjpeg.
#ifndef FOCUSRATE_TESTS_ENCODED_VARIANTS_H
#define FOCUSRATE_TESTS_ENCODED_VARIANTS_H

#include <string>
#include <vector>

struct EncodedVariant {
  std::string name;   ///< says what the file exercises
  std::string bytes;  ///< the whole file
};

/// Every PNG colour type at every bit depth it allows, interlaced and not,
/// with tRNS where it applies, a damaged ancillary chunk and EXIF
/// orientations in an eXIf chunk.
std::vector<EncodedVariant> PngVariants();

/// Grey, 4:4:4, 4:2:2 and 4:2:0, progressive, restart markers, CMYK and
/// YCCK (Adobe), and EXIF orientations 1-8 in both byte orders.
std::vector<EncodedVariant> JpegVariants();

/// A baseline and a progressive JPEG and a PNG cut short at several points,
/// with garbage written inside and with a block of zeros, and the PNG
/// signature followed by garbage.
std::vector<EncodedVariant> DamagedVariants();

/// A baseline JPEG (96 x 72) of a seeded smooth colour image.
std::string SmoothJpeg();

#endif  // FOCUSRATE_TESTS_ENCODED_VARIANTS_H
