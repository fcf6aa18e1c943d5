// Makes focusrank's benchmark collection from real photographs: JPEG copies
// resized to fixed pixel counts, so runs on different machines rate the same
// kind of work. Usage: make_bench_photos SOURCE_DIR OUT_DIR
//   OUT_DIR/large/  40 photos of 10 to 24 megapixels
//   OUT_DIR/medium/ 160 photos of 1 to 10 megapixels
//   OUT_DIR/small/  200 photos under 1 megapixel
//   OUT_DIR/sizes.tsv  path, width and height of each
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kMinSourceBytes = 300 * 1024;  // skips icons and diagrams
constexpr size_t kMaxSources = 24;

std::vector<cv::Mat> LoadSources(const fs::path& dir) {
  std::vector<fs::path> paths;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    std::string ext = entry.path().extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (entry.is_regular_file() && (ext == ".jpg" || ext == ".jpeg") &&
        entry.file_size() >= kMinSourceBytes)
      paths.push_back(entry.path());
  }
  std::sort(paths.begin(), paths.end());
  std::vector<cv::Mat> sources;
  for (const fs::path& p : paths) {
    cv::Mat image = cv::imread(p.string(), cv::IMREAD_COLOR);
    if (!image.empty() && image.total() >= 1000000) sources.push_back(image);
    if (sources.size() == kMaxSources) break;
  }
  return sources;
}

// count photos from megapixels low to high, cycling through the sources.
void MakeSet(const std::vector<cv::Mat>& sources, const fs::path& dir, int count, double low,
             double high, std::FILE* sizes) {
  fs::create_directories(dir);
  for (int i = 0; i < count; ++i) {
    const cv::Mat& src = sources[static_cast<size_t>(i) % sources.size()];
    const double pixels = 1e6 * (low + (high - low) * i / std::max(1, count - 1));
    const double scale = std::sqrt(pixels / static_cast<double>(src.total()));
    const cv::Size size(std::max(1, static_cast<int>(src.cols * scale)),
                        std::max(1, static_cast<int>(src.rows * scale)));
    cv::Mat resized;
    cv::resize(src, resized, size, 0, 0, scale < 1 ? cv::INTER_AREA : cv::INTER_CUBIC);
    char name[32];
    std::snprintf(name, sizeof name, "%03d.jpg", i);
    cv::imwrite((dir / name).string(), resized, {cv::IMWRITE_JPEG_QUALITY, 92});
    std::fprintf(sizes, "%s\t%d\t%d\n", (dir / name).c_str(), size.width, size.height);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_bench_photos SOURCE_DIR OUT_DIR\n");
    return 2;
  }
  const std::vector<cv::Mat> sources = LoadSources(argv[1]);
  if (sources.empty()) {
    std::fprintf(stderr, "make_bench_photos: no photo of 1 megapixel or more in %s\n", argv[1]);
    return 1;
  }
  const fs::path out = argv[2];
  fs::create_directories(out);
  std::FILE* sizes = std::fopen((out / "sizes.tsv").c_str(), "w");
  if (sizes == nullptr) {
    std::perror("make_bench_photos: sizes.tsv");
    return 1;
  }
  MakeSet(sources, out / "large", 40, 10, 24, sizes);
  MakeSet(sources, out / "medium", 160, 1, 9.9, sizes);
  MakeSet(sources, out / "small", 200, 0.1, 0.9, sizes);
  std::fclose(sizes);
  std::printf("made 400 photos from %zu sources in %s\n", sources.size(), argv[2]);
  return 0;
}
