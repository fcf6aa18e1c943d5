#include "focusrank_test_util.h"

#include <cstdio>
#include <stdexcept>

#include "jzon.h"
#include "process_util.h"

std::vector<CsvRow> ParseCsv(const std::string& text) {
  std::vector<CsvRow> rows(1);
  std::string field;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"' && quoted && i + 1 < text.size() && text[i + 1] == '"') {
      field += text[i++];
    } else if (c == '"') {
      quoted = !quoted;
    } else if (quoted || (c != ',' && c != '\n')) {
      field += c;
    } else {
      rows.back().push_back(field);
      field.clear();
      if (c == '\n') rows.emplace_back();
    }
  }
  if (quoted || !rows.back().empty() || !field.empty())
    throw std::runtime_error("CSV ends mid-row");
  rows.pop_back();
  return rows;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  for (std::string::size_type end; (end = text.find('\n', start)) != std::string::npos;
       start = end + 1)
    lines.push_back(text.substr(start, end - start));
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::vector<std::string> FocusrateFigureTexts(const std::string& image,
                                              const std::string& scratchFile) {
  std::remove(scratchFile.c_str());
  const std::string focusrate = FOCUSRATE_BINARY_DIR "/bin/focusrate";
  if (RunProcess({focusrate, image, scratchFile}, "", 60).status != 0) return {"", "", "", ""};
  Jzon::Object doc;
  if (!Jzon::FileLoader::LoadFile(scratchFile, doc))
    throw std::runtime_error("focusrate wrote no readable file for " + image);
  std::vector<std::string> texts;
  for (const char* name : {"Laplace", "Variance-Lap", "Tenengrad", "Gray-Level"}) {
    const Jzon::Node& node = doc.ChildNamed(name);
    texts.push_back(node.IsNull() ? "" : node.ToString());
  }
  return texts;
}

std::string HugePngHeader() {
  static const char kBytes[] =
      "\x89PNG\r\n\x1a\n"         // signature
      "\0\0\0\x0d" "IHDR"          // first chunk: 13 bytes of header
      "\0\x01\x86\xa0"             // width 100000
      "\0\x01\x11\x70"             // height 70000
      "\x08\x02\0\0\0";           // 8-bit RGB, no interlace
  return std::string(kBytes, sizeof kBytes - 1);
}
