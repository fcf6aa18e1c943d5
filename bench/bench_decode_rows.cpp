// bench_decode_rows IMAGE [half|full|preview]: decodes IMAGE as focusrate
// does, straight from its library (a raw file in the rendition named, half
// by default), into one row buffer and measures nothing: the floor a whole
// focusrate run is timed against (scripts/bench.sh, scripts/bench_raw.sh).
// Links what focusrate links, so their start-up costs match.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "image_input.h"

using namespace focusrate;

namespace {

class DiscardRows : public PixelSink {
 public:
  void Begin(int width, int) override { row_.resize(static_cast<size_t>(width) * 3); }
  uint8_t* RowBuffer(int) override { return row_.data(); }
  void RowDone(int) override {}

 private:
  std::vector<uint8_t> row_;
};

}  // namespace

int main(int argc, char** argv) {
  DecodeOptions options;
  bool named = argc == 2;
  for (RawRendition r : {RawRendition::Half, RawRendition::Full, RawRendition::Preview}) {
    if (argc == 3 && argv[2] == std::string(RawRenditionText(r))) {
      options.raw = r;
      named = true;
    }
  }
  if (!named) {
    std::fputs("usage: bench_decode_rows IMAGE [half|full|preview]\n", stderr);
    return 2;
  }
  DiscardRows sink;
  return WasDecoded(DecodeRows(argv[1], sink, options)) ? 0 : 1;
}
