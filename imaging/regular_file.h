// Opening a file named as an image: only a regular file is opened at all,
// since opening a FIFO blocks and opening a device can act on it.
#ifndef FOCUSRATE_REGULAR_FILE_H
#define FOCUSRATE_REGULAR_FILE_H

#include <string>

namespace focusrate {

/// Opens path read-only when it is a regular file, looked at before opening
/// and checked again after (the path may change in between); never blocks.
/// Returns the descriptor, or -1: with notRegular set when the path is not
/// a regular file, else with errno saying why it could not be examined or
/// opened.
int OpenRegularFile(const std::string& path, bool& notRegular);

}  // namespace focusrate

#endif  // FOCUSRATE_REGULAR_FILE_H
