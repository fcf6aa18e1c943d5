# What `cmake --install` puts beside the programs for other projects: the
# libraries with their public headers, a CMake package (find_package(focusrate)
# gives focusrate::jzon, focusrate::focus, focusrate::imaging, focusrate::rating), one pkg-config
# file per library, and the manual pages. Every path is relative to the
# prefix chosen at install time.
include(CMakePackageConfigHelpers)

set(FOCUSRATE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/focusrate)
install(TARGETS jzon focus imaging rating EXPORT focusrate-targets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# Included as <focusrate/engine.h>; the headers find each other beside them.
install(FILES
  json/jzon.h
  focus/engine.h focus/focus_figures.h focus/focus_sums.h focus/measures.h focus/row_stream.h
  focus/tile_grid.h
  imaging/decode_options.h imaging/image_input.h imaging/image_region.h imaging/row_decoder.h
  rating/batch_inputs.h rating/batch_runner.h rating/figure_columns.h rating/rank_images.h
  rating/rated_image.h rating/row_ranking.h rating/streamed_rating.h rating/subject_region.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/focusrate)

install(EXPORT focusrate-targets NAMESPACE focusrate:: DESTINATION ${FOCUSRATE_CMAKE_DIR})
configure_package_config_file(cmake/focusrate-config.cmake.in
  ${PROJECT_BINARY_DIR}/focusrate-config.cmake INSTALL_DESTINATION ${FOCUSRATE_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/focusrate-config-version.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/focusrate-config.cmake
  ${PROJECT_BINARY_DIR}/focusrate-config-version.cmake
  DESTINATION ${FOCUSRATE_CMAKE_DIR})
install(FILES cmake/OpenCV.cmake DESTINATION ${FOCUSRATE_CMAKE_DIR} RENAME focusrate-opencv.cmake)

# pkg-config: one file per library, so a Jzon user does not pull in OpenCV.
# OpenCV has no .pc file on Debian: its paths found here are written out.
file(RELATIVE_PATH PC_PREFIX_FROM_HERE /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" PC_PREFIX_FROM_HERE "${PC_PREFIX_FROM_HERE}")
function(focusrate_pkg_config PC_LIBRARY PC_DESCRIPTION PC_REQUIRES PC_CFLAGS PC_LIBS)
  set(pc ${PROJECT_BINARY_DIR}/pkgconfig/focusrate-${PC_LIBRARY}.pc)
  configure_file(cmake/focusrate.pc.in ${pc} @ONLY)
  install(FILES ${pc} DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()
set(opencv_cflags "-I${OPENCV_INCLUDE_DIR}")
focusrate_pkg_config(jzon "Jzon, the JSON library of focusrate" "" "" "")
focusrate_pkg_config(focus "The four focus measures of focusrate" "" "${opencv_cflags}"
  "${OPENCV_imgproc_LIBRARY} ${OPENCV_core_LIBRARY} -pthread")
focusrate_pkg_config(imaging "Image decoding of focusrate" "libjpeg, libpng, libwebp" "${opencv_cflags}"
  "${OPENCV_imgproc_LIBRARY} ${OPENCV_core_LIBRARY} -l${CMAKE_DL_LIBS}")
focusrate_pkg_config(rating "Rating and ranking image files with focusrate"
  "focusrate-imaging, focusrate-focus, exiv2" "${opencv_cflags}"
  "${OPENCV_objdetect_LIBRARY} ${OPENCV_imgproc_LIBRARY} -pthread")

# A page in section 1 for each program under man/.
file(GLOB manual_pages ${PROJECT_SOURCE_DIR}/man/*.1)
install(FILES ${manual_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
