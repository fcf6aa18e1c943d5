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

bool ParseRawRendition(const std::string& text, RawRendition& rendition) {
  for (RawRendition r : kRawRenditions)
    if (text == RawRenditionText(r)) {
      rendition = r;
      return true;
    }
  return false;
}

std::string RenditionText(const Rendition& rendition) {
  return std::string(rendition.raw ? RawRenditionText(rendition.kind) : "image") + " " +
         std::to_string(rendition.width) + "x" + std::to_string(rendition.height);
}

}  // namespace focusrate
