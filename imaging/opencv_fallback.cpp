#include "opencv_fallback.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <stdexcept>

#include "imread_plugin.h"

namespace {

std::string ProgramDirectory() {
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) throw std::runtime_error("cannot find the program's own path");
  const std::string program(path, static_cast<size_t>(n));
  return program.substr(0, program.rfind('/') + 1);
}

std::string& PluginDirectory() {
  static std::string directory;
  return directory;
}

// Loaded once and kept for the life of the process.
ImreadColorFunction LoadPlugin() {
  const std::string directory = PluginDirectory().empty()
                                    ? ProgramDirectory() + FOCUSRATE_IMREAD_PLUGIN_FROM_BIN
                                    : PluginDirectory();
  const std::string path = directory + FOCUSRATE_IMREAD_PLUGIN_FILE;
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  void* entry = handle ? ::dlsym(handle, FOCUSRATE_IMREAD_SYMBOL) : nullptr;
  if (entry == nullptr) throw std::runtime_error("cannot load the decoder plugin: " + std::string(::dlerror()));
  return reinterpret_cast<ImreadColorFunction>(entry);
}

}  // namespace

void SetImreadPluginDirectory(const std::string& directory) { PluginDirectory() = directory; }

cv::Mat ImreadColor(const std::string& path) {
  static const ImreadColorFunction imread = LoadPlugin();
  cv::Mat image;
  imread(path.c_str(), &image);
  return image;
}
