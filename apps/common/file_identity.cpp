#include "file_identity.h"

#include <sys/stat.h>

#include <filesystem>

namespace focusrate {

namespace {

// The path with its existing part resolved: what a writer would create.
std::filesystem::path Resolved(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return std::filesystem::path(path).lexically_normal();
  std::filesystem::path resolved = std::filesystem::weakly_canonical(absolute, error);
  return error ? absolute.lexically_normal() : resolved;
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{st.st_dev, st.st_ino};
}

bool SameFile(const std::string& a, const std::string& b) {
  const std::optional<FileIdentity> first = IdentityOf(a);
  return first && first == IdentityOf(b);
}

bool SameOutput(const std::string& a, const std::string& b) {
  return SameFile(a, b) || Resolved(a) == Resolved(b);
}

}  // namespace focusrate
