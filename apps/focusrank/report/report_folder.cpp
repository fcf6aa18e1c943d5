#include "report_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace focusrate {

ReportFolder::~ReportFolder() {
  if (thumbs_ >= 0) close(thumbs_);
  if (dir_ >= 0) close(dir_);
}

int ReportFolder::Open(const std::string& dir) {
  if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) return errno;
  dir_ = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_ < 0) return errno;
  if (mkdirat(dir_, "thumbs", 0777) != 0 && errno != EEXIST) return errno;
  thumbs_ = openat(dir_, "thumbs", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  return thumbs_ < 0 ? errno : 0;
}

int ReportFolder::Write(const std::string& name, const std::string& bytes, bool thumbs) const {
  static std::atomic<unsigned> serial(0);
  const int folder = Folder(thumbs);
  const std::string temp =
      "." + name + "." + std::to_string(getpid()) + "." + std::to_string(serial++) + ".tmp";
  const int fd = openat(folder, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  int error = 0;
  for (std::string::size_type done = 0; error == 0 && done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) done += static_cast<std::string::size_type>(n);
    else if (n == 0 || errno != EINTR) error = n == 0 ? EIO : errno;
  }
  if (close(fd) != 0 && error == 0) error = errno;
  // rename replaces whatever holds the name, a link too, never its target.
  if (error == 0 && renameat(folder, temp.c_str(), folder, name.c_str()) != 0) error = errno;
  if (error != 0) unlinkat(folder, temp.c_str(), 0);
  return error;
}

bool ReportFolder::Holds(const std::string& name, const std::string& bytes, bool thumbs) const {
  const int folder = Folder(thumbs);
  struct stat named;
  if (fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode) ||
      static_cast<size_t>(named.st_size) != bytes.size())
    return false;
  const int fd = openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat opened;
  // The same file as looked at, not one swapped in since.
  bool same = fstat(fd, &opened) == 0 && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
  std::string held(bytes.size(), '\0');
  for (std::string::size_type done = 0; same && done < held.size();) {
    const ssize_t n = read(fd, &held[done], held.size() - done);
    if (n > 0) done += static_cast<std::string::size_type>(n);
    else if (n == 0 || errno != EINTR) same = false;
  }
  close(fd);
  return same && held == bytes;
}

int ReportFolder::List(bool thumbs, std::vector<std::string>& names) const {
  // A descriptor of its own: closedir closes it, and the folder's stays.
  const int fd = openat(Folder(thumbs), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  DIR* listing = fdopendir(fd);
  if (listing == nullptr) {
    const int error = errno;
    close(fd);
    return error;
  }
  names.clear();
  errno = 0;
  while (const dirent* entry = readdir(listing)) names.emplace_back(entry->d_name);
  const int error = errno;
  closedir(listing);
  return error;
}

int ReportFolder::Remove(const std::string& name, bool thumbs) const {
  return unlinkat(Folder(thumbs), name.c_str(), 0) == 0 ? 0 : errno;
}

}  // namespace focusrate
