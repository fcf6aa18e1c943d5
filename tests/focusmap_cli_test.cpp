// focusmap run as a separate process: the picture's size, its outline on the
// sharpest tile, the tile file against the reference, shared scales, focus
// peaking, and bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <tuple>

#include "cli_test_util.h"
#include "figure_columns.h"
#include "jzon.h"
#include "measures.h"
#include "test_images.h"

using namespace focusrate;

namespace {

const std::string kFocusmap = FOCUSRATE_BINARY_DIR "/bin/focusmap";

using Said = std::tuple<int, std::string, std::string>;

Said Map(std::vector<std::string> args) {
  args.insert(args.begin(), kFocusmap);
  const ProcessResult run = RunProcess(args, "", 60);
  return {run.status, run.out, run.err};
}

// Soft blobs with a sharp noise patch: one tile is clearly the sharpest.
cv::Mat Photo(int width, int height, cv::Rect sharp) {
  cv::Mat photo = MakeSoftBlobs(width, height, 4, 3);
  MakeNoise(sharp.width, sharp.height, 6, 3).copyTo(photo(sharp));
  return photo;
}

struct MapCase {
  cv::Size size;
  cv::Rect sharp;
  std::vector<std::string> options;
  int columns, rows;
  const char* measure;
  cv::Size picture;  ///< the photo reduced to 1600 on its long side, plus the 120-pixel legend
};

TEST(FocusmapCli, OutlinesTheTileWithTheHighestFigureOfTheTileFile) {
  const MapCase cases[] = {
      {{2000, 1000}, {1210, 640, 90, 70}, {}, 16, 8, "variance_lap", {1720, 800}},
      {{300, 200},
       {30, 20, 40, 30},
       {"--grid", "5x3", "--measure", "gray_level"},
       5,
       3,
       "gray_level",
       {420, 240}},
      {{90, 400}, {10, 300, 40, 60}, {"--measure=tenengrad"}, 8, 36, "tenengrad", {210, 400}},
      {{300, 200}, {30, 20, 40, 30}, {"--grid=5x3", "--measure=haar_energy"}, 5, 3, "haar_energy",
       {420, 240}},
  };
  for (const MapCase& c : cases) {
    SCOPED_TRACE(c.measure);
    ScratchDir dir;
    const cv::Mat photo = Photo(c.size.width, c.size.height, c.sharp);
    ASSERT_TRUE(cv::imwrite(dir / "photo.png", photo));
    std::vector<std::string> args = {dir / "photo.png", dir / "map.png", "--tiles-json",
                                     dir / "tiles.json"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    ASSERT_EQ(Map(args), Said(0, "", ""));
    const cv::Mat picture = cv::imread(dir / "map.png", cv::IMREAD_UNCHANGED);
    ASSERT_EQ(picture.size(), c.picture);
    ASSERT_EQ(picture.type(), CV_8UC3);

    Jzon::Object tiles;
    ASSERT_TRUE(Jzon::FileLoader::LoadFile(dir / "tiles.json", tiles));
    Jzon::Emitter indented(tiles, Jzon::IndentedStyle);  // written a tile at a time, yet as one
    indented.Write();
    EXPECT_EQ(indented.GetResult(), ReadBytes(dir / "tiles.json"));
    EXPECT_EQ(tiles.ChildNamed("measure").ToString(), c.measure);
    ASSERT_EQ(tiles.ChildNamed("columns").ToInt(), c.columns);
    ASSERT_EQ(tiles.ChildNamed("rows").ToInt(), c.rows);
    TileGrid grid;
    for (int i = 0; i <= c.columns; ++i) grid.xEdges.push_back(i * c.size.width / c.columns);
    for (int j = 0; j <= c.rows; ++j) grid.yEdges.push_back(j * c.size.height / c.rows);
    const std::vector<FocusFigures> reference = ReferenceTileFigures(photo, grid, FigureSet::All);
    const Jzon::Node& list = tiles.ChildNamed("tiles");
    ASSERT_EQ(list.ChildCount(), reference.size());
    const FigureColumn& measured = *FindFigureColumn(c.measure);
    const char* member = measured.member;
    int best = 0;
    for (unsigned k = 0; k < list.ChildCount(); ++k) {
      const Jzon::Node& tile = list.ChildAt(k);
      const FocusFigures& f = reference[k];
      EXPECT_EQ(tile.ChildNamed("x").ToInt(), grid.xEdges[k % c.columns]);
      EXPECT_EQ(tile.ChildNamed("y").ToInt(), grid.yEdges[k / c.columns]);
      EXPECT_EQ(FigureByHand(tile.ChildNamed("Variance-Lap-Norm").ToDouble()),
                FigureByHand(f.varianceLapNorm));
      const double mine = tile.ChildNamed(member).ToDouble();
      EXPECT_EQ(FigureByHand(mine), FigureByHand(measured.value(f)));
      if (mine > list.ChildAt(best).ChildNamed(member).ToDouble()) best = static_cast<int>(k);
    }
    EXPECT_EQ(tiles.ChildNamed("sharpest").ChildNamed("column").ToInt(), best % c.columns);
    EXPECT_EQ(tiles.ChildNamed("sharpest").ChildNamed("row").ToInt(), best / c.columns);
    // Only the sharpest tile's left edge is drawn white, at its middle.
    const double scale = std::min(1.0, 1600.0 / std::max(c.size.width, c.size.height));
    for (int k = 0; k < c.columns * c.rows; ++k) {
      const int i = k % c.columns, j = k / c.columns;
      const cv::Point mid(cvRound(grid.xEdges[i] * scale) + 1,
                          cvRound((grid.yEdges[j] + grid.yEdges[j + 1]) / 2 * scale));
      EXPECT_EQ(picture.at<cv::Vec3b>(mid) == cv::Vec3b(255, 255, 255), k == best) << i << "," << j;
    }
  }
}

TEST(FocusmapCli, BadInputLeavesTheOutputAlone) {
  ScratchDir dir;
  ASSERT_TRUE(cv::imwrite(dir / "ok.png", MakeSoftBlobs(40, 30, 2, 3)));
  WriteBytes(dir / "text.png", "not a picture");
  ASSERT_TRUE(cv::imwrite(dir / "dot.png", MakeDot3x3()));  // default grid: 3x3
  std::filesystem::create_symlink("/dev/full", dir / "full.png");
  auto usage = [](const std::string& why) {
    return Said(2, "", "focusmap: " + why + "\nTry 'focusmap --help'.\n");
  };
  const std::pair<std::vector<std::string>, Said> cases[] = {
      {{dir / "missing.png", dir / "out.png"},
       Said(255, "", "focusmap: " + dir / "missing.png" + ": not found\n")},
      {{dir / "text.png", dir / "out.png", "--tiles-json", dir / "out.json"},
       Said(255, "", "focusmap: " + dir / "text.png" + ": cannot decode\n")},
      {{dir / "ok.png", dir / "full.png"},
       Said(1, "", "focusmap: " + dir / "full.png" + ": cannot write map (No space left on device)\n")},
      {{dir / "ok.png", dir / "out.png", "--tiles-json", dir / "no/such/dir.json"},
       Said(1, "",
            "focusmap: " + dir / "no/such/dir.json" +
                ": cannot write tiles (No such file or directory)\n")},
      {{dir / "dot.png", dir / "out.png"}, Said(0, "", "")},
      {{dir / "ok.png", dir / "out.png", "--grid", "41x30"},
       Said(1, "", "focusmap: " + dir / "ok.png" + ": more tiles (41x30) than pixels (40x30)\n")},
      {{dir / "ok.png", dir / "out.png", "--scale", "1/2", "--grid", "21x15"},
       Said(1, "", "focusmap: " + dir / "ok.png" + ": more tiles (21x15) than pixels (20x15)\n")},
      {{dir / "ok.png", dir / "out.png", "--grid", "257x256"},
       usage("invalid value '257x256' for '--grid' (at most 65536 tiles)")},
      {{dir / "ok.png"}, usage("expected IMAGE and OUT.png")},
      {{dir / "ok.png", dir / "out.png", "--grid", "4x0"},
       usage("invalid value '4x0' for '--grid'")},
      {{dir / "ok.png", dir / "out.png", "--measure", "sharpness"},
       usage("invalid value 'sharpness' for '--measure'")},
      {{dir / "ok.png", dir / "out.png", "--tiles-json"},
       usage("option '--tiles-json' needs a value")},
      {{dir / "ok.png", dir / "out.gif"},
       usage(dir / "out.gif" + ": a map is written as .png, .jpg or .jpeg")},
      {{dir / "ok.png", dir / "out.png", "--scale-from", dir / "text.png"},
       usage(dir / "text.png" + ": not a tiles file with a scale")},
      {{dir / "ok.png", dir / "out.png", "--scale", "0,5"}, usage("invalid value '0,5' for '--scale'")},
      {{"--output-dir", dir / "maps", dir / "ok.png", dir / "ok.webp"},
       Said(1, "", "focusmap: " + dir / "maps/ok.png" + ": is also the map of " + dir / "ok.png" +
                       "; not written\n")},
      {{"--output-dir", dir / "", dir / "dot.png", dir / "ok.png"},
       Said(1, "", "focusmap: " + dir / "dot.png" + ": is the input image; not written\n")},
  };
  for (const auto& [args, said] : cases) {
    WriteBytes(dir / "out.png", "old");
    EXPECT_EQ(Map(args), said) << testing::PrintToString(args);
    // Only a map written before its tiles file failed replaces the old one.
    if (std::get<0>(said) != 0 && std::get<2>(said).find("cannot write tiles") == std::string::npos) {
      EXPECT_EQ(ReadBytes(dir / "out.png"), "old");
    }
  }
  const Said help = Map({"--help"});
  EXPECT_EQ(std::get<1>(help).substr(0, 33), "Usage: focusmap IMAGE OUT.png|OUT");
}

// Yellow minus blue at each tile's middle, at most: the grey photo has none,
// and the colour map gains it from its black bottom to its pale yellow top.
int MostYellow(const cv::Mat& picture, int tiles, int tile) {
  int most = -255;
  for (int k = 0; k < tiles * tiles; ++k) {
    const cv::Vec3b c = picture.at<cv::Vec3b>(k / tiles * tile + tile / 2, k % tiles * tile + tile / 2);
    most = std::max(most, (c[1] + c[2]) / 2 - c[0]);
  }
  return most;
}

// On one scale a blurred frame's best tile is drawn far lower than a sharp
// frame's, whether the scale spans both frames or comes from a tiles file.
TEST(FocusmapCli, ASharedScaleDrawsTheBlurredFrameLower) {
  ScratchDir dir;
  ASSERT_TRUE(cv::imwrite(dir / "sharp.png", Photo(400, 400, {100, 100, 200, 200})));
  ASSERT_TRUE(cv::imwrite(dir / "soft.png", MakeSoftBlobs(400, 400, 7, 3)));
  const std::vector<std::string> grid = {"--grid", "4x4"};
  auto run = [&](std::vector<std::string> args) {
    args.insert(args.end(), grid.begin(), grid.end());
    ASSERT_EQ(Map(args), Said(0, "", ""));
  };
  std::filesystem::create_directory(dir / "maps");
  run({"--output-dir", dir / "maps", dir / "sharp.png", dir / "soft.png", "--opacity", "1"});
  run({dir / "sharp.png", dir / "sharp.jpg", "--tiles-json", dir / "sharp.json", "--opacity=1"});
  run({dir / "soft.png", dir / "soft.jpg", "--scale-from", dir / "sharp.json", "--opacity=1"});
  EXPECT_EQ(ReadBytes(dir / "soft.jpg").substr(0, 2), "\xFF\xD8");
  for (const auto& [folder, type] : {std::pair("maps/", ".png"), std::pair("", ".jpg")}) {
    SCOPED_TRACE(type);
    auto yellow = [&](const std::string& name) {
      return MostYellow(cv::imread(dir / (folder + name + type)), 4, 100);
    };
    EXPECT_GT(yellow("sharp"), 80);
    EXPECT_LT(yellow("soft"), yellow("sharp") - 60) << yellow("soft");
  }
}

// Peaking paints only where the scene is sharp: the left half of noise, not
// the same noise blurred on the right.
TEST(FocusmapCli, PeakingPaintsTheSharpHalf) {
  ScratchDir dir;
  cv::Mat scene = MakeNoise(600, 300, 5, 3);
  cv::GaussianBlur(scene.colRange(300, 600), scene.colRange(300, 600), cv::Size(), 3);
  ASSERT_TRUE(cv::imwrite(dir / "scene.png", scene));
  ASSERT_EQ(Map({dir / "scene.png", dir / "peak.png", "--style", "peaking", "--color", "#00ff00",
                 "--max-size", "400"}),
            Said(0, "", ""));
  cv::Mat green;
  cv::inRange(cv::imread(dir / "peak.png"), cv::Scalar(0, 255, 0), cv::Scalar(0, 255, 0), green);
  ASSERT_EQ(green.size(), cv::Size(400, 200));
  const int left = cv::countNonZero(green.colRange(0, 200)), all = cv::countNonZero(green);
  EXPECT_GT(left, 200 * 200 / 10);
  EXPECT_GE(left, 0.95 * all);
}

}  // namespace
