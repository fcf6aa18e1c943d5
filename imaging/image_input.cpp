// Decoding for rating. OpenCV's imread blocks forever on a FIFO and throws
// for headers that claim more pixels than its limit; neither may reach the
// programs, so both are turned into statuses here.
#include "image_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <opencv2/imgcodecs.hpp>

const char* StatusText(RateStatus status) {
  switch (status) {
    case RateStatus::Ok: return "ok";
    case RateStatus::CannotDecode: return "cannot decode";
    case RateStatus::NotFound: return "not found";
    case RateStatus::PermissionDenied: return "permission denied";
    case RateStatus::SymlinkLoop: return "symlink loop";
    case RateStatus::NameTooLong: return "name too long";
    case RateStatus::NotRegularFile: return "not a regular file";
    case RateStatus::TooLarge: return "too large";
    case RateStatus::OutOfMemory: return "out of memory";
    case RateStatus::OutsideRegion: return "region outside image";
  }
  return "cannot decode";
}

RateStatus StatusForErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR: return RateStatus::NotFound;
    case EACCES:
    case EPERM: return RateStatus::PermissionDenied;
    case ELOOP: return RateStatus::SymlinkLoop;
    case ENAMETOOLONG: return RateStatus::NameTooLong;
    case ENOMEM: return RateStatus::OutOfMemory;
    default: return RateStatus::CannotDecode;
  }
}

DecodedImage DecodeImage(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return {cv::Mat(), StatusForErrno(errno)};
  if (!S_ISREG(info.st_mode)) return {cv::Mat(), RateStatus::NotRegularFile};
  // The decoder says only "no image" for a file it cannot open: find out why
  // first, so "cannot decode" is kept for files that were read and refused.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return {cv::Mat(), StatusForErrno(errno)};
  ::close(fd);
  cv::Mat image;
  try {
    image = cv::imread(cv::String(path), cv::IMREAD_COLOR);
  } catch (const cv::Exception& e) {
    // Running out of memory is not a property of the file: let it propagate.
    if (e.code == cv::Error::StsNoMem) throw;
    return {cv::Mat(), RateStatus::CannotDecode};
  }
  if (image.data == nullptr) return {cv::Mat(), RateStatus::CannotDecode};
  return {image, RateStatus::Ok};
}
