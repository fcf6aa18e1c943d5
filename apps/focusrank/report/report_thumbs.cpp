#include "report_thumbs.h"

#include <cstdio>

namespace focusrate {

std::string ThumbName(std::size_t index) {
  char name[32];
  std::snprintf(name, sizeof name, "%06zu.jpg", index);
  return name;
}

}  // namespace focusrate
