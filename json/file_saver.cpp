// Writes a file so that a reader never sees half of it: a regular file is
// replaced by renaming a fully written temporary file over it. Devices, pipes
// and descriptor paths such as /dev/stdout cannot be replaced, so they are
// written in place.
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
  bool existed;      // Replace only: an old file whose owner and mode are kept
  struct stat old;   // that old file
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
// A Fail leaves errno saying why.
Target Resolve(const std::string& fileName) {
  const Target fail = {Route::Fail, fileName, false, {}};
  if (fileName.empty()) {
    errno = ENOENT;
    return fail;
  }
  struct stat st;
  const bool exists = stat(fileName.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return fail;
  if (exists && S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    return fail;
  }
  if (exists && !S_ISREG(st.st_mode)) return {Route::Direct, fileName, false, {}};

  std::string path = fileName;
  for (int hop = 0;; ++hop) {
    if (NamesDescriptor(path)) return {Route::Direct, fileName, false, {}};
    struct stat link;
    if (lstat(path.c_str(), &link) != 0) {
      if (errno != ENOENT) return fail;
      // A missing end is fine only when the target was missing all along.
      if (exists) return {Route::Direct, fileName, false, {}};
      return {Route::Replace, path, false, {}};
    }
    if (!S_ISLNK(link.st_mode)) {
      // Appeared or changed while we looked: do not guess.
      if (!exists) {
        errno = EEXIST;
        return fail;
      }
      if (link.st_dev != st.st_dev || link.st_ino != st.st_ino) {
        return {Route::Direct, fileName, false, {}};
      }
      return {Route::Replace, path, true, st};
    }
    std::string next;
    if (hop == kMaxLinkHops) errno = ELOOP;
    if (hop == kMaxLinkHops || !ReadLink(path, next)) return fail;
    path = next;
  }
}

// rename() over a file in a sticky folder (/tmp) is refused unless we own
// the file or the folder: find that out before any work is done, not at the
// end of it.
bool MayReplace(const std::string& path, const struct stat& old) {
  struct stat dir;
  if (stat(DirName(path).c_str(), &dir) != 0) return false;
  const uid_t me = geteuid();
  if ((dir.st_mode & S_ISVTX) == 0 || me == 0 || old.st_uid == me || dir.st_uid == me) return true;
  errno = EPERM;
  return false;
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

}  // namespace

FileWriter::FileWriter(const std::string& fileName) : fileName_(fileName) {}

FileWriter::~FileWriter() {
  if (fd_ >= 0) close(fd_);
  if (!temp_.empty()) unlink(temp_.c_str());
}

bool FileWriter::Fail() {
  errno_ = errno;
  failed_ = true;
  return false;
}

bool FileWriter::Open() {
  if (failed_ || fd_ >= 0) return false;
  const Target target = Resolve(fileName_);
  target_ = target.path;
  switch (target.route) {
    case Route::Replace: {
      if (target.existed && !MayReplace(target.path, target.old)) return Fail();
      std::string temp;
      fd_ = CreateTempBeside(target.path, target.existed ? 0600 : 0666, temp);
      if (fd_ < 0) return Fail();
      temp_ = temp;
      if (!target.existed) return true;
      // The old owner and group where we may give them (as root); failing
      // that the file is ours. Then the mode, which chown may have cut.
      if (fchown(fd_, target.old.st_uid, target.old.st_gid) != 0) {
        (void)!fchown(fd_, static_cast<uid_t>(-1), target.old.st_gid);
      }
      return fchmod(fd_, target.old.st_mode & 07777) == 0 || Fail();
    }
    case Route::Direct:
      // No O_CREAT: this route is only taken for things that already exist,
      // and nothing new should ever appear under /dev or /proc. Appending
      // rather than truncating: /dev/stdout redirected to a file must keep
      // what the program already wrote through that descriptor.
      fd_ = open(target.path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY);
      return fd_ >= 0 || Fail();
    case Route::Fail:
      break;
  }
  return Fail();
}

bool FileWriter::Write(const char* data, std::size_t size) {
  if (failed_ || fd_ < 0) return false;
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = write(fd_, data + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = EIO;
    if (n <= 0) return Fail();
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool FileWriter::Commit() {
  if (failed_ || fd_ < 0) return false;
  const int fd = fd_;
  fd_ = -1;
  // Only a temporary file must be on disk before it is renamed in.
  if (!temp_.empty() && fsync(fd) != 0) {
    Fail();
    close(fd);
    return false;
  }
  if (close(fd) != 0) return Fail();
  if (temp_.empty()) return true;
  if (rename(temp_.c_str(), target_.c_str()) != 0) return Fail();
  temp_.clear();
  return true;
}

bool FileWriter::WriteFile(const std::string& fileName, const std::string& bytes, int& error) {
  FileWriter writer(fileName);
  if (writer.Open() && writer.Write(bytes.data(), bytes.size()) && writer.Commit()) return true;
  error = writer.LastErrno();
  return false;
}

FileSaver::FileSaver(const std::string& fileName) : fileName_(fileName) {}

bool FileSaver::Save(const Node& node, const WriteStyle& style) const {
  // The whole text is built before the file is touched, so running out of
  // memory leaves an existing file as it was.
  Emitter emitter(node, style);
  emitter.Write();
  errno_ = 0;
  return FileWriter::WriteFile(fileName_, emitter.GetResult(), errno_);
}

bool FileSaver::SaveFile(const std::string& fileName, const Node& node,
                         const WriteStyle& style) {
  return FileSaver(fileName).Save(node, style);
}

}  // namespace Jzon
