// focusrank run as a separate process: its figures against focusrate's,
// folder walking, order under parallel rating, options and exit statuses.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <opencv2/imgcodecs.hpp>

#include "cli_test_util.h"
#include "focusrank_test_util.h"
#include "jzon.h"
#include "measures.h"
#include "process_util.h"
#include "test_images.h"

namespace {

namespace fs = std::filesystem;

const std::string kHeader = "path,laplace,variance_lap,tenengrad,gray_level,status\n";

ProcessResult Rank(std::vector<std::string> args, const std::string& stdinText = "") {
  args.insert(args.begin(), kFocusrank);
  return RunProcess(args, stdinText, 120);
}

// Rows after the header, which must be there.
std::vector<CsvRow> BodyRows(const ProcessResult& run) {
  std::vector<CsvRow> rows = ParseCsv(run.out);
  if (rows.empty() || rows.front() != ParseCsv(kHeader).front()) {
    ADD_FAILURE() << "no header: " << run.out;
    return {};
  }
  rows.erase(rows.begin());
  for (const CsvRow& row : rows) EXPECT_EQ(row.size(), 6u) << run.out;
  return rows;
}

void ExpectFiguresOfFocusrate(const std::vector<CsvRow>& rows, const ScratchDir& scratch) {
  for (const CsvRow& row : rows) {
    SCOPED_TRACE(row[0]);
    EXPECT_EQ(CsvRow(row.begin() + 1, row.begin() + 5),
              FocusrateFigureTexts(row[0], scratch / "r.json"));
  }
}

// A folder of everything a real collection holds: images of several formats
// and kinds, files that are not images, a subfolder, a symlink loop, a FIFO.
class MixedFolder : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root_ + "/sub/deeper");
    ASSERT_TRUE(cv::imwrite(root_ + "/a.png", MakeNoise(64, 48, 1, 3)));
    ASSERT_TRUE(cv::imwrite(root_ + kOddName, MakeRamp(8, 8)));
    ASSERT_TRUE(cv::imwrite(root_ + "/UPPER.PNG", MakeCheckerboard(40, 30, 4, 3)));
    ASSERT_TRUE(cv::imwrite(root_ + "/grey.png", MakeSoftBlobs(50, 50, 3)));
    ASSERT_TRUE(cv::imwrite(root_ + "/black.png", MakeUniform(20, 10, 0)));
    ASSERT_TRUE(cv::imwrite(root_ + "/sub/b.jpg", MakeRamp(33, 21, 3)));
    ASSERT_TRUE(cv::imwrite(root_ + "/sub/deeper/c.bmp", MakeDot3x3()));
    WriteBytes(root_ + "/bad.jpg", "not an image at all\n");
    WriteBytes(root_ + "/truncated.png", ReadBytes(root_ + "/a.png").substr(0, 60));
    WriteBytes(root_ + "/notes.txt", "ignored\n");
    ASSERT_EQ(::symlink("..", (root_ + "/sub/loop").c_str()), 0);
    ASSERT_EQ(::mkfifo((root_ + "/fifo.jpg").c_str(), 0600), 0);
  }

  const std::string kOddName = "/a,\"quoted\"\nname.png";  // CSV must quote it
  ScratchDir scratch_;
  std::string root_ = scratch_ / "photos";
};

TEST_F(MixedFolder, RowsInNameOrderWithFocusratesFiguresForAnyJobsFormatOrOutput) {
  const ProcessResult run = Rank({"--jobs", "2", root_});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "");
  const std::vector<CsvRow> rows = BodyRows(run);
  // Sorted by name at each level; notes.txt and the loop are left out.
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"/UPPER.PNG", "ok"},          {kOddName, "ok"},
      {"/a.png", "ok"},              {"/bad.jpg", "cannot decode"},
      {"/black.png", "ok"},          {"/fifo.jpg", "not a regular file"},
      {"/grey.png", "ok"},           {"/sub/b.jpg", "ok"}, {"/sub/deeper/c.bmp", "ok"},
      {"/truncated.png", "cannot decode"}};
  std::vector<std::pair<std::string, std::string>> got;
  for (const CsvRow& row : rows) got.emplace_back(row[0].substr(root_.size()), row[5]);
  EXPECT_EQ(got, expected);
  EXPECT_NE(run.out.find("\n\"" + root_ + "/a,\"\"quoted\"\"\nname.png\","), std::string::npos);
  ExpectFiguresOfFocusrate(rows, scratch_);

  EXPECT_EQ(Rank({"-j", "1", root_}).out, run.out);

  const ProcessResult jsonl = Rank({"--format", "jsonl", root_});
  EXPECT_EQ(jsonl.status, 1);
  ASSERT_EQ(jsonl.out.back(), '\n');
  std::vector<CsvRow> fromJson;
  for (const std::string& text : SplitLines(jsonl.out)) {
    Jzon::Object line;
    Jzon::TextParser parser(line, text);
    ASSERT_TRUE(parser.Run()) << parser.ErrorMessage();
    fromJson.emplace_back();
    for (const char* name : {"path", "Laplace", "Variance-Lap", "Tenengrad", "Gray-Level",
                             "status"}) {
      const Jzon::Node& node = line.ChildNamed(name);
      fromJson.back().push_back(node.IsNull() ? "" : node.ToString());
    }
  }
  EXPECT_EQ(fromJson, rows);

  const std::string out = scratch_ / "out/ranks.csv";
  fs::create_directory(scratch_ / "out");
  WriteBytes(out, "old");
  const ProcessResult toFile = Rank({"-o", out, root_});
  EXPECT_EQ(toFile.status, 1);
  EXPECT_EQ(toFile.out, "");
  EXPECT_EQ(ReadBytes(out), run.out);
  EXPECT_EQ(std::distance(fs::directory_iterator(scratch_ / "out"), fs::directory_iterator()),
            1);  // no temporary file left
}

TEST_F(MixedFolder, FilesFromStandardInputWithNewlinesOrNuls) {
  const std::string a = root_ + "/a.png", b = root_ + "/sub/b.jpg", sub = root_ + "/sub";
  const ProcessResult direct = Rank({a, sub, b});
  EXPECT_EQ(direct.status, 0);
  EXPECT_EQ(BodyRows(direct).size(), 4u);  // sub holds b.jpg and deeper/c.bmp
  const ProcessResult lines = Rank({"--files-from", "-"}, a + "\n" + sub + "\n\n" + b + "\n");
  EXPECT_EQ(lines.status, 0);
  EXPECT_EQ(lines.out, direct.out);
  EXPECT_EQ(Rank({"-0", "--files-from=-"}, a + '\0' + sub + '\0' + b).out, direct.out);
}

TEST_F(MixedFolder, UnreadableDirectoryIsReportedAndTheRunGoesOn) {
  const std::string locked = root_ + "/sub/deeper";
  ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
  std::vector<std::string> args = {kFocusrank, root_};
  if (::geteuid() == 0) {
    // Root reads every directory: run as nobody, who must reach the folder.
    if (::access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "no setpriv to drop root";
    ASSERT_EQ(::chmod((scratch_ / "").c_str(), 0755), 0);
    args.insert(args.begin(),
                {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
  }
  const ProcessResult run = RunProcess(args, "", 120);
  ::chmod(locked.c_str(), 0755);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "focusrank: " + locked + ": cannot read directory (Permission denied)\n");
  EXPECT_EQ(BodyRows(run).size(), 9u);
}

TEST(FocusrankSamples, FiguresEqualFocusratesAndAllRated) {
  ScratchDir scratch;
  const ProcessResult run = Rank({FOCUSRATE_SOURCE_DIR "/samples"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  const std::vector<CsvRow> rows = BodyRows(run);
  EXPECT_GE(rows.size(), 3u);
  for (const CsvRow& row : rows) EXPECT_EQ(row[5], "ok");
  ExpectFiguresOfFocusrate(rows, scratch);
}

TEST(FocusrankUsage, OneLineComplaintThenHintAndStatusTwo) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"--srot", "x", "a.png"}, "unknown option '--srot'"},
      {{}, "no image or directory given"},
      {{"-q"}, "no image or directory given"},
      {{"--jobs", "0", "a.png"}, "invalid value '0' for '--jobs'"},
      {{"-j", "two", "a.png"}, "invalid value 'two' for '-j'"},
      {{"--jobs=", "a.png"}, "invalid value '' for '--jobs'"},
      {{"--format", "xml", "a.png"}, "invalid value 'xml' for '--format'"},
      {{"--sort", "sharpness", "a.png"}, "invalid value 'sharpness' for '--sort'"},
      {{"--top", "0", "a.png"}, "invalid value '0' for '--top'"},
      {{"--roi", "0,0,0,10", "a.png"}, "invalid value '0,0,0,10' for '--roi'"},
      {{"--roi=center:0", "a.png"}, "invalid value 'center:0' for '--roi'"},
      {{"--max-pixels", "-5", "a.png"}, "invalid value '-5' for '--max-pixels'"},
      {{"a.png", "--jobs"}, "option '--jobs' needs a value"},
      {{"-0", "a.png"}, "option '-0' needs '--files-from'"},
      {{"--quiet=yes", "a.png"}, "option '--quiet' takes no value"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.second);
    const ProcessResult run = Rank(c.first);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, std::string("focusrank: ") + c.second + "\nTry 'focusrank --help'.\n");
  }
  for (const char* flag : {"-h", "--help"}) {
    const ProcessResult help = Rank({"--jobs", "1", flag, "--no-such-option"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("Usage: focusrank [OPTIONS] PATH...\n", 0), 0u);
  }
}

TEST(FocusrankRanking, SortsSharpestFirstByTheChosenMeasureAndKeepsTheTop) {
  ScratchDir scratch;
  const std::string dir = scratch / "set";
  fs::create_directory(dir);
  for (int cell : {1, 2, 3, 5, 8, 13})
    ASSERT_TRUE(cv::imwrite(dir + "/cell" + std::to_string(cell) + ".png",
                            MakeCheckerboard(60, 60, cell, 3, 40, 200)));
  ASSERT_TRUE(cv::imwrite(dir + "/flat.png", MakeUniform(30, 30, 90)));
  WriteBytes(dir + "/broken.png", "no");
  // Expected: the unsorted rows by their Tenengrad, largest first, failures last.
  const std::vector<CsvRow> inputOrder = BodyRows(Rank({dir}));
  std::vector<CsvRow> expected = inputOrder;
  auto key = [](const CsvRow& row) { return row[3].empty() ? -1 : std::stod(row[3]); };
  std::stable_sort(expected.begin(), expected.end(),
                   [&](const CsvRow& a, const CsvRow& b) { return key(a) > key(b); });
  ASSERT_EQ(expected.back()[0], dir + "/broken.png");
  const ProcessResult all = Rank({"--sort", "tenengrad", "-j", "2", dir});
  EXPECT_EQ(all.status, 1);
  EXPECT_EQ(BodyRows(all), expected);
  EXPECT_EQ(BodyRows(Rank({"--sort=tenengrad", "--top", "3", dir})),
            std::vector<CsvRow>(expected.begin(), expected.begin() + 3));
  // Unsorted, --top keeps the first rows of the input order.
  EXPECT_EQ(BodyRows(Rank({"--top", "2", dir})),
            std::vector<CsvRow>(inputOrder.begin(), inputOrder.begin() + 2));
}

TEST(FocusrankRegion, RatesTheClippedRegionAsAnImageOfItsOwn) {
  ScratchDir scratch;
  const std::string path = scratch / "scene.png";
  ASSERT_TRUE(cv::imwrite(path, MakeSoftBlobs(80, 60, 5, 3)));
  const cv::Mat decoded = cv::imread(path, cv::IMREAD_COLOR);
  const std::pair<const char*, cv::Rect> cases[] = {  // rectangles worked out by hand
      {"50,40,100,100", {50, 40, 30, 20}},
      {"center:50", {20, 15, 40, 30}},
      {"0,0,1,1", {0, 0, 1, 1}},
      {"10,5,7,9", {10, 5, 7, 9}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    const ProcessResult run = Rank({"--roi", c.first, path});
    EXPECT_EQ(run.status, 0);
    const FocusFigures f = ReferenceFigures(decoded(c.second).clone());
    EXPECT_EQ(BodyRows(run),
              std::vector<CsvRow>({{path, FigureByHand(f.laplace), FigureByHand(f.varianceLap),
                                    FigureByHand(f.tenengrad), FigureByHand(f.grayLevel), "ok"}}));
  }
  const ProcessResult outside = Rank({"--roi", "80,0,5,5", path});
  EXPECT_EQ(outside.status, 1);
  EXPECT_EQ(outside.out, kHeader + path + ",,,,,region outside image\n");
}

TEST(FocusrankLimits, RefusesImagesAboveMaxPixels) {
  ScratchDir scratch;
  const std::string jpg = scratch / "100x100.jpg", hdr = scratch / "100x100.hdr";
  ASSERT_TRUE(cv::imwrite(jpg, MakeNoise(100, 100, 9, 3)));
  // Radiance files are not sized from their header: refused once decoded.
  cv::Mat radiance;
  MakeNoise(100, 100, 9, 3).convertTo(radiance, CV_32F, 1 / 255.0);
  ASSERT_TRUE(cv::imwrite(hdr, radiance));
  for (const std::string& path : {jpg, hdr}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(Rank({"--max-pixels", "9999", path}).out, kHeader + path + ",,,,,too large\n");
    EXPECT_EQ(Rank({"--max-pixels=10000", path}).status, 0);
  }
  // Claims 100000 x 70000 pixels: refused by its header under the default limit.
  WriteBytes(scratch / "huge.png", HugePngHeader());
  const ProcessResult huge = Rank({scratch / "huge.png"});
  EXPECT_EQ(huge.status, 1);
  EXPECT_EQ(huge.out, kHeader + scratch / "huge.png" + ",,,,,too large\n");
}

TEST(FocusrankFailures, UnwritableOutputIsStatusThreeUnreadableListIsOne) {
  ScratchDir scratch;
  const std::string image = scratch / "ok.png", nowhere = scratch / "no/such/dir.csv";
  ASSERT_TRUE(cv::imwrite(image, MakeRamp(16, 16)));
  const ProcessResult full = Rank({"-o", "/dev/full", image});
  EXPECT_EQ(full.status, 3);
  EXPECT_EQ(full.err, "focusrank: /dev/full: cannot write (No space left on device)\n");
  const ProcessResult missingDir = Rank({"-o", nowhere, image});
  EXPECT_EQ(missingDir.status, 3);
  EXPECT_EQ(missingDir.err,
            "focusrank: " + nowhere + ": cannot create (No such file or directory)\n");
  const ProcessResult list = Rank({"--files-from", scratch / "missing.txt", image});
  EXPECT_EQ(list.status, 1);
  EXPECT_EQ(list.err, "focusrank: " + scratch / "missing.txt" + ": cannot read list\n");
  EXPECT_EQ(BodyRows(list), BodyRows(Rank({image})));
  const std::string missing = scratch / "missing.jpg";
  EXPECT_EQ(Rank({missing}).out, kHeader + missing + ",,,,,cannot decode\n");
}

TEST(FocusrankPipe, ClosedReaderEndsTheRunQuietly) {
  ScratchDir scratch;
  const std::string image = scratch / "tiny.png";
  ASSERT_TRUE(cv::imwrite(image, MakeNoise(8, 8, 4)));
  // Far more rows than a pipe buffers, so focusrank is still writing when head has gone.
  std::string list;
  for (int i = 0; i < 5000; ++i) list += image + "\n";
  const ProcessResult run = RunProcess(
      {"/bin/bash", "-c",
       "\"$0\" -j 2 --files-from - | head -n 2; echo \"status ${PIPESTATUS[0]}\"", kFocusrank},
      list, 120);
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> lines = SplitLines(run.out);
  ASSERT_EQ(lines.size(), 3u) << run.out;
  EXPECT_EQ(lines[0] + "\n", kHeader);
  EXPECT_EQ(lines[1].rfind(image + ",", 0), 0u);
  EXPECT_EQ(lines[2], "status 0");
}

}  // namespace
