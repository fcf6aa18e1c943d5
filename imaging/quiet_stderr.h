// The image libraries print warnings on stderr (a missing file, a corrupt
// JPEG). The programs promise no such noise, so fd 2 is pointed at /dev/null
// and the programs write their own messages to a private copy of it.
#ifndef FOCUSRATE_QUIET_STDERR_H
#define FOCUSRATE_QUIET_STDERR_H

#include <string>

namespace focusrate {

/// Redirects fd 2 to /dev/null for the rest of the process and keeps the
/// real stderr for WriteStderr. Call once, first thing in main.
void SilenceLibraryStderr();

/// Whether descriptor 0, 1 or 2 was closed when SilenceLibraryStderr ran (it
/// then holds /dev/null, so that no file can take its number): reading or
/// writing it must fail, not quietly find nothing.
bool StandardDescriptorWasClosed(int fd);

/// The descriptor of the real stderr (2 before SilenceLibraryStderr).
int RealStderr();

/// Writes text as is to the real stderr.
void WriteStderr(const std::string& text);

}  // namespace focusrate

#endif  // FOCUSRATE_QUIET_STDERR_H
