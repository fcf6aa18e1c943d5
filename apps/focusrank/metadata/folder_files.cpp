#include "folder_files.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace focusrate {

namespace {

constexpr std::string::size_type kMaxReadBytes = 256 << 20;
constexpr int kLockPollMs = 5;
constexpr int kLockWaitMs = 10000;
constexpr std::string::size_type kMaxTempStem = 200;  // the temporary name stays under NAME_MAX
constexpr int kTempNameAttempts = 100;

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Everything, or errno.
int WriteAll(int fd, const std::string& bytes) {
  for (std::string::size_type done = 0; done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n == 0 ? EIO : errno;
    done += static_cast<std::string::size_type>(n);
  }
  return 0;
}

}  // namespace

Folder::Folder(const std::string& path)
    : fd_(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
  if (fd_ < 0) openError_ = errno;
}

Folder::~Folder() {
  if (fd_ >= 0) close(fd_);  // releases the lock too
}

int Folder::Read(const std::string& name, FileContents& out) const {
  out = FileContents();
  struct stat st;
  if (fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT ? 0 : errno;
  out.kind = S_ISLNK(st.st_mode)   ? FileKind::Link
             : S_ISREG(st.st_mode) ? FileKind::Regular
                                   : FileKind::Other;
  if (out.kind != FileKind::Regular) return 0;
  // Swapped since the look: O_NOFOLLOW refuses a link, O_NONBLOCK keeps a
  // FIFO from blocking the open, and fstat tells what was opened.
  const int fd =
      openat(fd_, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    out.kind = errno == ELOOP ? FileKind::Link : FileKind::Missing;
    return errno == ELOOP || errno == ENOENT ? 0 : errno;
  }
  int error = fstat(fd, &out.st) != 0 ? errno : 0;
  if (error == 0 && static_cast<unsigned long long>(out.st.st_size) > kMaxReadBytes) error = EFBIG;
  if (error == 0 && !S_ISREG(out.st.st_mode)) out.kind = FileKind::Other;
  char buffer[1 << 14];
  while (error == 0 && out.kind == FileKind::Regular) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0 && errno != EINTR) error = errno;
    if (n > 0) out.bytes.append(buffer, static_cast<size_t>(n));
    if (out.bytes.size() > kMaxReadBytes) error = EFBIG;
  }
  close(fd);
  return error;
}

int Folder::Lock() {
  for (int waited = 0;; waited += kLockPollMs) {
    if (flock(fd_, LOCK_EX | LOCK_NB) == 0) return 0;
    if (errno == EINTR) continue;
    // No locks here (some network file systems): as unlocked as any other program.
    if (errno != EWOULDBLOCK) return 0;
    sigset_t pending;
    if (sigpending(&pending) == 0 && !sigisemptyset(&pending)) return EINTR;
    if (waited >= kLockWaitMs) return EWOULDBLOCK;
    usleep(kLockPollMs * 1000);
  }
}

int Folder::CheckWritable(const FileContents& old) const {
  if (faccessat(fd_, ".", W_OK, AT_EACCESS) != 0) return errno;
  const uid_t me = geteuid();
  struct stat folder;
  if (old.kind != FileKind::Regular || me == 0 || old.st.st_uid == me || fstat(fd_, &folder) != 0 ||
      (folder.st_mode & S_ISVTX) == 0 || folder.st_uid == me)
    return 0;
  return EPERM;  // as rename() would say
}

int Folder::Replace(const std::string& name, const std::string& bytes,
                    const FileContents& old) const {
  static std::atomic<unsigned> serial(0);
  const bool existed = old.kind == FileKind::Regular;
  const std::string stem =
      "." + name.substr(0, kMaxTempStem) + "." + std::to_string(getpid()) + ".";
  std::string temp;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < kTempNameAttempts; ++attempt) {
    temp = stem + std::to_string(serial++) + ".tmp";
    fd = openat(fd_, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                existed ? 0600 : 0666);  // a new file's mode is left to the umask
    if (fd < 0 && errno != EEXIST) return errno;
  }
  if (fd < 0) return EEXIST;
  int error = 0;
  if (existed) {
    // The old owner and group where we may give them (as root); failing that
    // the file is ours. Then the mode, which chown may have cut.
    if (fchown(fd, old.st.st_uid, old.st.st_gid) != 0)
      (void)!fchown(fd, static_cast<uid_t>(-1), old.st.st_gid);
    if (fchmod(fd, old.st.st_mode & 07777) != 0) error = errno;
  }
  if (error == 0) error = WriteAll(fd, bytes);
  if (error == 0 && fsync(fd) != 0) error = errno;
  if (close(fd) != 0 && error == 0) error = errno;
  // The name must still be the file read (or still be free): whatever took
  // its place since is not ours to replace.
  struct stat now;
  const bool taken = fstatat(fd_, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0;
  if (error == 0 && taken != existed) error = taken ? EEXIST : ENOENT;
  if (error == 0 && existed && (S_ISLNK(now.st_mode) || !SameFile(now, old.st))) error = EEXIST;
  if (error == 0 &&
      (existed ? renameat(fd_, temp.c_str(), fd_, name.c_str())
               : renameat2(fd_, temp.c_str(), fd_, name.c_str(), RENAME_NOREPLACE)) != 0)
    error = errno;
  if (error == EEXIST && fstatat(fd_, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
      S_ISLNK(now.st_mode))
    error = ELOOP;
  if (error != 0) unlinkat(fd_, temp.c_str(), 0);
  return error;
}

}  // namespace focusrate
