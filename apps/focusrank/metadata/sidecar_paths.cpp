#include "sidecar_paths.h"

#include <sys/stat.h>

#include <filesystem>
#include <map>

namespace focusrate {

namespace {

std::string FileId(const struct stat& st) {
  return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

// The ways the sidecar at path is known: its name in its folder, and the
// file itself when it exists.
std::vector<std::string> Identities(const std::string& path) {
  const std::filesystem::path sidecar(path);
  const std::filesystem::path folder = sidecar.has_parent_path() ? sidecar.parent_path() : ".";
  std::vector<std::string> keys;
  struct stat st;
  std::error_code ignored;
  keys.push_back(stat(folder.c_str(), &st) == 0
                     ? FileId(st) + "/" + sidecar.filename().string()
                     : std::filesystem::absolute(sidecar, ignored).lexically_normal().string());
  if (lstat(path.c_str(), &st) == 0) keys.push_back(FileId(st));
  return keys;
}

}  // namespace

std::string SidecarPath(const std::string& image, SidecarNaming naming) {
  if (naming == SidecarNaming::Append) return image + ".xmp";
  const std::string::size_type dot = image.rfind('.');
  const std::string::size_type slash = image.rfind('/');
  const bool hasExtension =
      dot != std::string::npos && dot > 0 && (slash == std::string::npos || dot > slash + 1);
  return (hasExtension ? image.substr(0, dot) : image) + ".xmp";
}

std::vector<std::string> SharedSidecars(const std::vector<std::string>& images,
                                        SidecarNaming naming) {
  std::vector<std::string> shared(images.size());
  std::map<std::string, size_t> first;  // identity -> the first image known by it
  for (size_t i = 0; i < images.size(); ++i) {
    for (const std::string& key : Identities(SidecarPath(images[i], naming))) {
      const auto [known, fresh] = first.emplace(key, i);
      if (fresh || known->second == i) continue;
      if (shared[i].empty()) shared[i] = images[known->second];
      if (shared[known->second].empty()) shared[known->second] = images[i];
    }
  }
  return shared;
}

}  // namespace focusrate
