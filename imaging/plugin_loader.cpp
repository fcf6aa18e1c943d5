#include "plugin_loader.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "image_input.h"

namespace {

// Where the plugins sit relative to the directory of the program.
constexpr char kPluginsFromBin[] = "../lib/focusrate/";

std::mutex mutex;
std::string chosenDirectory;  // SetDecoderPluginDirectory's
std::string problem;          // the first plugin that could not be loaded, and why

std::string ProgramDirectory() {
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return std::string();
  const std::string program(path, static_cast<size_t>(n));
  return program.substr(0, program.rfind('/') + 1);
}

std::string WithSlash(std::string directory) {
  if (!directory.empty() && directory.back() != '/') directory += '/';
  return directory;
}

// The folders tried, in order: the one a library user set, the one the
// environment names, the program's own bin/../lib/focusrate/ (the build tree
// mirrors the install), and the prefix this library was installed to.
std::vector<std::string> Candidates() {
  std::vector<std::string> folders;
  if (!chosenDirectory.empty()) folders.push_back(chosenDirectory);
  if (const char* env = std::getenv("FOCUSRATE_PLUGIN_DIR"); env && *env)
    folders.push_back(WithSlash(env));
  const std::string program = ProgramDirectory();
  if (!program.empty()) folders.push_back(program + kPluginsFromBin);
  folders.push_back(FOCUSRATE_INSTALLED_PLUGIN_DIR);
  return folders;
}

}  // namespace

void SetDecoderPluginDirectory(const std::string& directory) {
  const std::lock_guard<std::mutex> lock(mutex);
  chosenDirectory = WithSlash(directory);
}

std::string DecoderPluginProblem() {
  const std::lock_guard<std::mutex> lock(mutex);
  return problem;
}

void* LoadPluginEntry(const char* file, const char* symbol) {
  const std::lock_guard<std::mutex> lock(mutex);
  std::string first;
  for (const std::string& folder : Candidates()) {
    const std::string path = folder + file;
    // dlopen hands back the same handle when the file is loaded already.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (void* entry = handle ? ::dlsym(handle, symbol) : nullptr) return entry;
    if (first.empty()) first = ::dlerror();
  }
  if (problem.empty()) problem = "cannot load the decoder plugin " + std::string(file) + ": " + first;
  return nullptr;
}
