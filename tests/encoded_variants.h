// Encoded image files of the kinds the direct decoders must mirror, made
// here from seeded pixels through libpng and libjpeg themselves.
#ifndef FOCUSRATE_TESTS_ENCODED_VARIANTS_H
#define FOCUSRATE_TESTS_ENCODED_VARIANTS_H

#include <string>
#include <vector>

struct EncodedVariant {
  std::string name;      ///< says what the file exercises
  std::string bytes;     ///< the whole file
  bool damaged = false;  ///< made damaged on purpose
};

/// Intact: every PNG colour type at every bit depth, plain and interlaced
/// with tRNS and an eXIf orientation; JPEG grey, 4:4:4, 4:2:2, progressive,
/// restart markers, CMYK and 4:2:0 with EXIF orientations 1-8; WebP lossy
/// and lossless, with and without alpha (also cut short). Damaged: a
/// baseline and a progressive JPEG and a PNG cut short (also by only their
/// last 2 bytes), with garbage and with zeros inside, a PNG whose text chunk
/// fails its CRC and, last, a PNG signature followed by garbage.
std::vector<EncodedVariant> EncodedVariants();

#endif  // FOCUSRATE_TESTS_ENCODED_VARIANTS_H
