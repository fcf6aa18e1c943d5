// Which files a batch run rates: paths from the command line and from a
// list file, with directories searched for images.
#ifndef FOCUSRATE_BATCH_INPUTS_H
#define FOCUSRATE_BATCH_INPUTS_H

#include <functional>
#include <string>
#include <vector>

namespace focusrate {

/// Receives one line about a folder or entry that could not be searched
/// ("DIR: cannot read directory (Permission denied)").
using ProblemReport = std::function<void(const std::string& line)>;

/// Whether the name ends in an extension the imaging library rates (.jpg,
/// .png, .tif, .dng, .nef, .heic... in any case; image_formats.h).
bool HasImageExtension(const std::string& name);

/// Reads one path per line (or per NUL byte when nulSeparated) from the file,
/// or from standard input when listFile is "-". Lines lose a final CR;
/// empty entries and lines of spaces are dropped. False, with error set to
/// the errno saying why, when the list cannot be read.
bool ReadPathList(const std::string& listFile, bool nulSeparated,
                  std::vector<std::string>& paths, int& error);

/// Expands the given paths into the files to rate, in a fixed order: a path
/// naming a directory (or a symlink to one) is searched recursively for
/// names with an image extension, entries sorted by name at each level;
/// any other path is kept as it is, so a missing file still gets its row.
/// Symlinks to directories inside a search are not followed, and a
/// directory reached twice is searched once. An unreadable directory, or an
/// entry that cannot be examined and is not named like an image, is handed
/// to report and the rest goes on; such an entry named
/// like an image is kept, so its row says why. skipped, when given, is
/// increased by the number of files (not directories, nor links to them) a
/// search passed by for their names.
std::vector<std::string> ExpandPaths(const std::vector<std::string>& given,
                                     const ProblemReport& report, size_t* skipped = nullptr);

}  // namespace focusrate

#endif  // FOCUSRATE_BATCH_INPUTS_H
