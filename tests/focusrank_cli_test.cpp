// focusrank run as a separate process: its figures against focusrate's,
// folder walking, order under parallel rating, options and exit statuses.
// Unreadable folders and readers that leave early are in lost_work_test.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <sstream>
#include <tuple>

#include "cli_test_util.h"
#include "jzon.h"
#include "measures.h"
#include "test_images.h"

using namespace focusrate;

namespace {

namespace fs = std::filesystem;
using Row = std::vector<std::string>;

const std::string kHeader = "path,laplace,variance_lap,tenengrad,gray_level,status\n";

ProcessResult Rank(std::vector<std::string> args, const std::string& stdinText = "") {
  args.insert(args.begin(), kFocusrank);
  return RunProcess(args, stdinText, 120);
}

// Exit status, standard output and standard error, compared at once.
using Said = std::tuple<int, std::string, std::string>;
Said Of(const ProcessResult& run) { return {run.status, run.out, run.err}; }

// The rows of JSON Lines as texts ("" for null), each line's members checked
// by name, order and kind; a row missing some has fewer fields.
std::vector<Row> JsonRows(const std::string& out) {
  const Row names = {"path", "Laplace", "Variance-Lap", "Tenengrad", "Gray-Level", "status"};
  std::vector<Row> rows;
  std::istringstream lines(out);
  for (std::string text; std::getline(lines, text);) {
    Jzon::Object line;
    Jzon::TextParser parser(line, text);
    EXPECT_TRUE(parser.Run()) << parser.ErrorMessage() << " in " << text;
    rows.emplace_back();
    for (const auto& [name, node] : line) {
      const size_t k = rows.back().size();
      EXPECT_EQ(name, names.at(k));
      EXPECT_TRUE(k % 5 == 0 ? node.IsString() : node.IsNumber() || node.IsNull()) << text;
      rows.back().push_back(node.IsNull() ? "" : node.ToString());
    }
  }
  return rows;
}

// The four figures of the reference measures as rows hold them, "" for null.
Row FiguresByHand(const cv::Mat& image) {
  const FocusFigures f = ReferenceFigures(image);
  Row texts;
  for (double figure : {f.laplace, f.varianceLap, f.tenengrad, f.grayLevel})
    texts.push_back(FigureByHand(figure) == "null" ? "" : FigureByHand(figure));
  return texts;
}

// A CSV row of figures worked out by the reference measures.
std::string RowByHand(const std::string& path, const cv::Mat& image) {
  std::string row = path;
  for (const std::string& figure : FiguresByHand(image)) row += "," + figure;
  return row + ",ok\n";
}

// A folder of everything a real collection holds: images of several formats
// and kinds, files that are not images, a subfolder (with a space in its
// name), a symlink loop, a FIFO,
// and a symlink to the bundled samples (photographs of some size), which a
// search passes by but which may be given by name.
class MixedFolder : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root_ + "/sub dir/deeper");
    const std::pair<std::string, cv::Mat> images[] = {
        {"/a.png", MakeNoise(64, 48, 1, 3)}, {kOddName, MakeRamp(8, 8)},
        {"/UPPER.PNG", MakeCheckerboard(40, 30, 4, 3)}, {"/grey.png", MakeSoftBlobs(50, 50, 3)},
        {"/black.png", MakeUniform(20, 10, 0)}, {"/sub dir/b.jpg", MakeRamp(33, 21, 3)},
        {"/sub dir/deeper/c.bmp", MakeDot3x3()}};
    for (const auto& [name, image] : images) ASSERT_TRUE(cv::imwrite(root_ + name, image));
    WriteBytes(root_ + "/huge.png", kHugePng);  // too large under the default limit
    WriteBytes(root_ + "/notes.txt", "ignored\n");
    ASSERT_EQ(::symlink("..", (root_ + "/sub dir/loop").c_str()), 0);
    ASSERT_EQ(::mkfifo((root_ + "/fifo.jpg").c_str(), 0600), 0);
    fs::create_directory_symlink(FOCUSRATE_SOURCE_DIR "/samples", samples_);
  }

  const std::string kOddName = "/a,\"q\\t\"\nname.png";  // CSV quotes it, JSON keeps the '\'
  ScratchDir scratch_;
  const std::string root_ = scratch_ / "photos", samples_ = root_ + "/samples";
  const std::string a_ = root_ + "/a.png", missing_ = root_ + "/missing.jpg";
  const std::string quotedOdd_ = "\"" + root_ + "/a,\"\"q\\t\"\"\nname.png\"";
};

TEST_F(MixedFolder, RowsInNameOrderWithReferenceFiguresForAnyJobsFormatOrOrder) {
  auto rank = [&](std::vector<std::string> args) {
    args.insert(args.end(), {root_, samples_, missing_});
    return Rank(args);
  };
  const ProcessResult run = rank({"--format", "jsonl", "--jobs", "2"});
  EXPECT_EQ(Said(run.status, "", run.err), Said(1, "", ""));
  const std::vector<Row> rows = JsonRows(run.out);
  Row got;
  std::string csv = kHeader;
  for (const Row& row : rows) {
    ASSERT_EQ(row.size(), 6u);
    got.push_back(row[0].substr(root_.size() + 1) + " " + row[5]);
    EXPECT_EQ(Row(row.begin() + 1, row.begin() + 5),
              row[5] == "ok" ? FiguresByHand(cv::imread(row[0])) : Row(4)) << row[0];
    csv += (row[0] == root_ + kOddName ? quotedOdd_ : row[0]) + "," + row[1] + "," + row[2] + "," +
           row[3] + "," + row[4] + "," + row[5] + "\n";
  }
  // Sorted by name at each level; notes.txt, the loop and the samples link are passed by.
  // Undecodable and damaged files' rows are in decoded_files_cli_test.
  ASSERT_EQ(got, Row({"UPPER.PNG ok", kOddName.substr(1) + " ok", "a.png ok", "black.png ok",
                      "fifo.jpg not a regular file", "grey.png ok", "huge.png too large",
                      "sub dir/b.jpg ok", "sub dir/deeper/c.bmp ok", "samples/scene_blurred.png ok",
                      "samples/scene_grey.png ok", "samples/scene_sharp.jpg ok",
                      "samples/scene_sharp.png ok", "missing.jpg not found"}));
  // The same rows from one job as CSV, into a file that is replaced whole and
  // leaves nothing beside it.
  fs::create_directory(scratch_ / "out");
  const std::string out = scratch_ / "out/ranks.csv";
  WriteBytes(out, "old");
  EXPECT_EQ(Of(rank({"-q", "-j", "1", "-o", out})), Said(1, "", ""));
  EXPECT_EQ(ReadBytes(out), csv);
  EXPECT_EQ(std::distance(fs::directory_iterator(scratch_ / "out"), fs::directory_iterator()), 1);

  // Sorted by each measure: larger first, ties (black.png and c.bmp have 0)
  // in input order, then the rows without one (also black.png's Gray-Level).
  const char* measures[] = {"laplace", "variance-lap", "tenengrad", "gray-level"};
  auto key = [](const std::string& text) { return text.empty() ? -INFINITY : std::stod(text); };
  std::vector<Row> sorted;
  for (int k = 1; k < 5; ++k) {
    sorted = rows;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](const Row& a, const Row& b) { return key(a[k]) > key(b[k]); });
    EXPECT_EQ(JsonRows(rank({"--format=jsonl", "--sort", measures[k - 1]}).out), sorted);
  }
  sorted.resize(3);
  EXPECT_EQ(JsonRows(rank({"--format=jsonl", "--sort=gray-level", "--top", "3"}).out), sorted);
  // Unsorted, --top keeps the first rows of the input order.
  EXPECT_EQ(JsonRows(rank({"--format=jsonl", "--top", "2"}).out),
            std::vector<Row>(rows.begin(), rows.begin() + 2));
}

TEST_F(MixedFolder, OptionsListsAndFailuresGiveTheirRowsStatusAndMessage) {
  const std::string odd = root_ + kOddName, sub = root_ + "/sub dir", list = scratch_ / "list";
  WriteBytes(list, odd + '\0' + a_ + std::string(2, '\0') + sub + '\0');  // a name may hold '\n'
  // Radiance files are not sized from their header: refused once decoded.
  const std::string hdr = scratch_ / "a.hdr";
  const cv::Mat decoded = cv::imread(a_, cv::IMREAD_COLOR);
  cv::Mat half;
  cv::resize(decoded, half, cv::Size(32, 24), 0, 0, cv::INTER_AREA);
  ASSERT_TRUE(cv::imwrite(hdr, cv::Mat_<cv::Vec3f>(decoded) / 255));
  const std::string listed =
      kHeader + RowByHand(quotedOdd_, cv::imread(odd)) + RowByHand(a_, decoded) +
      RowByHand(sub + "/b.jpg", cv::imread(sub + "/b.jpg")) +
      RowByHand(sub + "/deeper/c.bmp", cv::imread(sub + "/deeper/c.bmp"));
  auto crop = [&](cv::Rect r) { return Said(0, kHeader + RowByHand(a_, decoded(r).clone()), ""); };
  auto usage = [](const std::string& why) {
    return Said(2, "", "focusrank: " + why + "\nTry 'focusrank --help'.\n");
  };
  const std::pair<std::vector<std::string>, Said> cases[] = {
      // Standard input (read with "-" only) lists a.png, an empty line and sub.
      {{odd, "--files-from", "-"}, Said(0, listed, "")},
      {{"-0", "--files-from=" + list}, Said(0, listed, "")},
      {{"--files-from", missing_, odd, a_, sub},
       Said(1, listed, "focusrank: " + missing_ + ": cannot read list (No such file or directory)\n")},
      // Regions rated as images of their own; rectangles worked out by hand.
      {{"--roi", "50,40,100,100", a_}, crop({50, 40, 14, 8})},
      {{"--roi", "64,0,5,5", a_}, Said(1, kHeader + a_ + ",,,,,region outside image\n", "")},
      // a.png has 64 x 48 = 3072 pixels.
      {{"--max-pixels", "3071", a_, hdr},
       Said(1, kHeader + a_ + ",,,,,too large\n" + hdr + ",,,,,too large\n", "")},
      {{"-qj1", "--max-pixels=3072", a_, hdr},
       Said(0, kHeader + RowByHand(a_, decoded) + RowByHand(hdr, cv::imread(hdr)), "")},
      // Reduced, whether sized from the header or decoded: 32 x 24 = 768 pixels.
      {{"--scale", "1/2", "--max-pixels=767", a_, hdr},
       Said(1, kHeader + a_ + ",,,,,too large\n" + hdr + ",,,,,too large\n", "")},
      {{"--scale=1/2", "--max-pixels=768", a_}, Said(0, kHeader + RowByHand(a_, half), "")},
      {{"-o/dev/full", a_},
       Said(3, "", "focusrank: /dev/full: cannot write (No space left on device)\n")},
      {{"--srot", "x", "a.png"}, usage("unknown option '--srot'")},
      {{}, usage("no image or directory given")},
      {{"--jobs=", "a.png"}, usage("invalid value '' for '--jobs'")},
      {{"a.png", "--jobs"}, usage("option '--jobs' needs a value")},
      {{"-0", "a.png"}, usage("option '-0' needs '--files-from'")},
      {{"--quiet=yes", "a.png"}, usage("option '--quiet' takes no value")},
      {{"--sort", "subject-laplace", "a.png"},
       usage("option '--sort subject_laplace' needs '--subject'")},
      {{"--bursts=0", "a.png"}, usage("invalid value '0' for '--bursts'")},
      {{"--bursts=1.0000001", "a.png"}, usage("invalid value '1.0000001' for '--bursts'")},
      {{"--xmp", "--label-picks", "red", "a.png"}, usage("option '--label-picks' needs '--bursts'")},
      {{"--bursts", "--dry-run", "a.png"}, usage("option '--dry-run' needs '--xmp'")}};
  for (const auto& [args, said] : cases)
    EXPECT_EQ(Of(Rank(args, a_ + "\n\n" + sub)), said) << testing::PrintToString(args);
  for (const auto& [option, value] : std::vector<std::pair<std::string, std::string>>{
           {"--jobs", "0"}, {"-j", "two"}, {"--format", "xml"}, {"--sort", "Laplace"},
           {"--sort", "subject"}, {"--top", "0"}, {"--roi", "center:0"},
           {"--max-pixels", "-5"}, {"--figures", "laplace,laplace"}, {"--figures", ""},
           {"--subject", "face"}, {"--reject-below", "1"}, {"--label-picks", "pink"},
           {"--xmp-name", "both"}, {"--raw", "small"}, {"--scale", "1/3"}})
    EXPECT_EQ(Of(Rank({option, value, "a.png"})),
              usage("invalid value '" + value + "' for '" + option + "'"));
  for (const char* flag : {"-qh", "--help"}) {  // help wins over what follows
    const ProcessResult run = Rank({"--jobs", "1", flag, "--no-such-option"});
    EXPECT_EQ(Said(run.status, run.out.substr(0, 35), run.err),
              Said(0, "Usage: focusrank [OPTIONS] PATH...\n", ""));
    EXPECT_NE(run.out.find("\n  --max-pixels N        refuse larger images before decoding them\n"
                           "                        [default: 1073741824]\n"),
              std::string::npos);
  }
}

// On a terminal (script's) a run ends with what it did; --quiet keeps it off.
TEST_F(MixedFolder, SaysOnATerminalWhatWasRatedAndSkipped) {
  for (const std::string quiet : {"", "-q "}) {
    const std::string out = ShellIn(root_, "script -qec \"\\\"$R\\\" " + quiet + "-o ../rows .\" /dev/null").out;
    EXPECT_EQ(out.substr(out.find_last_of('\r', out.size() - 3) + 1),
              quiet.empty() ? "focusrank: images rated: 7, rows with another status: 2, "
                              "files skipped for their extension: 1\r\n" : "");
  }
}

// A figure as a CSV row holds it.
std::string Cell(double figure) {
  const std::string text = FigureByHand(figure);
  return text == "null" ? "" : text;
}

// The figures of region r within image, by the reference: the middle tile
// of a 3x3 grid around it.
FocusFigures Within(const cv::Mat& image, cv::Rect r) {
  const TileGrid grid{{0, r.x, r.x + r.width, image.cols}, {0, r.y, r.y + r.height, image.rows}};
  return ReferenceTileFigures(image, grid, FigureSet::All)[4];
}

TEST(FocusrankSubject, ChosenColumnsAndSubjectFiguresMatchTheReference) {
  ScratchDir scratch;
  // Soft blobs with a sharp noise patch in a corner (peak finds it); sharp
  // noise in the centre (core) or all round it (ring: more detail overall).
  const cv::Rect centre(24, 16, 48, 32);
  const cv::Mat soft = MakeSoftBlobs(96, 64, 7, 3), noise = MakeNoise(96, 64, 5, 3);
  cv::Mat patch = soft.clone(), core = soft.clone(), ring = noise.clone();
  noise(cv::Rect(82, 50, 14, 14)).copyTo(patch(cv::Rect(82, 50, 14, 14)));
  noise(centre).copyTo(core(centre));
  soft(centre).copyTo(ring(centre));
  const std::string p = scratch / "patch.png", c = scratch / "core.png", r = scratch / "ring.png";
  // A sliver shrinks to no rows for the face search: the centre stands in.
  const cv::Mat sliver = MakeNoise(2000, 1, 3, 3);
  const std::string s = scratch / "sliver.png";
  ASSERT_TRUE(cv::imwrite(p, patch) && cv::imwrite(c, core) && cv::imwrite(r, ring) &&
              cv::imwrite(s, sliver));
  // Peak by hand: 12 x 8 tiles of 8 pixels, 3 x 3 of them around the tile
  // with the largest Variance-Lap, kept inside the grid.
  TileGrid tiles;
  for (int k = 0; k <= 12; ++k) tiles.xEdges.push_back(8 * k);
  for (int k = 0; k <= 8; ++k) tiles.yEdges.push_back(8 * k);
  const std::vector<FocusFigures> t = ReferenceTileFigures(patch, tiles);
  const auto best = std::max_element(t.begin(), t.end(), [](const auto& a, const auto& b) {
                      return a.varianceLap < b.varianceLap;
                    }) - t.begin();
  const cv::Rect peak(8 * std::clamp<int>(best % 12 - 1, 0, 9),
                      8 * std::clamp<int>(best / 12 - 1, 0, 5), 24, 24);
  ASSERT_EQ(peak, cv::Rect(72, 40, 24, 24));  // in the corner, kept inside
  auto where = [](cv::Rect x, const std::string& how) {
    return "," + std::to_string(x.x) + " " + std::to_string(x.y) + " " + std::to_string(x.width) +
           " " + std::to_string(x.height) + " " + how;
  };
  const FocusFigures whole = ReferenceFigures(patch, FigureSet::All);
  const FocusFigures inCentre = Within(patch, centre);
  const cv::Mat cut = patch(cv::Rect(16, 0, 80, 64)).clone();  // --roi: an image of its own
  const FocusFigures cutWhole = ReferenceFigures(cut), cutCentre = Within(cut, {20, 16, 40, 32});
  auto centreRow = [&](const std::string& path, const cv::Mat& image) {
    return path + "," + Cell(ReferenceFigures(image).varianceLap) + where(centre, "center") +
           "," + Cell(Within(image, centre).varianceLap) + ",ok\n";
  };
  const std::string centreHeader = "path,variance_lap,subject,subject_variance_lap,status\n";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--figures", "variance_lap_norm,laplace", "--subject", "center", p},
       "path,variance_lap_norm,laplace,subject,subject_variance_lap_norm,subject_laplace,status\n" +
           p + "," + Cell(whole.varianceLapNorm) + "," + Cell(whole.laplace) +
           where(centre, "center") + "," + Cell(inCentre.varianceLapNorm) + "," +
           Cell(inCentre.laplace) + ",ok\n"},
      // Figures only the full set measures, as columns or as the sort key.
      {{"--figures", "brenner,variance_lap_denoised", "--subject", "center", p},
       "path,brenner,variance_lap_denoised,subject,subject_brenner,"
       "subject_variance_lap_denoised,status\n" +
           p + "," + Cell(whole.brenner) + "," + Cell(whole.varianceLapDenoised) +
           where(centre, "center") + "," + Cell(inCentre.brenner) + "," +
           Cell(inCentre.varianceLapDenoised) + ",ok\n"},
      {{"--subject=center", "--figures", "variance_lap", "--sort", "subject_vollath", r, c},
       centreHeader + centreRow(c, core) + centreRow(r, ring)},
      {{"--subject", "faces", "--figures", "tenengrad", p},
       "path,tenengrad,subject,subject_tenengrad,status\n" + p + "," + Cell(whole.tenengrad) +
           where(centre, "center (no face)") + "," + Cell(inCentre.tenengrad) + ",ok\n"},
      {{"--subject", "faces", "--figures", "laplace", s},
       "path,laplace,subject,subject_laplace,status\n" + s + "," +
           Cell(ReferenceFigures(sliver).laplace) + where({500, 0, 1000, 1}, "center (no face)") +
           "," + Cell(Within(sliver, {500, 0, 1000, 1}).laplace) + ",ok\n"},
      {{"--subject", "peak", "--figures=gray_level", p},
       "path,gray_level,subject,subject_gray_level,status\n" + p + "," + Cell(whole.grayLevel) +
           where(peak, "peak") + "," + Cell(Within(patch, peak).grayLevel) + ",ok\n"},
      // The region is reported in the whole image, rated within the cut.
      {{"--roi", "16,0,80,64", "--subject", "center", "--figures", "laplace", p},
       "path,laplace,subject,subject_laplace,status\n" + p + "," + Cell(cutWhole.laplace) +
           where({36, 16, 40, 32}, "center") + "," + Cell(cutCentre.laplace) + ",ok\n"},
      // The ring wins on the whole frame, the core within the centre.
      {{"--subject=center", "--figures", "variance_lap", "--sort", "subject_variance_lap", r, c},
       centreHeader + centreRow(c, core) + centreRow(r, ring)},
      {{"--subject=center", "--figures", "variance_lap", "--sort", "variance-lap", c, r},
       centreHeader + centreRow(r, ring) + centreRow(c, core)},
  };
  for (const auto& [args, csv] : cases) EXPECT_EQ(Of(Rank(args)), Said(0, csv, "")) << args[1];
  // auto: no face, so the blob that stands out by its colour (an orange
  // disc on a third of soft grey blobs), neither the centre nor the sharp
  // noise in the opposite corner.
  cv::Mat grey, third;
  cv::cvtColor(soft, grey, cv::COLOR_BGR2GRAY);
  cv::cvtColor(grey, third, cv::COLOR_GRAY2BGR);
  cv::circle(third, {66, 22}, 8, cv::Scalar(0, 128, 255), cv::FILLED);
  noise(cv::Rect(4, 44, 16, 16)).copyTo(third(cv::Rect(4, 44, 16, 16)));
  ASSERT_TRUE(cv::imwrite(p, third));
  const std::string row = Rank({"--subject", "auto", "--figures", "laplace", p}).out;
  int x = 0, y = 0, w = 0, h = 0;
  ASSERT_EQ(std::sscanf(row.c_str() + row.find(".png,") + 5, "%*[^,],%d %d %d %d salient,", &x,
                        &y, &w, &h), 4) << row;
  EXPECT_TRUE(cv::Rect(x, y, w, h).contains({66, 22}) && !cv::Rect(x, y, w, h).contains({12, 52}))
      << row;
}

// A missing or unreadable cascade would quietly rate the centre instead;
// the portrait enlarged past twice the search copy's size is halved before
// the search, and its face must still come back in its own pixels.
TEST(FocusrankSubject, FindsTheFaceInAPortrait) {
  const char* root = std::getenv("FOCUSRATE_PHOTOS");
  const std::string portrait =
      std::string(root && *root ? root : "/var/tmp/focusrate-photos/root") +
      "/usr/share/doc/opencv-doc/examples/data/messi5.jpg";
  if (!fs::exists(portrait)) GTEST_SKIP() << "no photo at " << portrait;
  ScratchDir scratch;
  const std::string large = scratch / "large.png";
  cv::Mat enlarged;
  cv::resize(cv::imread(portrait), enlarged, cv::Size(), 3, 3, cv::INTER_CUBIC);
  ASSERT_TRUE(cv::imwrite(large, enlarged));
  for (const auto& [path, scale] : {std::pair<std::string, int>{portrait, 1}, {large, 3}}) {
    const ProcessResult run = Rank({"--subject", "faces", "--figures", "laplace", path});
    int x = 0, y = 0, w = 0, h = 0;
    ASSERT_EQ(std::sscanf(run.out.c_str() + run.out.find(path + ",") + path.size() + 1,
                          "%*[^,],%d %d %d %d face,", &x, &y, &w, &h), 4) << run.out;
    // Between the player's eyes and nose, by eye.
    EXPECT_TRUE(cv::Rect(x, y, w, h).contains({240 * scale, 112 * scale})) << run.out;
  }
}

}  // namespace
