// Finding and loading the decoder plugins: shared objects that alone link
// a heavy library (opencv_imgcodecs, LibRaw, libheif), loaded with dlopen the
// first time a file needs one, so that starting a program costs nothing of them.
#ifndef FOCUSRATE_PLUGIN_LOADER_H
#define FOCUSRATE_PLUGIN_LOADER_H

#include <string>

/// The address of symbol in the plugin file, loaded once and kept for the
/// life of the process: from bin/../lib/focusrate/ beside the program (the
/// build tree mirrors the install), or from the folder set below.
/// std::runtime_error says why when it cannot be loaded.
void* LoadPluginEntry(const char* file, const char* symbol);

/// Where every decoder plugin is, for code loaded into a program that is not
/// ours (the Python module): a folder ending in '/'. Takes effect only
/// before the first plugin is loaded. (Named after the first plugin.)
void SetImreadPluginDirectory(const std::string& directory);

#endif  // FOCUSRATE_PLUGIN_LOADER_H
