#include "decode_options.h"

namespace focusrate {

const char* RawRenditionText(RawRendition rendition) {
  switch (rendition) {
    case RawRendition::Half: return "half";
    case RawRendition::Full: return "full";
    case RawRendition::Preview: return "preview";
  }
  return "half";
}

std::string RenditionText(const Rendition& rendition) {
  return std::string(rendition.raw ? RawRenditionText(rendition.kind) : "image") + " " +
         std::to_string(rendition.width) + "x" + std::to_string(rendition.height);
}

}  // namespace focusrate
