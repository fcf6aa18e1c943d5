// A minimal DNG writer for tests and benchmarks: an uncompressed 16-bit
// Bayer mosaic in a SubIFD and a small preview in IFD0, the layout whose
// first directory cv::imread takes for the whole picture.
#ifndef FOCUSRATE_TESTS_DNG_WRITER_H
#define FOCUSRATE_TESTS_DNG_WRITER_H

#include <string>

#include <opencv2/core.hpp>

struct DngSpec {
  cv::Mat scene;              ///< 8-bit BGR: what the sensor saw, in stored orientation
  const char* cfa = "RGGB";   ///< colours of the 2x2 pattern, row by row
  int orientation = 1;        ///< the TIFF Orientation tag (1-8)
  cv::Mat preview;            ///< 8-bit BGR preview for IFD0
  bool jpegPreview = true;    ///< JPEG-compressed preview, else uncompressed RGB
};

/// The bytes of a DNG file holding spec's mosaic (black 512, white 16383,
/// an sRGB colour matrix, an as-shot neutral of 0.5 1 0.7) and preview.
std::string MakeDng(const DngSpec& spec);

#endif  // FOCUSRATE_TESTS_DNG_WRITER_H
