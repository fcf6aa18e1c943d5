# Debian's split OpenCV packages ship no CMake config: find the modules
# by hand and expose them as imported targets opencv::core, ::imgproc, ::imgcodecs
# and ::objdetect (faces, for focusrank alone).
# Installed with the focusrate package too, whose users need the same targets.
if(TARGET opencv::core)
  return()
endif()
find_path(OPENCV_INCLUDE_DIR opencv2/core.hpp PATH_SUFFIXES opencv4 REQUIRED)
# The direct decoders and the engine give cv::imread's and OpenCV's pixels and
# figures bit for bit as 4.6 computes them; another version may differ.
file(STRINGS ${OPENCV_INCLUDE_DIR}/opencv2/core/version.hpp opencv_version_lines
  REGEX "#define CV_VERSION_(MAJOR|MINOR) ")
string(REGEX REPLACE ".*MAJOR +([0-9]+).*MINOR +([0-9]+).*" "\\1.\\2" OPENCV_FOUND_VERSION
  "${opencv_version_lines}")
if(OPENCV_FOUND_VERSION VERSION_LESS 4.6)
  message(FATAL_ERROR "focusrate needs OpenCV 4.6; found ${OPENCV_FOUND_VERSION}")
elseif(NOT OPENCV_FOUND_VERSION VERSION_EQUAL 4.6)
  message(WARNING "focusrate mirrors OpenCV 4.6 bit for bit; with ${OPENCV_FOUND_VERSION} "
    "figures may differ from cv::imread's pipeline in the last bits")
endif()
foreach(module core imgproc imgcodecs objdetect)
  find_library(OPENCV_${module}_LIBRARY NAMES opencv_${module} REQUIRED)
  add_library(opencv::${module} UNKNOWN IMPORTED)
  set_target_properties(opencv::${module} PROPERTIES
    IMPORTED_LOCATION "${OPENCV_${module}_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${OPENCV_INCLUDE_DIR}")
endforeach()
set_property(TARGET opencv::imgproc PROPERTY INTERFACE_LINK_LIBRARIES opencv::core)
set_property(TARGET opencv::imgcodecs PROPERTY INTERFACE_LINK_LIBRARIES opencv::core)
set_property(TARGET opencv::objdetect PROPERTY INTERFACE_LINK_LIBRARIES opencv::imgproc)
