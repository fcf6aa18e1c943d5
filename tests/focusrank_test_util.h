// Helpers for the focusrank tests: the program, a file it must refuse, and
// focusrate's figures for a file.
#ifndef FOCUSRATE_TESTS_FOCUSRANK_TEST_UTIL_H
#define FOCUSRATE_TESTS_FOCUSRANK_TEST_UTIL_H

#include <string>
#include <vector>

const std::string kFocusrank = FOCUSRATE_BINARY_DIR "/bin/focusrank";

/// A PNG signature and header claiming 100000 x 70000 8-bit RGB pixels, no pixel data.
const std::string kHugePng(
    "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\x01\x86\xa0\0\x01\x11\x70\x08\x02\0\0\0", 29);

/// The four figure texts focusrate writes for the image, "" for null; all
/// four "" when focusrate cannot decode it.
std::vector<std::string> FocusrateFigureTexts(const std::string& image,
                                              const std::string& scratchFile);

#endif  // FOCUSRATE_TESTS_FOCUSRANK_TEST_UTIL_H
