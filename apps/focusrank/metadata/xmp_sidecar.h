// XMP sidecar files beside images: read, merged with what we set, and
// replaced whole, never losing what other programs (or the user) wrote.
#ifndef FOCUSRATE_XMP_SIDECAR_H
#define FOCUSRATE_XMP_SIDECAR_H

#include <string>
#include <utility>
#include <vector>

/// IMG_0001.JPG.xmp (Append) or IMG_0001.xmp (Replace: the extension gives way).
enum class SidecarNaming { Append, Replace };

std::string SidecarPath(const std::string& image, SidecarNaming naming);

/// What one sidecar should say.
struct SidecarUpdate {
  /// The project's own properties as (name, text); any other property of
  /// the project's namespace already in the sidecar is removed.
  std::vector<std::pair<std::string, std::string>> own;
  std::string rating;  ///< xmp:Rating to set, "" none
  std::string label;   ///< xmp:Label to set, "" none
};

struct SidecarOutcome {
  bool failed = false;  ///< the sidecar could not be read, parsed or replaced
  /// "written", "would write" (dry run) or "unchanged", with what was set
  /// beyond the project's properties ("written (rating -1, label Green)");
  /// when failed, "sidecar not written: WHY".
  std::string note;
};

/// Reads the sidecar at path (a missing one is an empty packet), puts in
/// `update`, and replaces the file through Jzon::FileWriter (a temporary
/// file renamed over it) when anything changed and dryRun is false. Every
/// other property is kept. An xmp:Rating or xmp:Label already there is the
/// user's and stays unless overwriteRatings. A sidecar that cannot be read
/// or is not well-formed XMP is left as it is. Never throws for a bad file.
/// Call InitMetadata first; not from two threads at once.
SidecarOutcome UpdateSidecar(const std::string& path, const SidecarUpdate& update,
                             bool overwriteRatings, bool dryRun);

#endif  // FOCUSRATE_XMP_SIDECAR_H
