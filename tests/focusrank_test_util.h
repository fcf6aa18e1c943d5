// Helpers for the focusrank tests: the two programs, a CSV reader written
// apart from the program's writer, and focusrate's figures for a file.
#ifndef FOCUSRATE_TESTS_FOCUSRANK_TEST_UTIL_H
#define FOCUSRATE_TESTS_FOCUSRANK_TEST_UTIL_H

#include <string>
#include <vector>

const std::string kFocusrank = FOCUSRATE_BINARY_DIR "/tool/focusrank";
const std::string kFocusrateProgram = FOCUSRATE_BINARY_DIR "/tool/focusrate";

using CsvRow = std::vector<std::string>;

/// Splits RFC 4180 text (quoted fields may hold commas, quotes doubled and
/// line breaks) into rows of fields. Every row ends with "\n".
std::vector<CsvRow> ParseCsv(const std::string& text);

/// The lines of text, each without its "\n"; text after the last "\n" is
/// returned as a last line, so a missing final line break shows.
std::vector<std::string> SplitLines(const std::string& text);

/// The four figure texts focusrate writes for the image, in file order, ""
/// for null; all four "" when focusrate cannot decode it.
std::vector<std::string> FocusrateFigureTexts(const std::string& image,
                                              const std::string& scratchFile);

/// The first bytes of a PNG whose header claims 100000 x 70000 pixels, with
/// no pixel data: a file any decoder would have to refuse or choke on.
std::string HugePngHeader();

#endif  // FOCUSRATE_TESTS_FOCUSRANK_TEST_UTIL_H
