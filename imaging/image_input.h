// Decoding an image file for rating, without ever throwing for a bad file.
#ifndef FOCUSRATE_IMAGE_INPUT_H
#define FOCUSRATE_IMAGE_INPUT_H

#include <string>

#include <opencv2/core.hpp>

#include "decode_options.h"
#include "row_decoder.h"

namespace focusrate {

/// Why an image was or was not rated. StatusText spells each for output rows.
enum class RateStatus {
  Ok,                ///< decoded (and rated)
  Damaged,           ///< decoded (and rated), but the decoder found corrupt or missing data
  CannotDecode,      ///< read, but refused by every decoder
  NotFound,          ///< no such file, or a dangling link
  PermissionDenied,  ///< the file or a folder on its path may not be read
  SymlinkLoop,       ///< links that lead back to themselves
  NameTooLong,       ///< longer than the system's path or name limit
  NotRegularFile,    ///< a directory, FIFO, device...: never opened
  TooLarge,          ///< more pixels than allowed, refused before decoding
  OutOfMemory,       ///< its pixels could not be allocated
  OutsideRegion,     ///< decoded, but the region given with --roi misses it entirely
  CannotRate,        ///< measuring it failed in a way no other status names (a library refused it)
};

/// "ok", "damaged", "cannot decode", "not found", "permission denied", "symlink loop",
/// "name too long", "not a regular file", "too large", "out of memory",
/// "region outside image", "cannot rate".
const char* StatusText(RateStatus status);

/// The status for a file that could not be opened or examined, from errno.
RateStatus StatusForErrno(int error);

/// Whether the image was decoded: Ok or Damaged.
inline bool WasDecoded(RateStatus status) {
  return status == RateStatus::Ok || status == RateStatus::Damaged;
}

struct DecodedImage {
  cv::Mat image;  ///< CV_8UC3, blue-green-red; empty unless WasDecoded(status)
  RateStatus status;
  Rendition rendition;  ///< what image holds, when WasDecoded(status)
  /// The EXIF orientation (1-8) the stored image was turned upright by, so
  /// that what the file says of its stored frame can be placed in image; 1
  /// also for files cv::imread decoded, which turns them by itself unseen.
  int orientation = 1;
};

/// Decodes path as cv::imread(path, IMREAD_COLOR) does, pixel for pixel and
/// turned upright by its EXIF orientation: any depth and channel count
/// arrives as three 8-bit channels. JPEG, PNG and WebP are decoded here, with
/// Damaged for a file whose decoder read past corrupt or missing data; every
/// other format, and every file while OPENCV_IO_MAX_IMAGE_PIXELS is set, goes
/// to cv::imread. Except: a file with a camera raw extension goes to LibRaw
/// for options.raw's rendition, and a HEIF or AVIF file (by extension or
/// ftyp brand) to libheif for its primary image, turned as the file says
/// (not by EXIF); Damaged when the library decoded around corrupt data.
/// With options.scale above 1 the image is reduced (see DecodeOptions).
/// Only regular files that can be opened for reading are decoded; the
/// others get the status saying why. A file cv::imread refuses or throws
/// for (a header claiming too many pixels) gives CannotDecode; running out
/// of memory propagates (std::bad_alloc or OpenCV's error).
DecodedImage DecodeImage(const std::string& path, const DecodeOptions& options = DecodeOptions());

/// Decodes path as DecodeImage does, but hands the rows to sink as they are
/// decoded and keeps no image (a WebP, HEIF or raw picture is decoded whole
/// first; a raw preview streams): JPEG and PNG rows and a raw preview's rows
/// arrive in stored order,
/// before any EXIF turn (nothing that rates the whole frame depends on it),
/// other rows arrive upright. Reduced, only JPEG rows (and a raw preview's)
/// stream; any other picture is held whole, reduced, and its rows arrive
/// upright. The rows mean nothing unless
/// WasDecoded(status). rendition, when given, is set to what was decoded.
RateStatus DecodeRows(const std::string& path, PixelSink& sink,
                      const DecodeOptions& options = DecodeOptions(), Rendition* rendition = nullptr);

/// Where the decoder plugins (cv::imread for TIFF, BMP, PNM...; LibRaw;
/// libheif) are sought first: a folder. Otherwise, in order: the folder the
/// environment variable FOCUSRATE_PLUGIN_DIR names, lib/focusrate/ beside
/// the running program's bin/, and the lib/focusrate/ of the prefix this
/// library was installed to. Counts for plugins not loaded yet.
///   SetDecoderPluginDirectory("/opt/focusrate/lib/focusrate");
void SetDecoderPluginDirectory(const std::string& directory);

/// Why a decoder plugin a file needed could not be loaded, "" while none
/// failed. Such files are CannotDecode; nothing throws.
std::string DecoderPluginProblem();

}  // namespace focusrate

#endif  // FOCUSRATE_IMAGE_INPUT_H
