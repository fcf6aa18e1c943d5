// Camera raw and HEIF files, read through their plugins (picture_plugin.h),
// each loaded the first time a file needs it.
#ifndef FOCUSRATE_PICTURE_READER_H
#define FOCUSRATE_PICTURE_READER_H

#include "picture_plugin.h"

enum class PictureLibrary { LibRaw, Libheif };

/// Reads the regular file open as fd through library's plugin: its rows
/// into sink, or with no sink only its size (see ReadPictureFunction).
/// The library reads the file the descriptor holds, whatever its path has
/// become since it was opened. Throws std::bad_alloc when memory ran out,
/// CannotDecode when the plugin cannot be loaded.
PictureOutcome ReadPicture(PictureLibrary library, int fd, const DecodeOptions& options, PixelSink* sink);

#endif  // FOCUSRATE_PICTURE_READER_H
