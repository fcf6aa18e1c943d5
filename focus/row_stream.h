// Rating an image while it is decoded: rows are pushed one at a time, top to
// bottom, and measured as soon as their neighbours are in.
#ifndef FOCUSRATE_ROW_STREAM_H
#define FOCUSRATE_ROW_STREAM_H

#include <cstdint>
#include <memory>
#include <vector>

#include "engine.h"
#include "focus_figures.h"
#include "focus_sums.h"
#include "tile_grid.h"

namespace focusrate {

/// Keeps a few rows, so memory grows with the width only; the figures are
/// FastFigures' bits for the same image.
///   RowStream stream(width, height, 3, 2);
///   for each row: decode into stream.NextRow(), then stream.RowDone();
///   const FocusFigures figures = stream.Finish();
class RowStream {
 public:
  /// channels: 3 (blue, green, red) or 1 (grey); width, height at least 1.
  /// threads 2 or more: a second thread measures while the caller decodes
  /// the next rows (a ring of row bands between them); 1: the caller
  /// measures in RowDone. order: of the colour channels; set: as FastFigures.
  /// grid (fitting the image; none: one tile): also each tile's sums, as
  /// FastTiledSums takes them.
  RowStream(int width, int height, int channels, int threads,
            ChannelOrder order = ChannelOrder::Bgr, FigureSet set = FigureSet::Classic,
            const TileGrid& grid = TileGrid());
  /// Stops the measuring thread, also when not every row came.
  ~RowStream();
  RowStream(const RowStream&) = delete;
  RowStream& operator=(const RowStream&) = delete;

  /// Where the next row goes: width * channels bytes. May wait for the
  /// measuring thread to free a slot.
  uint8_t* NextRow();
  /// That row is written.
  void RowDone();
  /// The figures, once every row is done.
  FocusFigures Finish();
  /// After Finish: each tile's sums, row-major as in TiledSums.
  const std::vector<FocusSums>& TileSums() const;

 private:
  class Measurer;
  std::unique_ptr<Measurer> measurer_;
};

}  // namespace focusrate

#endif  // FOCUSRATE_ROW_STREAM_H
