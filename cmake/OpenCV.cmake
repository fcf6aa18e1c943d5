# Debian's split OpenCV packages ship no CMake config: find the three modules
# by hand and expose them as imported targets opencv::core, ::imgproc,
# ::imgcodecs and ::objdetect (faces, for focusrank alone).
find_path(OPENCV_INCLUDE_DIR opencv2/core.hpp PATH_SUFFIXES opencv4 REQUIRED)
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
