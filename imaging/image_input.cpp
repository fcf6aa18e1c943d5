// Decoding for rating. OpenCV's imread blocks forever on a FIFO and throws
// for headers that claim more pixels than its limit; neither may reach the
// programs, so both are turned into statuses here.
#include "image_input.h"

#include <sys/stat.h>

#include <opencv2/imgcodecs.hpp>

const char* StatusText(RateStatus status) {
  switch (status) {
    case RateStatus::Ok:
      return "ok";
    case RateStatus::CannotDecode:
      return "cannot decode";
    case RateStatus::NotRegularFile:
      return "not a regular file";
    case RateStatus::TooLarge:
      return "too large";
    case RateStatus::OutsideRegion:
      return "region outside image";
  }
  return "cannot decode";
}

DecodedImage DecodeImage(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return {cv::Mat(), RateStatus::CannotDecode};
  if (!S_ISREG(info.st_mode)) return {cv::Mat(), RateStatus::NotRegularFile};
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
