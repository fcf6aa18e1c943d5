// Helpers for tests that run the programs: a private scratch directory and
// the result document text built by hand from figures.
#ifndef FOCUSRATE_TESTS_CLI_TEST_UTIL_H
#define FOCUSRATE_TESTS_CLI_TEST_UTIL_H

#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>

#include "focus_figures.h"

/// A fresh directory under $TMPDIR (or /tmp), removed with everything in it.
class ScratchDir {
 public:
  ScratchDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/focusrate-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

/// A figure as the result file spells it: narrowed to float, default stream
/// formatting (six significant digits), null when it is not finite.
inline std::string FigureByHand(double figure) {
  const float narrowed = static_cast<float>(figure);
  if (!std::isfinite(narrowed)) return "null";
  std::ostringstream text;
  text << narrowed;
  return text.str();
}

/// The six lines of a result file, tab-indented, with no final line break.
inline std::string ResultFileByHand(const FocusFigures& f) {
  return "{\n\t\"Laplace\": " + FigureByHand(f.laplace) + ",\n\t\"Variance-Lap\": " +
         FigureByHand(f.varianceLap) + ",\n\t\"Tenengrad\": " + FigureByHand(f.tenengrad) +
         ",\n\t\"Gray-Level\": " + FigureByHand(f.grayLevel) + "\n}";
}

#endif  // FOCUSRATE_TESTS_CLI_TEST_UTIL_H
