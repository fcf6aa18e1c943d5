#include "streamed_rating.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "default_grid.h"
#include "exif_orientation.h"
#include "reduced_copy.h"
#include "row_stream.h"
#include "row_decoder.h"
#include "tile_map.h"

namespace focusrate {

namespace {

// Feeds decoded rows to the engine. An image over the pixel limit is decoded
// into one scratch row and never rated, so it cannot take the memory the
// limit is there to protect.
class EngineSink : public PixelSink {
 public:
  EngineSink(long long maxPixels, int threads, FigureSet set, bool tiled)
      : maxPixels_(maxPixels), threads_(threads), set_(set), tiled_(tiled) {}

  void Begin(int width, int height) override {
    if (static_cast<long long>(width) * height > maxPixels_) {
      scratch_.resize(static_cast<size_t>(width) * 3);
      return;
    }
    // Tiled on the stored image: rows come before any EXIF turn.
    if (tiled_) grid_ = DefaultGrid({width, height});
    stream_ = std::make_unique<RowStream>(width, height, 3, threads_, ChannelOrder::Bgr, set_, grid_);
  }
  uint8_t* RowBuffer(int) override { return stream_ ? stream_->NextRow() : scratch_.data(); }
  void RowDone(int) override {
    if (stream_) stream_->RowDone();
  }

  bool Rated() const { return stream_ != nullptr; }
  FocusFigures Finish() { return stream_->Finish(); }
  /// After Finish, when tiled: the map, still as stored.
  cv::Mat TileMap() const { return VarianceLapMap(stream_->TileSums(), grid_); }

 private:
  long long maxPixels_;
  int threads_;
  FigureSet set_;
  bool tiled_;
  TileGrid grid_;
  std::unique_ptr<RowStream> stream_;
  std::vector<uint8_t> scratch_;
};

}  // namespace

StreamedFigures RateWholeFrame(const std::string& path, long long maxPixels, int threads,
                               FigureSet set, const DecodeOptions& options,
                               int reducedSide, bool tileMap) {
  EngineSink sink(maxPixels, threads, set, tileMap);
  ReducingSink reducing(sink, reducedSide);
  PixelSink& rows = reducedSide > 0 ? static_cast<PixelSink&>(reducing) : sink;
  StreamedFigures result;
  result.status = DecodeRows(path, rows, options, &result.rendition);
  if (!WasDecoded(result.status)) return result;
  if (!sink.Rated()) {
    result.status = RateStatus::TooLarge;
    return result;
  }
  result.figures = sink.Finish();
  if (tileMap) {
    result.tileMap = sink.TileMap();
    ApplyOrientation(result.rendition.orientation, result.tileMap);
  }
  if (reducedSide > 0) {
    result.reduced = reducing.Finish(result.rendition.orientation);
    result.reducedFrom = {result.rendition.width, result.rendition.height};
  }
  return result;
}

}  // namespace focusrate
