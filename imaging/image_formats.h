// Which files are rated, by name and by signature. Camera raw files are
// known by their extension alone: most are TIFF inside, and a TIFF reader
// would take their small first-directory preview for the picture.
#ifndef FOCUSRATE_IMAGE_FORMATS_H
#define FOCUSRATE_IMAGE_FORMATS_H

#include <cstddef>
#include <string>

namespace focusrate {

/// Whether the name (or path) ends in the extension
/// of a format decoded here, in any case: OpenCV's (jpg, png, tif, webp,
/// bmp, pnm...), camera raw (dng, cr2, nef, arw...) or HEIF (heic, avif...).
bool HasRatedExtension(const std::string& name);

/// Whether the name ends in a camera raw extension, decoded by LibRaw.
bool HasRawExtension(const std::string& name);

/// Whether the name ends in .heic, .heif, .hif or .avif, decoded by libheif.
bool HasHeifExtension(const std::string& name);

/// How many leading bytes IsHeifSignature wants, when the file has them.
constexpr size_t kHeifSignatureBytes = 64;

/// Whether the file starts with an ftyp box naming a HEIF or AVIF brand
/// (heic, heix, mif1, msf1, avif...) as its major or a compatible brand.
bool IsHeifSignature(const unsigned char* head, size_t size);

}  // namespace focusrate

#endif  // FOCUSRATE_IMAGE_FORMATS_H
