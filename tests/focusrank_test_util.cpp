#include "focusrank_test_util.h"

#include <cstdio>
#include <stdexcept>

#include "jzon.h"
#include "process_util.h"

std::vector<std::string> FocusrateFigureTexts(const std::string& image,
                                              const std::string& scratchFile) {
  std::remove(scratchFile.c_str());
  if (RunProcess({FOCUSRATE_BINARY_DIR "/bin/focusrate", image, scratchFile}, "", 60).status != 0)
    return {"", "", "", ""};
  Jzon::Object doc;
  if (!Jzon::FileLoader::LoadFile(scratchFile, doc))
    throw std::runtime_error("focusrate wrote no readable file for " + image);
  std::vector<std::string> texts;
  for (const char* name : {"Laplace", "Variance-Lap", "Tenengrad", "Gray-Level"})
    texts.push_back(doc.ChildNamed(name).IsNull() ? "" : doc.ChildNamed(name).ToString());
  return texts;
}
