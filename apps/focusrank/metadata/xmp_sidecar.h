// XMP sidecar files beside images: read, merged with what we set, and
// replaced whole, never losing what other programs (or the user) wrote.
#ifndef FOCUSRATE_XMP_SIDECAR_H
#define FOCUSRATE_XMP_SIDECAR_H

#include <string>
#include <utility>
#include <vector>

#include "sidecar_paths.h"

namespace focusrate {

/// A kind of mark (xmp:Rating or xmp:Label): whether the run was asked to
/// set it, and the value it wants on this image ("" none).
struct WantedMark {
  bool revise = false;
  std::string value;
};

/// What one sidecar should say.
struct SidecarUpdate {
  /// The project's own properties as (name, text); any other property of
  /// the project's namespace already in the sidecar is removed, but for the
  /// records of marks (SetRating, SetLabel) of kinds not revised.
  std::vector<std::pair<std::string, std::string>> own;
  WantedMark rating;
  WantedMark label;
};

struct SidecarOutcome {
  bool failed = false;  ///< the sidecar could not (or would not) be written
  /// "written", "would write" (dry run) or "unchanged", with the marks that
  /// changed ("written (rating -1, label removed)"); when failed,
  /// "sidecar not written: WHY".
  std::string note;
};

/// A sidecar not written, and why: "symbolic link", "shared with IMG_1.png".
SidecarOutcome SidecarNotWritten(const std::string& why);

/// Merges update into image's sidecar: reads it (a missing one is an empty
/// packet) and, when anything changed, replaces it whole unless dryRun
/// (which only checks that the folder may be written). Every other property
/// is kept. Marks of the kinds revised follow DecideMark, with the user's
/// marks also looked for in the sidecar of the other naming and in the
/// image's own XMP. Files are reached from the image's folder, never
/// through a symbolic link, and the folder is locked throughout. Not written,
/// and left byte for byte: a sidecar that is a symbolic link or not a regular
/// file, cannot be read, is not XMP or not well-formed, or any packet read
/// that binds a known prefix to another namespace, and a sidecar using a
/// namespace exiv2 would not write back as it is. Never throws for a bad file.
SidecarOutcome UpdateSidecar(const std::string& image, SidecarNaming naming,
                             const SidecarUpdate& update, bool overwriteRatings, bool dryRun);

}  // namespace focusrate

#endif  // FOCUSRATE_XMP_SIDECAR_H
