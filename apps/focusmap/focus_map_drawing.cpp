#include "focus_map_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <opencv2/imgproc.hpp>

#include "default_grid.h"

namespace focusrate {

namespace {

constexpr int kLegendWidth = 120;
constexpr int kMinHeight = 240;  // room for the legend's labels
// The bottom of the scale is laid over the photo at this share of the
// opacity: a faint darkening, never a colour that could read as a highlight.
constexpr double kFloorOpacity = 0.25;
const cv::Vec3b kOutline(255, 255, 255);  // no blend of grey and the map is pure white

std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3g", v);
  return text;
}

// The title in lines that fit the legend, broken after underscores
// ("variance_lap_" / "norm"); a word too long for a line keeps its line.
std::vector<std::string> TitleLines(const std::string& title, int font, double size) {
  std::vector<std::string> lines(1);
  for (size_t start = 0; start < title.size();) {
    const size_t underscore = title.find('_', start);
    const size_t end = underscore == std::string::npos ? title.size() : underscore + 1;
    const std::string word = title.substr(start, end - start);
    int baseline = 0;
    if (!lines.back().empty() &&
        cv::getTextSize(lines.back() + word, font, size, 1, &baseline).width > kLegendWidth - 12)
      lines.emplace_back();
    lines.back() += word;
    start = end;
  }
  return lines;
}

void DrawLegend(cv::Mat& canvas, int left, const LogScale& scale,
                bool any, const std::string& title) {
  const cv::Scalar ink(235, 235, 235);
  const int font = cv::FONT_HERSHEY_SIMPLEX;
  int row = 4;
  for (const std::string& line : TitleLines(title, font, 0.42))
    cv::putText(canvas, line, cv::Point(left + 8, row += 16), font, 0.42, ink, 1, cv::LINE_AA);
  cv::putText(canvas, "log scale", cv::Point(left + 8, row += 18), font, 0.38, ink, 1, cv::LINE_AA);
  cv::putText(canvas, "sharp", cv::Point(left + 8, row += 18), font, 0.38, ink, 1, cv::LINE_AA);
  const int top = row + 10, bottom = canvas.rows - 26, x0 = left + 10, x1 = left + 30;
  cv::putText(canvas, "soft", cv::Point(left + 8, canvas.rows - 8), font, 0.38, ink, 1,
              cv::LINE_AA);
  for (int y = top; y <= bottom; ++y) {
    const double position = 1.0 - static_cast<double>(y - top) / std::max(1, bottom - top);
    canvas(cv::Range(y, y + 1), cv::Range(x0, x1)).setTo(FocusColour(position));
  }
  for (double position : {1.0, 0.5, 0.0}) {
    const int y = top + static_cast<int>(std::lround((1 - position) * (bottom - top)));
    cv::line(canvas, cv::Point(x1, y), cv::Point(x1 + 5, y), ink, 1);
    const std::string label = any ? Number(scale.ValueAt(position)) : "n/a";
    cv::putText(canvas, label, cv::Point(x1 + 8, y + 5), font, 0.42, ink, 1, cv::LINE_AA);
  }
}

}  // namespace

cv::Mat DrawFocusMap(const cv::Mat& photo, const TileGrid& grid,
                     const std::vector<double>& values, const std::string& title,
                     const LogScale& scale, double opacity) {
  const double ratio =
      std::min(1.0, static_cast<double>(kMapLongSide) / std::max(photo.cols, photo.rows));
  const cv::Size size(std::max(1, static_cast<int>(std::lround(photo.cols * ratio))),
                      std::max(1, static_cast<int>(std::lround(photo.rows * ratio))));
  cv::Mat small, grey;
  cv::resize(photo, small, size, 0, 0, cv::INTER_AREA);
  cv::cvtColor(small, grey, cv::COLOR_BGR2GRAY);
  grey.convertTo(grey, CV_8U, 0.5, 40);  // dimmed, so the colours stand out
  cv::Mat canvas(std::max(size.height, kMinHeight), size.width + kLegendWidth, CV_8UC3,
                 cv::Scalar(32, 32, 32));
  cv::Mat view = canvas(cv::Rect(0, 0, size.width, size.height));
  cv::cvtColor(grey, view, cv::COLOR_GRAY2BGR);

  // A tile's rectangle in the reduced picture.
  auto tileRect = [&](int k) {
    const int i = k % grid.Columns(), j = k / grid.Columns();
    auto at = [&](int edge, int limit) {
      return std::min(limit, static_cast<int>(std::lround(edge * ratio)));
    };
    return cv::Rect(
        cv::Point(at(grid.xEdges[i], size.width), at(grid.yEdges[j], size.height)),
        cv::Point(at(grid.xEdges[i + 1], size.width), at(grid.yEdges[j + 1], size.height)));
  };
  for (size_t k = 0; k < values.size(); ++k) {
    if (!std::isfinite(values[k])) continue;
    cv::Mat tile = view(tileRect(static_cast<int>(k)));
    const double position = scale.Position(values[k]);
    const double share = opacity * (kFloorOpacity + (1 - kFloorOpacity) * position);
    cv::addWeighted(tile, 1 - share,
                    cv::Mat(tile.size(), CV_8UC3, cv::Scalar(FocusColour(position))), share, 0,
                    tile);
  }
  const int best = SharpestTile(values);
  if (best >= 0) {
    const cv::Rect r = tileRect(best);
    const int thickness = std::max(2, size.width / 400);
    // Drawn inside the tile, so its neighbours keep their own edges.
    const cv::Point inset(thickness / 2, thickness / 2);
    if (!r.empty())
      cv::rectangle(view, r.tl() + inset, r.br() - cv::Point(1, 1) - inset, cv::Scalar(kOutline),
                    thickness);
  }
  DrawLegend(canvas, size.width, scale, best >= 0, title);
  return canvas;
}

}  // namespace focusrate
