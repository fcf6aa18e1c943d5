#include "regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace focusrate {

int OpenRegularFile(const std::string& path, bool& notRegular) {
  notRegular = false;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return -1;
  notRegular = !S_ISREG(st.st_mode);
  if (notRegular) return -1;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
    ::close(fd);
    notRegular = true;
    return -1;
  }
  return fd;
}

}  // namespace focusrate
