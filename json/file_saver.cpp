// Writes a tree into a file so that a reader never sees half a document: a
// regular file is replaced by renaming a fully written temporary file over
// it. Devices, pipes and descriptor paths such as /dev/stdout cannot be
// replaced, so they are written in place.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "jzon.h"

namespace Jzon {

namespace {

constexpr int kMaxLinkHops = 40;          // the kernel's own limit (ELOOP)
constexpr int kTempNameAttempts = 100;
constexpr std::string::size_type kMaxTempStem = 128;  // keeps NAME_MAX

enum class Route { Replace, Direct, Fail };

struct Target {
  Route route;
  std::string path;  // the file to replace or write
  bool existed;      // Replace only: an old file whose mode must be kept
  mode_t mode;
};

std::string DirName(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// /dev/stdout, /dev/fd/N and /proc/self/fd/N name a descriptor rather than a
// file; renaming a new file over what they lead to would bypass the
// descriptor, so such paths are written in place.
bool NamesDescriptor(const std::string& path) {
  char* real = realpath(DirName(path).c_str(), nullptr);
  if (real == nullptr) return false;
  const std::string dir(real);
  std::free(real);
  return dir == "/dev" || dir == "/proc" || dir.compare(0, 6, "/proc/") == 0;
}

bool ReadLink(const std::string& path, std::string& target) {
  std::string buffer(PATH_MAX, '\0');
  const ssize_t n = readlink(path.c_str(), &buffer[0], buffer.size());
  if (n < 0 || static_cast<std::string::size_type>(n) >= buffer.size()) return false;
  buffer.resize(static_cast<std::string::size_type>(n));
  target = buffer[0] == '/' ? buffer : DirName(path) + "/" + buffer;
  return true;
}

// Decides how to write fileName. Symbolic links are followed to the file
// they end at, so that file is replaced and the links keep pointing at it.
Target Resolve(const std::string& fileName) {
  if (fileName.empty()) return {Route::Fail, fileName, false, 0};
  struct stat st;
  const bool exists = stat(fileName.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return {Route::Fail, fileName, false, 0};
  if (exists && S_ISDIR(st.st_mode)) return {Route::Fail, fileName, false, 0};
  if (exists && !S_ISREG(st.st_mode)) return {Route::Direct, fileName, false, 0};

  std::string path = fileName;
  for (int hop = 0;; ++hop) {
    if (NamesDescriptor(path)) return {Route::Direct, fileName, false, 0};
    struct stat link;
    if (lstat(path.c_str(), &link) != 0) {
      if (errno != ENOENT) return {Route::Fail, fileName, false, 0};
      // A missing end is fine only when the target was missing all along.
      if (exists) return {Route::Direct, fileName, false, 0};
      return {Route::Replace, path, false, 0};
    }
    if (!S_ISLNK(link.st_mode)) {
      if (!exists) return {Route::Fail, fileName, false, 0};
      if (link.st_dev != st.st_dev || link.st_ino != st.st_ino) {
        return {Route::Direct, fileName, false, 0};
      }
      return {Route::Replace, path, true, static_cast<mode_t>(st.st_mode & 07777)};
    }
    std::string next;
    if (hop == kMaxLinkHops || !ReadLink(path, next)) {
      return {Route::Fail, fileName, false, 0};
    }
    path = next;
  }
}

bool WriteAll(int fd, const std::string& text) {
  std::string::size_type done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::string::size_type>(n);
  }
  return true;
}

// Creates a new, empty file beside path. A new target is created with 0666
// so the umask applies exactly as for any other new file.
int CreateTempBeside(const std::string& path, mode_t mode, std::string& temp) {
  static std::atomic<unsigned> serial(0);
  const std::string stem =
      DirName(path) + "/." + BaseName(path).substr(0, kMaxTempStem) + "." +
      std::to_string(getpid()) + ".";
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    temp = stem + std::to_string(serial++) + ".tmp";
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool Replace(const Target& target, const std::string& text) {
  std::string temp;
  const int fd = CreateTempBeside(target.path, target.existed ? 0600 : 0666, temp);
  if (fd < 0) return false;
  bool ok = (!target.existed || fchmod(fd, target.mode) == 0) && WriteAll(fd, text) &&
            fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(temp.c_str(), target.path.c_str()) == 0;
  if (!ok) unlink(temp.c_str());
  return ok;
}

bool WriteInPlace(const std::string& path, const std::string& text) {
  // No O_CREAT: this route is only taken for things that already exist, and
  // nothing new should ever appear under /dev or /proc. Appending rather than
  // truncating: /dev/stdout redirected to a file must keep what the program
  // already wrote through that descriptor (for pipes and devices it is moot).
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, text);
  return close(fd) == 0 && written;
}

}  // namespace

FileSaver::FileSaver(const std::string& fileName) : fileName_(fileName) {}

bool FileSaver::Save(const Node& node, const WriteStyle& style) const {
  // The whole text is built before the file is touched, so running out of
  // memory leaves an existing file as it was.
  Emitter emitter(node, style);
  emitter.Write();
  const Target target = Resolve(fileName_);
  switch (target.route) {
    case Route::Replace:
      return Replace(target, emitter.GetResult());
    case Route::Direct:
      return WriteInPlace(target.path, emitter.GetResult());
    case Route::Fail:
      break;
  }
  return false;
}

bool FileSaver::SaveFile(const std::string& fileName, const Node& node,
                         const WriteStyle& style) {
  return FileSaver(fileName).Save(node, style);
}

}  // namespace Jzon
