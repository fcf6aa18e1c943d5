#include "batch_inputs.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <utility>

#include "failure_text.h"
#include "image_formats.h"
#include "quiet_stderr.h"

namespace focusrate {

namespace {

using DirectoryId = std::pair<dev_t, ino_t>;

class Walker {
 public:
  explicit Walker(const ProblemReport& report) : report_(report) {}

  void Add(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
      Search(path, st);
    else
      found_.push_back(path);
  }

  std::vector<std::string> Take() { return std::move(found_); }
  size_t skipped = 0;  ///< files passed by for their names

 private:
  void Search(const std::string& dir, const struct stat& st) {
    if (!visited_.insert({st.st_dev, st.st_ino}).second) return;
    std::vector<std::string> names;
    if (!ListDirectory(dir, names)) return;
    std::sort(names.begin(), names.end());
    const std::string prefix = dir.back() == '/' ? dir : dir + "/";
    for (const std::string& name : names) {
      const std::string path = prefix + name;
      struct stat entry;
      if (::lstat(path.c_str(), &entry) != 0) {
        if (errno == ENOENT) continue;  // vanished meanwhile
        // Not searchable, or past the path limit: never skipped in silence.
        if (HasImageExtension(name))
          found_.push_back(path);  // its row says why
        else
          report_(path + ": " + CannotText("examine", errno));
        continue;
      }
      if (S_ISDIR(entry.st_mode)) {
        Search(path, entry);
        continue;
      }
      // A symlink to a directory is not followed; a dangling one, a FIFO
      // or a device named like an image still gets a row saying so.
      struct stat target;
      const bool file = !S_ISLNK(entry.st_mode) || ::stat(path.c_str(), &target) != 0 ||
                        !S_ISDIR(target.st_mode);
      if (file && HasImageExtension(name))
        found_.push_back(path);
      else if (file)
        ++skipped;
    }
  }

  bool ListDirectory(const std::string& dir, std::vector<std::string>& names) {
    std::unique_ptr<DIR, int (*)(DIR*)> handle(::opendir(dir.c_str()), ::closedir);
    if (!handle) {
      report_(dir + ": " + CannotText("read directory", errno));
      return false;
    }
    errno = 0;
    while (const dirent* e = ::readdir(handle.get())) {
      if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
        names.push_back(e->d_name);
      errno = 0;
    }
    if (errno != 0) {
      report_(dir + ": " + CannotText("read directory", errno));
      return false;
    }
    return true;
  }

  const ProblemReport& report_;
  std::set<DirectoryId> visited_;
  std::vector<std::string> found_;
};

}  // namespace

bool HasImageExtension(const std::string& name) { return HasRatedExtension(name); }

namespace {

// A list written on Windows ends its lines in CR LF; a line of spaces is
// not a path anyone meant.
void AddListEntry(std::string& entry, bool nulSeparated, std::vector<std::string>& paths) {
  if (!nulSeparated && !entry.empty() && entry.back() == '\r') entry.pop_back();
  if (!nulSeparated && entry.find_first_not_of(' ') == std::string::npos) entry.clear();
  if (!entry.empty()) paths.push_back(entry);
  entry.clear();
}

}  // namespace

bool ReadPathList(const std::string& listFile, bool nulSeparated,
                  std::vector<std::string>& paths, int& error) {
  const bool fromStdin = listFile == "-";
  if (fromStdin && StandardDescriptorWasClosed(STDIN_FILENO)) {
    error = EBADF;
    return false;
  }
  std::unique_ptr<FILE, int (*)(FILE*)> owned(
      fromStdin ? nullptr : std::fopen(listFile.c_str(), "rb"), std::fclose);
  FILE* in = fromStdin ? stdin : owned.get();
  if (in == nullptr) {
    error = errno;
    return false;
  }
  const char separator = nulSeparated ? '\0' : '\n';
  std::string entry;
  for (int c; (c = std::getc(in)) != EOF;) {
    if (c != separator)
      entry += static_cast<char>(c);
    else
      AddListEntry(entry, nulSeparated, paths);
  }
  AddListEntry(entry, nulSeparated, paths);
  error = errno;
  return !std::ferror(in);
}

std::vector<std::string> ExpandPaths(const std::vector<std::string>& given,
                                     const ProblemReport& report, size_t* skipped) {
  Walker walker(report);
  for (const std::string& path : given) walker.Add(path);
  if (skipped != nullptr) *skipped += walker.skipped;
  return walker.Take();
}

}  // namespace focusrate
