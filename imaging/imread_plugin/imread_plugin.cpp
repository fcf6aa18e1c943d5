// cv::imread behind a C symbol that dlsym can find.
#include <type_traits>

#include <opencv2/imgcodecs.hpp>

#include "imread_plugin.h"

namespace focusrate {

extern "C" __attribute__((visibility("default"))) void FocusrateImreadColor(const char* path,
                                                                            cv::Mat* image) {
  *image = cv::imread(cv::String(path), cv::IMREAD_COLOR);
}

// The loader casts the symbol to this type: keep the two in step.
static_assert(std::is_same<decltype(&FocusrateImreadColor), ImreadColorFunction>::value,
              "the entry point has the type the loader expects");

}  // namespace focusrate
