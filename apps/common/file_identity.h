// Whether an output would land on a file the program also reads or writes.
// A question about (device, inode), not about path strings: a link or a hard
// link to a file is that file.
#ifndef FOCUSRATE_FILE_IDENTITY_H
#define FOCUSRATE_FILE_IDENTITY_H

#include <sys/types.h>

#include <optional>
#include <string>

namespace focusrate {

struct FileIdentity {
  dev_t device;
  ino_t inode;
  bool operator==(const FileIdentity& other) const {
    return device == other.device && inode == other.inode;
  }
};

/// The identity of the file path leads to, links followed; none when there
/// is no such file or it cannot be examined.
std::optional<FileIdentity> IdentityOf(const std::string& path);

/// Whether a and b lead to one existing file.
bool SameFile(const std::string& a, const std::string& b);

/// Whether two outputs would land on one file: one existing file, or one
/// path once made absolute and normal (./m.png and m.png, not yet there).
bool SameOutput(const std::string& a, const std::string& b);

}  // namespace focusrate

#endif  // FOCUSRATE_FILE_IDENTITY_H
