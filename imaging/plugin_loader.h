// Finding and loading the decoder plugins: shared objects that alone link
// a heavy library (opencv_imgcodecs, LibRaw, libheif), loaded with dlopen the
// first time a file needs one, so that starting a program costs nothing of them.
#ifndef FOCUSRATE_PLUGIN_LOADER_H
#define FOCUSRATE_PLUGIN_LOADER_H

/// The address of symbol in the plugin file, loaded once and kept for the
/// life of the process, from the first folder that has it (see
/// SetDecoderPluginDirectory in image_input.h); null when none has it, and
/// DecoderPluginProblem() then says why. Never throws.
void* LoadPluginEntry(const char* file, const char* symbol);

#endif  // FOCUSRATE_PLUGIN_LOADER_H
