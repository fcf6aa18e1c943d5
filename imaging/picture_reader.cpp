#include "picture_reader.h"

#include <new>
#include <string>

#include "plugin_loader.h"

namespace {

ReadPictureFunction EntryOf(PictureLibrary library) {
  auto load = [](const char* file) {
    return reinterpret_cast<ReadPictureFunction>(LoadPluginEntry(file, FOCUSRATE_PICTURE_SYMBOL));
  };
  if (library == PictureLibrary::LibRaw) {
    static const ReadPictureFunction raw = load(FOCUSRATE_RAW_PLUGIN_FILE);
    return raw;
  }
  static const ReadPictureFunction heif = load(FOCUSRATE_HEIF_PLUGIN_FILE);
  return heif;
}

}  // namespace

PictureOutcome ReadPicture(PictureLibrary library, int fd, const DecodeOptions& options, PixelSink* sink) {
  const ReadPictureFunction read = EntryOf(library);
  PictureOutcome outcome;
  if (!read) {
    outcome.status = RateStatus::CannotDecode;  // DecoderPluginProblem says why
    return outcome;
  }
  // The libraries open files by name; this one is the descriptor's own file.
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  read(path.c_str(), &options, sink, &outcome);
  // Memory is not a property of the file: say so rather than refuse it.
  if (outcome.status == RateStatus::OutOfMemory) throw std::bad_alloc();
  return outcome;
}
