// Row y can be measured once source row y + 2 has arrived (or the last row
// has): its grey neighbours are smoothed from the rows two away. Source row r
// is not read again once row r is measured, so a ring of R rows lets the
// decoder run up to R rows ahead of the measuring.
#include "row_stream.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include <opencv2/core.hpp>

#include "focus_sums.h"
#include "grey_rows.h"

namespace focusrate {

namespace {

// Rows are handed between the threads in bands, so they meet on the lock
// once per band rather than once per row.
constexpr int kBand = 32;

// The ring's rows start a byte past 16-byte alignment: libjpeg-turbo's SIMD
// colour conversion writes aligned rows with non-temporal stores, which skip
// the cache, and a row written is read at once (by a thumbnail being
// reduced as it streams, then by the measuring). Skewed, it is read back
// from the cache: a report's thumbnails cost a third less.
constexpr size_t kRingSkew = 1;

}  // namespace

class RowStream::Measurer {
 public:
  Measurer(int width, int height, int channels, bool threaded, bool rgb, bool extended,
           TileGrid grid)
      : grid_(std::move(grid)),
        tiles_(static_cast<size_t>(grid_.Columns()) * grid_.Rows()),
        rowBytes_(static_cast<size_t>(width) * channels),
        rows_(height),
        ringRows_(threaded ? 3 + 2 * kBand : 3),
        ring_(rowBytes_ * ringRows_ + kRingSkew),
        grey_({ring_.data() + kRingSkew, rowBytes_, ringRows_}, width, height, channels,
              engine_internal::RowKernels(engine_internal::CpuHasAvx2(), channels, rgb,
                                          extended)) {
    if (threaded) worker_ = std::thread([this] { MeasureAll(); });
  }

  ~Measurer() {
    if (!worker_.joinable()) return;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      abandoned_ = true;
    }
    changed_.notify_all();
    worker_.join();
  }

  uint8_t* NextRow() {
    CV_Assert(arrived_ < rows_);
    if (worker_.joinable() && arrived_ >= freeUpTo_) {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return arrived_ < sharedMeasured_ + ringRows_; });
      freeUpTo_ = sharedMeasured_ + ringRows_;
    }
    return ring_.data() + kRingSkew + rowBytes_ * static_cast<size_t>(arrived_ % ringRows_);
  }

  void RowDone() {
    ++arrived_;
    if (!worker_.joinable()) {
      for (; measured_ + 2 < arrived_; ++measured_) MeasureRow(measured_);
      return;
    }
    if (arrived_ % kBand == 0 || arrived_ == rows_) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        sharedArrived_ = arrived_;
      }
      changed_.notify_all();
    }
  }

  FocusFigures Finish() {
    CV_Assert(arrived_ == rows_);
    if (worker_.joinable()) {
      worker_.join();
    } else {
      for (; measured_ < rows_; ++measured_) MeasureRow(measured_);
    }
    FocusSums whole;
    for (const FocusSums& tile : tiles_) whole += tile;
    return FiguresFromSums(whole);
  }

  const std::vector<FocusSums>& TileSums() const { return tiles_; }

 private:
  void MeasureRow(int y) {
    while (grid_.yEdges[tileRow_ + 1] <= y) ++tileRow_;
    grey_.Measure(y, grid_.xEdges, tiles_.data() + static_cast<size_t>(tileRow_) * grid_.Columns());
  }

  // The measuring thread: waits for each band, and frees the ring behind it.
  void MeasureAll() {
    int available = 0;
    for (int y = 0; y < rows_; ++y) {
      const int needed = std::min(y + 3, rows_);
      if (available < needed || y % kBand == 0) {
        std::unique_lock<std::mutex> lock(mutex_);
        sharedMeasured_ = y;
        changed_.notify_all();
        changed_.wait(lock, [&] { return abandoned_ || sharedArrived_ >= needed; });
        if (abandoned_) return;
        available = sharedArrived_;
      }
      MeasureRow(y);
    }
  }

  const TileGrid grid_;
  std::vector<FocusSums> tiles_;
  int tileRow_ = 0;  ///< the grid row of the row being measured
  const size_t rowBytes_;
  const int rows_;
  const int ringRows_;
  std::vector<uint8_t> ring_;
  engine_internal::GreyRows grey_;
  int arrived_ = 0;   ///< rows written by the caller
  int measured_ = 0;  ///< rows measured, when the caller measures
  int freeUpTo_ = 0;  ///< the caller may write rows below this without asking

  std::thread worker_;
  std::mutex mutex_;
  std::condition_variable changed_;
  int sharedArrived_ = 0;   ///< rows the measuring thread may read
  int sharedMeasured_ = 0;  ///< rows whose slots may be written again
  bool abandoned_ = false;
};

RowStream::RowStream(int width, int height, int channels, int threads, ChannelOrder order,
                     FigureSet set, const TileGrid& grid) {
  CV_Assert(width > 0 && height > 0 && (channels == 1 || channels == 3));
  CV_Assert(grid.xEdges.empty() || FitsImage(grid, width, height));
  measurer_ = std::make_unique<Measurer>(
      width, height, channels, threads >= 2, order == ChannelOrder::Rgb, set == FigureSet::All,
      grid.xEdges.empty() ? UniformGrid(width, height, 1, 1) : grid);
}

RowStream::~RowStream() = default;

uint8_t* RowStream::NextRow() { return measurer_->NextRow(); }

void RowStream::RowDone() { measurer_->RowDone(); }

FocusFigures RowStream::Finish() { return measurer_->Finish(); }

const std::vector<FocusSums>& RowStream::TileSums() const { return measurer_->TileSums(); }

}  // namespace focusrate
