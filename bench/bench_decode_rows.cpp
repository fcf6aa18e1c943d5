// bench_decode_rows IMAGE: decodes IMAGE as focusrate does, straight from its
// library, into one row buffer and measures nothing: the floor a whole
// focusrate run is timed against (scripts/bench.sh). Links what focusrate
// links, so their start-up costs match.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "image_input.h"

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
  if (argc != 2) {
    std::fputs("usage: bench_decode_rows IMAGE\n", stderr);
    return 2;
  }
  DiscardRows sink;
  return WasDecoded(DecodeRows(argv[1], sink)) ? 0 : 1;
}
