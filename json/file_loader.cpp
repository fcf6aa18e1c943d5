// FileLoader: reads a file whole, then parses it into the caller's roots.
#include <filesystem>
#include <fstream>
#include <new>
#include <stdexcept>
#include <system_error>

#include "jzon.h"

namespace Jzon {

FileLoader::FileLoader(const std::string& fileName) {
  if (!ReadWholeFile(fileName, text_)) error_ = "Failed to load file";
}

// All or nothing: a part of a file would parse as a different document, so
// any doubt about having every byte counts as a failed load. out is touched
// only on success.
bool FileLoader::ReadWholeFile(const std::string& fileName, std::string& out) {
  // A directory has no bytes to read, and opening a FIFO would wait for a
  // writer; neither has a size known in advance.
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(fileName, ec);
  if (std::filesystem::is_directory(status) || std::filesystem::is_fifo(status) ||
      std::filesystem::is_socket(status)) {
    return false;
  }
  std::ifstream in(fileName, std::ios::in | std::ios::binary);
  if (!in.is_open()) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (!in || size < 0) return false;  // pipes and the like have no size
  in.seekg(0, std::ios::beg);
  std::string data;
  try {
    data.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  if (size > 0) in.read(&data[0], size);
  if (!in || in.gcount() != size) return false;
  out.swap(data);
  return true;
}

bool FileLoader::ParseInto(Node& root) {
  if (!error_.empty()) return false;
  TextParser parser(root, text_);
  if (parser.Run()) return true;
  error_ = parser.ErrorMessage();
  return false;
}

NodeType FileLoader::DetectNodeType() const { return Jzon::DetectNodeType(text_); }

const std::string& FileLoader::ErrorMessage() const { return error_; }

bool FileLoader::LoadFile(const std::string& fileName, Node& root) {
  FileLoader loader(fileName);
  return loader.ParseInto(root);
}

}  // namespace Jzon
