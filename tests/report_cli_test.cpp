// focusrank --report run as a process: the thumbnails, the page as a
// headless browser builds it (frames, bursts, picks, no network, a hostile
// file name shown as text and never run), rows unchanged, and a folder that
// would be written through a link or rated again refused.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "batch_runner.h"
#include "cli_test_util.h"
#include "default_grid.h"
#include "encoded_variants.h"
#include "engine.h"
#include "exif_orientation.h"
#include "report_page.h"
#include "reduced_copy.h"
#include "image_region.h"
#include "subject_region.h"
#include "test_images.h"
#include "tile_map.h"

using namespace focusrate;

namespace {

// Two scenes of three and two frames, blur growing; and a file that is no
// image, whose name would run script were it pasted into the page as is.
constexpr char kHostile[] = "<img src=x onerror=document.body.setAttribute('data-pwned',1)>.jpg";

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(ReportCli, PageShowsEveryFrameInItsBurstAndRunsNothingFromNames) {
  ScratchDir dir;
  std::filesystem::create_directory(dir / "in");
  const char* names[] = {"a1.png", "a2.png", "a3.png", "b1.jpg", "b2.jpg"};
  for (int k = 0; k < 5; ++k) {
    cv::Mat frame = MakeSoftBlobs(640, 400, k < 3 ? 1 : 2, 3);
    cv::GaussianBlur(frame, frame, cv::Size(), 0.5 + (k % 3));
    ASSERT_TRUE(cv::imwrite(dir / ("in/" + std::string(names[k])), frame));
  }
  WriteBytes(dir / ("in/" + std::string(kHostile)), "not an image");
  // Planted links: writes through them would reach the victim.
  std::filesystem::create_directories(dir / "report/thumbs");
  WriteBytes(dir / "victim", "victim");
  ASSERT_EQ(symlink((dir / "victim").c_str(), (dir / "report/index.html").c_str()), 0);
  ASSERT_EQ(symlink((dir / "victim").c_str(), (dir / "report/thumbs/000001.jpg").c_str()), 0);
  // Left by an earlier, larger run: removed (a link itself, not the victim),
  // but a name this program does not give is kept.
  WriteBytes(dir / "report/thumbs/000000.jpg", "stale");
  ASSERT_EQ(symlink((dir / "victim").c_str(), (dir / "report/thumbs/000009.jpg").c_str()), 0);
  ASSERT_EQ(symlink((dir / "victim").c_str(), (dir / "report/page-2.html").c_str()), 0);
  WriteBytes(dir / "report/thumbs/0000009.jpg", "not ours");
  ASSERT_EQ(mkfifo((dir / "report/thumbs/000002.jpg").c_str(), 0600), 0);  // opened, it would hang

  const ProcessResult plain = RunProcess({kFocusrank, "--bursts", "-j2", dir / "in"});
  const ProcessResult reported =
      RunProcess({kFocusrank, "--bursts", "-j2", "--report", dir / "report", dir / "in"});
  EXPECT_EQ(reported.status, plain.status) << reported.err;
  EXPECT_EQ(reported.out, plain.out);
  EXPECT_EQ(ReadBytes(dir / "victim"), "victim");
  EXPECT_EQ(cv::imread(dir / "report/thumbs/000001.jpg").size(), cv::Size(480, 300));
  for (const char* stale : {"thumbs/000000.jpg", "thumbs/000009.jpg", "page-2.html"})  // 0: no image
    EXPECT_FALSE(std::filesystem::is_symlink(dir / ("report/" + std::string(stale))) ||
                 std::filesystem::exists(dir / ("report/" + std::string(stale)))) << stale;
  EXPECT_EQ(ReadBytes(dir / "report/thumbs/0000009.jpg"), "not ours");
  EXPECT_EQ(cv::imread(dir / "report/thumbs/000002.jpg").size(), cv::Size(480, 300));

  // Again: a thumbnail already there is kept, unless its bytes differ.
  const std::string second = ReadBytes(dir / "report/thumbs/000002.jpg");
  WriteBytes(dir / "report/thumbs/000002.jpg", std::string(second.size(), 'x'));
  struct stat kept, now;
  ASSERT_EQ(stat((dir / "report/thumbs/000003.jpg").c_str(), &kept), 0);
  ASSERT_EQ(RunProcess({kFocusrank, "--bursts", "--report", dir / "report", dir / "in"}).status,
            reported.status);
  EXPECT_EQ(ReadBytes(dir / "report/thumbs/000002.jpg"), second);
  ASSERT_EQ(stat((dir / "report/thumbs/000003.jpg").c_str(), &now), 0);
  EXPECT_EQ(now.st_ino, kept.st_ino);
  const std::string html = ReadBytes(dir / "report/index.html");
  EXPECT_NE(html.find("&lt;img src=x onerror=document.body.setAttribute(&#39;data-pwned"),
            std::string::npos);
  // The tile maps of a burst share one scale: the sharpest frame's best tile
  // is drawn brighter than the most blurred frame's best tile.
  std::vector<double> brightest;
  for (size_t at = html.find("base64,"); at != std::string::npos; at = html.find("base64,", at + 1)) {
    const size_t start = at + 7;
    const std::string png =
        RunProcess({"/usr/bin/base64", "-d"}, html.substr(start, html.find('"', start) - start)).out;
    cv::Mat map = cv::imdecode(std::vector<uchar>(png.begin(), png.end()), cv::IMREAD_GRAYSCALE);
    ASSERT_FALSE(map.empty());
    double top = 0;
    cv::minMaxLoc(map, nullptr, &top);
    brightest.push_back(top);
  }
  ASSERT_EQ(brightest.size(), 5u);  // a1, a2, a3, b1, b2: no map for the file that is no image
  EXPECT_GT(brightest[0], brightest[2] + 40);

  // In a searched folder the next run would rate the report itself.
  const ProcessResult inside =
      RunProcess({kFocusrank, "--report", dir / "in/report", dir / "in"});
  EXPECT_EQ(inside.status, 2);
  EXPECT_FALSE(std::filesystem::exists(dir / "in/report"));

  if (access("/usr/bin/chromium", X_OK) != 0) GTEST_SKIP() << "no chromium";
  const ProcessResult dom = RunProcess({"/usr/bin/chromium", "--headless", "--no-sandbox",
                                        "--disable-gpu", "--dump-dom",
                                        "file://" + dir / "report/index.html"}, "", 120);
  ASSERT_EQ(dom.status, 0) << dom.err;
  EXPECT_NE(dom.out.find("data-frames=\"6\" data-bursts=\"2\""), std::string::npos);
  EXPECT_EQ(Count(dom.out, "<figure class=\"frame"), 6u);
  EXPECT_EQ(Count(dom.out, "<section class=\"burst\""), 2u);
  EXPECT_EQ(Count(dom.out, "<figure class=\"frame pick\""), 2u);
  EXPECT_EQ(Count(dom.out, "data-pick=\"1\""), 2u);
  EXPECT_EQ(Count(dom.out, "://"), 0u);  // nothing fetched from anywhere
  EXPECT_EQ(Count(dom.out, "data-pwned="), 0u);
  EXPECT_NE(dom.out.find("&lt;img src=x"), std::string::npos);
}

// Pages of at most three frames: a burst longer than that has a page of its
// own, and every frame is on exactly one page, linked from the one before.
TEST(ReportPages, NoBurstSplitAndEveryFrameOnce) {
  const size_t bursts[] = {1, 1, 2, 2, 2, 2, 0, 0, 0};
  std::vector<ReportFrame> frames;
  for (size_t burst : bursts) {
    frames.push_back({"f.jpg", RatedImage(), cv::Size()});
    frames.back().rated.place.burst = burst;
  }
  RowLayout layout;
  layout.bursts = true;
  const std::vector<std::string> pages = ReportPages(frames, layout, RegionChoice(), "n", 3);
  ASSERT_EQ(pages.size(), 3u);
  const size_t perPage[] = {2, 4, 3};
  for (size_t page = 0; page < 3; ++page) {
    EXPECT_EQ(Count(pages[page], "<figure "), perPage[page]) << page;
    EXPECT_EQ(Count(pages[page], "href=\"page-" + std::to_string(page + 2) + ".html\">next"),
              page < 2 ? 2u : 0u);  // above the frames and below
  }
  EXPECT_EQ(Count(pages[1], "data-burst=\"2\""), 5u);  // the section and its four frames
  for (size_t index = 0; index < frames.size(); ++index)
    EXPECT_EQ(Count(pages[0] + pages[1] + pages[2], "data-index=\"" + std::to_string(index) + '"'),
              1u);
}

// The copy reduced while rows stream (before any EXIF turn, turned at the
// end), or from the image held whole, against the decoded image resized by
// OpenCV: at full size exactly the image,
// for every kind of file and orientation the direct decoders read; a third
// of the size, area averages, also where a copy row gathers more rows than
// 16-bit sums hold. Tile maps likewise.
TEST(ReducedCopy, StreamedMatchesDecodedImageReduced) {
  struct Case {
    std::string name, bytes;
    int side;
  };
  std::vector<Case> cases;
  for (const EncodedVariant& variant : EncodedVariants())  // past damage, pixels are anything
    if (!variant.damaged) cases.push_back({variant.name, variant.bytes, 61});
  const auto addPng = [&](const std::string& name, const cv::Mat& image, int side) {
    std::vector<uchar> png;
    cv::imencode(".png", image, png);
    cases.push_back({name, std::string(png.begin(), png.end()), side});
  };
  addPng("120x90 to a third", MakeNoise(120, 90, 7, 3), 40);
  addPng("1x3000 to 5: 600 rows to a copy row", MakeNoise(1, 3000, 8, 3), 5);
  ScratchDir dir;
  for (const Case& c : cases) {
    WriteBytes(dir / "file", c.bytes);
    RateSettings settings;
    settings.reducedSide = c.side;
    settings.tileMap = true;
    const RatedImage rated = RateFile(dir / "file", settings);
    if (!WasRated(rated)) continue;
    const cv::Mat decoded = DecodeImage(dir / "file").image;
    cv::Mat expected = decoded;
    if (ReducedSize(decoded.size(), c.side) != decoded.size())
      cv::resize(decoded, expected, ReducedSize(decoded.size(), c.side), 0, 0, cv::INTER_AREA);
    ASSERT_EQ(rated.reduced.size(), expected.size()) << c.name;
    EXPECT_EQ(rated.reducedFrom, decoded.size()) << c.name;
    EXPECT_LE(cv::norm(rated.reduced, expected, cv::NORM_INF), 1) << c.name;
    // With a subject the image is held whole, upright, and reduced so.
    settings.subject = SubjectMode::Center;
    const cv::Mat reducedHeld = RateFile(dir / "file", settings).reduced;
    ASSERT_EQ(reducedHeld.size(), expected.size()) << c.name;
    EXPECT_LE(cv::norm(reducedHeld, expected, cv::NORM_INF), 1) << c.name;
    // The tile map is taken while streaming, on the image as stored, and
    // turned at the end: the stored image is the upright one turned back
    // (6 and 8 undo each other, the other turns undo themselves).
    const int orientation = rated.rendition.orientation;
    cv::Mat stored = decoded.clone();
    ApplyOrientation(orientation == 6 ? 8 : orientation == 8 ? 6 : orientation, stored);
    const TiledSums sums = FastTiledSums(stored, DefaultGrid(stored.size()), 1);
    cv::Mat held = VarianceLapMap(sums.tiles, sums.grid);
    ApplyOrientation(orientation, held);
    ASSERT_EQ(rated.tileMap.size(), held.size()) << c.name;
    EXPECT_TRUE(std::equal(held.begin<double>(), held.end<double>(), rated.tileMap.begin<double>(),
                           [](double a, double b) { return a == b || (a != a && b != b); }))
        << c.name;
  }
}

// With a subject, the tile map comes from the subject's pass: the same bits
// as the figures and the map measured apart, however the subject is found,
// inside a region too.
TEST(SubjectAndMap, OnePassGivesTheBitsOfSeparatePasses) {
  ScratchDir dir;
  const cv::Mat image = MakeSoftBlobs(330, 240, 1, 3);  // 11 x 8 tiles: the centre cuts tiles
  ASSERT_TRUE(cv::imwrite(dir / "a.png", image));
  const auto same = [](const FocusFigures& a, const FocusFigures& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
  };
  RegionChoice inner;
  inner.kind = RegionChoice::Kind::Box;
  inner.x = 20, inner.y = 10, inner.width = 250, inner.height = 170;
  for (const RegionChoice& region : {RegionChoice(), inner})
    for (SubjectMode mode : {SubjectMode::Center, SubjectMode::Peak, SubjectMode::Faces, SubjectMode::Auto}) {
      RateSettings settings;
      settings.region = region;
      settings.subject = mode;
      const RatedImage apart = RateFile(dir / "a.png", settings);
      settings.tileMap = true;
      const RatedImage together = RateFile(dir / "a.png", settings);
      const std::string label = together.subjectHow + (region.kind == RegionChoice::Kind::Box ? " in a box" : "");
      EXPECT_TRUE(same(apart.figures, together.figures)) << label;
      EXPECT_TRUE(same(apart.subjectFigures, together.subjectFigures)) << label;
      EXPECT_EQ(apart.subject, together.subject) << label;
      const TiledSums sums = FastTiledSums(image(RegionIn(region, image.size())),
                                           DefaultGrid(RegionIn(region, image.size()).size()), 1);
      const cv::Mat expected = VarianceLapMap(sums.tiles, sums.grid);
      ASSERT_EQ(together.tileMap.size(), expected.size()) << label;
      EXPECT_EQ(cv::norm(together.tileMap, expected, cv::NORM_INF), 0) << label;
    }
}

}  // namespace
