#include "xmp_sidecar.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <exiv2/exiv2.hpp>
#include <map>

#include "jzon.h"
#include "metadata_setup.h"

namespace {

const std::string kOwnKeys = std::string("Xmp.") + kProjectPrefix + ".";

std::string Why(const std::string& what, int error) {
  return "sidecar not written: " + what + " (" + std::strerror(error) + ")";
}

// The whole file; false with errno set when it cannot be read. A missing
// file reads as empty; anything but a regular file is refused unopened, so
// a FIFO named like a sidecar cannot stall the run.
bool ReadSidecar(const std::string& path, std::string& text) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISREG(st.st_mode)) {
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return false;
  }
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[1 << 14];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) != 0) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  const int error = errno;
  close(fd);
  errno = error;
  return n == 0;
}

// Sets key to value unless the user already set it; true when it changed.
bool SetUnlessUsers(Exiv2::XmpData& xmp, const char* key, const std::string& value,
                    bool overwrite) {
  const auto old = xmp.findKey(Exiv2::XmpKey(key));
  if (old != xmp.end() && (!overwrite || old->toString() == value)) return false;
  xmp[key] = value;
  return true;
}

SidecarOutcome Merge(const std::string& path, const SidecarUpdate& update, bool overwrite,
                     bool dryRun) {
  SidecarOutcome outcome;
  outcome.failed = true;
  std::string packet;
  if (!ReadSidecar(path, packet)) {
    outcome.note = Why("cannot read", errno);
    return outcome;
  }
  Exiv2::XmpData xmp;
  if (Exiv2::XmpParser::decode(xmp, packet) != 0) {
    outcome.note = "sidecar not written: not well-formed XMP";
    return outcome;
  }
  std::map<std::string, std::string> before, after;
  for (auto it = xmp.begin(); it != xmp.end();) {
    if (it->key().compare(0, kOwnKeys.size(), kOwnKeys) != 0) {
      ++it;
      continue;
    }
    before[it->key()] = it->toString();
    it = xmp.erase(it);
  }
  for (const auto& [name, text] : update.own) {
    xmp[kOwnKeys + name] = text;
    after[kOwnKeys + name] = text;
  }
  std::string set;
  if (!update.rating.empty() && SetUnlessUsers(xmp, "Xmp.xmp.Rating", update.rating, overwrite))
    set = "rating " + update.rating;
  if (!update.label.empty() && SetUnlessUsers(xmp, "Xmp.xmp.Label", update.label, overwrite))
    set += (set.empty() ? "label " : ", label ") + update.label;
  outcome.failed = false;
  if (before == after && set.empty() && !packet.empty()) {
    outcome.note = "unchanged";
    return outcome;
  }
  outcome.note = std::string(dryRun ? "would write" : "written") +
                 (set.empty() ? "" : " (" + set + ")");
  if (dryRun) return outcome;
  std::string text;
  int error = 0;
  if (Exiv2::XmpParser::encode(text, xmp, Exiv2::XmpParser::omitPacketWrapper |
                                              Exiv2::XmpParser::useCompactFormat) != 0) {
    outcome = {true, "sidecar not written: cannot encode XMP"};
  } else if (!Jzon::FileWriter::WriteFile(path, text, error)) {
    outcome = {true, Why("cannot replace", error)};
  }
  return outcome;
}

}  // namespace

std::string SidecarPath(const std::string& image, SidecarNaming naming) {
  if (naming == SidecarNaming::Append) return image + ".xmp";
  const std::string::size_type dot = image.rfind('.');
  const std::string::size_type slash = image.rfind('/');
  const bool hasExtension = dot != std::string::npos && dot > 0 &&
                            (slash == std::string::npos || dot > slash + 1);
  return (hasExtension ? image.substr(0, dot) : image) + ".xmp";
}

SidecarOutcome UpdateSidecar(const std::string& path, const SidecarUpdate& update,
                             bool overwriteRatings, bool dryRun) {
  try {
    return Merge(path, update, overwriteRatings, dryRun);
  } catch (const Exiv2::AnyError& e) {
    return {true, std::string("sidecar not written: ") + e.what()};
  }
}
