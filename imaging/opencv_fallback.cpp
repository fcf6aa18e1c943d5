#include "opencv_fallback.h"

#include "imread_plugin.h"

cv::Mat ImreadColor(const std::string& path) {
  static const auto imread = reinterpret_cast<ImreadColorFunction>(
      LoadPluginEntry(FOCUSRATE_IMREAD_PLUGIN_FILE, FOCUSRATE_IMREAD_SYMBOL));
  cv::Mat image;
  if (imread) imread(path.c_str(), &image);
  return image;
}
