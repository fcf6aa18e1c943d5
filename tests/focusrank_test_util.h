// Helpers for the focusrank tests: the two programs, a CSV reader written
// apart from the program's writer, and focusrate's figures for a file.
#ifndef FOCUSRATE_TESTS_FOCUSRANK_TEST_UTIL_H
#define FOCUSRATE_TESTS_FOCUSRANK_TEST_UTIL_H

#include <string>
#include <vector>

const std::string kFocusrank = FOCUSRATE_BINARY_DIR "/bin/focusrank";

using CsvRow = std::vector<std::string>;

/// Splits RFC 4180 text (quoted fields may hold commas, doubled quotes and
/// line breaks) into rows of fields; throws unless every row ends with "\n".
std::vector<CsvRow> ParseCsv(const std::string& text);

/// The lines of text without their "\n"; text after the last "\n" is a last
/// line, so a missing final line break shows.
std::vector<std::string> SplitLines(const std::string& text);

/// The four figure texts focusrate writes for the image, "" for null; all
/// four "" when focusrate cannot decode it.
std::vector<std::string> FocusrateFigureTexts(const std::string& image,
                                              const std::string& scratchFile);

/// A PNG signature and header claiming 100000 x 70000 pixels, no pixel data.
std::string HugePngHeader();

#endif  // FOCUSRATE_TESTS_FOCUSRANK_TEST_UTIL_H
