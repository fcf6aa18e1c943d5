// Where an image's sidecar is, and which images of a run would share one.
#ifndef FOCUSRATE_SIDECAR_PATHS_H
#define FOCUSRATE_SIDECAR_PATHS_H

#include <string>
#include <vector>

namespace focusrate {

/// IMG_0001.JPG.xmp (Append) or IMG_0001.xmp (Replace: the extension gives way).
enum class SidecarNaming { Append, Replace };

std::string SidecarPath(const std::string& image, SidecarNaming naming);

/// For each image, another image of the list (as given) whose sidecar is the
/// same file, "" when none: the same name in the same folder (the folder
/// known by device and inode, else by its normalised path), or an existing
/// sidecar reached under two names. Looks at the file system, never writes.
std::vector<std::string> SharedSidecars(const std::vector<std::string>& images,
                                        SidecarNaming naming);

}  // namespace focusrate

#endif  // FOCUSRATE_SIDECAR_PATHS_H
