#include "plugin_loader.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <stdexcept>

namespace {

// Where the plugins sit relative to the directory of the program.
constexpr char kPluginsFromBin[] = "../lib/focusrate/";

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

}  // namespace

void SetImreadPluginDirectory(const std::string& directory) { PluginDirectory() = directory; }

void* LoadPluginEntry(const char* file, const char* symbol) {
  const std::string directory =
      PluginDirectory().empty() ? ProgramDirectory() + kPluginsFromBin : PluginDirectory();
  const std::string path = directory + file;
  // dlopen hands back the same handle when the file is loaded already.
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  void* entry = handle ? ::dlsym(handle, symbol) : nullptr;
  if (entry == nullptr) throw std::runtime_error("cannot load the decoder plugin: " + std::string(::dlerror()));
  return entry;
}
