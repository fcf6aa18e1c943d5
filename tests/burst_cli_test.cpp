// focusrank --bursts and --xmp run as a process on generated frames with
// EXIF capture times: groups, relative figures and picks against the
// reference measures, and sidecars read back by exiftool.
#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <exiv2/exiv2.hpp>
#include <filesystem>
#include <map>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <sstream>

#include "cli_test_util.h"
#include "jzon.h"
#include "measures.h"
#include "test_images.h"

using namespace focusrate;

namespace {

struct Frame {
  const char *name, *time, *subSeconds;
  int scene;     ///< 0: not an image
  double sigma;  ///< blur
};
// Shot on 2024-05-01. 05.jpg has no EXIF time; its file time says 10:00:04.
constexpr Frame kFrames[] = {
    {"01.jpg", "10:00:00", "90", 1, 1.2}, {"02.jpg", "10:00:01", "2", 1, 0},
    {"03.jpg", "10:00:02", "85", 1, 2.5},  // 1.65 s after 02
    {"04.jpg", "10:00:03", "50", 2, 0},    // within the gap, but another scene
    {"05.jpg", nullptr, nullptr, 2, 1.5},  {"06.jpg", nullptr, nullptr, 0, 0},
    {"07.jpg", "10:00:05", "80", 2, 1},
    {"08.jpg", "10:00:07", "90", 2, 0}};  // 2.1 s after 07, 2 by whole seconds

std::time_t LocalTime(const char* clock) {
  std::tm tm = {};
  std::sscanf(clock, "%d:%d:%d", &tm.tm_hour, &tm.tm_min, &tm.tm_sec);
  tm.tm_year = 124, tm.tm_mon = 4, tm.tm_mday = 1, tm.tm_isdst = -1;
  return std::mktime(&tm);
}

using Members = std::map<std::string, std::string>;  // "" for null

// JSON objects (JSON Lines rows, or exiftool's array) by their file's name.
std::map<std::string, Members> ByName(std::string text, const char* pathMember) {
  if (text.empty() || text[0] != '[') {
    for (char& c : text) c = c == '\n' ? ',' : c;
    text = "[" + text + "]";
  }
  Jzon::Array all;
  Jzon::TextParser parser(all, text);
  EXPECT_TRUE(parser.Run()) << parser.ErrorMessage();
  std::map<std::string, Members> objects;
  for (unsigned i = 0; i < all.ChildCount(); ++i) {
    Members members;
    for (const auto& [name, node] : all.ChildAt(i).AsObject())
      members[name] = node.IsNull() ? "" : node.IsArray() ? std::to_string(node.ChildCount())
                                                           : node.ToString();
    objects[std::filesystem::path(members[pathMember]).filename().string()] = members;
  }
  return objects;
}

// Eight frames of two generated scenes, blurred by different amounts, made
// once with their capture times written by exiv2.
class BurstFolder : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new ScratchDir;
    for (const Frame& f : kFrames) {
      const std::string path = *dir_ / f.name;
      if (f.scene == 0) {
        WriteBytes(path, "not an image");
        continue;
      }
      cv::Mat frame = MakeSoftBlobs(160, 120, f.scene, 3) * 0.8 + MakeNoise(160, 120, 7, 3) * 0.2;
      if (f.sigma > 0) cv::GaussianBlur(frame, frame, cv::Size(), f.sigma);
      ASSERT_TRUE(cv::imwrite(path, frame));
      figures_[f.name] = ReferenceFigures(cv::imread(path), FigureSet::All);
      if (!f.time) {
        const timespec times[2] = {{LocalTime("10:00:04"), 0}, {LocalTime("10:00:04"), 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        continue;
      }
      const auto image = Exiv2::ImageFactory::open(path);
      image->exifData()["Exif.Photo.DateTimeOriginal"] = std::string("2024:05:01 ") + f.time;
      image->exifData()["Exif.Photo.SubSecTimeOriginal"] = f.subSeconds;
      image->writeMetadata();
    }
  }
  static void TearDownTestSuite() { delete dir_; }

  // Relative figures and picks worked out from the reference figures.
  static std::map<std::string, Members> Expected(const std::vector<int>& bursts,
                                                 double FocusFigures::*measure) {
    std::map<int, double> best;
    for (size_t k = 0; k < bursts.size(); ++k)
      if (bursts[k])
        best[bursts[k]] = std::max(best[bursts[k]], figures_[kFrames[k].name].*measure);
    std::map<std::string, Members> rows;
    std::map<int, bool> picked;  // a later frame as sharp is no pick
    for (size_t k = 0; k < bursts.size(); ++k) {
      const double figure = figures_[kFrames[k].name].*measure, top = best[bursts[k]];
      const bool pick = bursts[k] && figure == top && !picked[bursts[k]];
      picked[bursts[k]] = picked[bursts[k]] || pick;
      rows[kFrames[k].name] = {{"burst", bursts[k] ? std::to_string(bursts[k]) : ""},
                               {"relative", bursts[k] ? FigureByHand(figure / top) : ""},
                               {"pick", pick ? "1" : "0"}};
    }
    return rows;
  }

  static ScratchDir* dir_;
  static std::map<std::string, FocusFigures> figures_;
};
ScratchDir* BurstFolder::dir_;
std::map<std::string, FocusFigures> BurstFolder::figures_;

TEST_F(BurstFolder, GroupsByTimeAndSceneAlikeForOneOrTwoJobs) {
  const std::tuple<std::vector<std::string>, std::vector<int>, double FocusFigures::*> cases[] = {
      {{"--bursts"}, {1, 1, 1, 2, 2, 0, 3, 4}, &FocusFigures::varianceLapNorm},
      // 07 and 08 are exactly 2.1 s apart, a hair more in binary fractions.
      {{"--bursts=2.1"}, {1, 1, 1, 2, 2, 0, 3, 3}, &FocusFigures::varianceLapNorm},
      {{"--bursts=3", "--sort", "laplace"}, {1, 1, 1, 2, 2, 0, 3, 3}, &FocusFigures::laplace}};
  for (const auto& [options, bursts, measure] : cases) {
    SCOPED_TRACE(testing::PrintToString(options));
    std::vector<std::string> args = {kFocusrank, "--format", "jsonl", "-j1"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(*dir_ / "");
    const ProcessResult one = RunProcess(args);
    args[3] = "-j2";
    EXPECT_EQ(RunProcess(args).out, one.out);
    EXPECT_EQ(one.status, 1);  // 06.jpg
    std::map<std::string, Members> got = ByName(one.out, "path");
    for (auto& [name, row] : got) row = {{"burst", row["burst"]}, {"relative", row["relative"]},
                                         {"pick", row["pick"]}};
    EXPECT_EQ(got, Expected(bursts, measure));
  }
}

// A frame cut short rates high (its grey fill adds edges) but is never
// judged: no relative figure, no pick, no label, no rejection; the sharpest
// frame read whole is the pick.
TEST(BurstDamaged, ADamagedFrameIsNeverThePick) {
  ScratchDir dir;
  const cv::Mat sharp = MakeSoftBlobs(160, 120, 1, 3) * 0.8 + MakeNoise(160, 120, 7, 3) * 0.2;
  cv::Mat soft;
  cv::GaussianBlur(sharp, soft, cv::Size(), 1.5);
  ASSERT_TRUE(cv::imwrite(dir / "1.jpg", sharp) && cv::imwrite(dir / "2.jpg", soft));
  const std::string whole = ReadBytes(dir / "1.jpg");
  WriteBytes(dir / "1.jpg", whole.substr(0, whole.size() * 9 / 10));
  std::map<std::string, Members> rows =
      ByName(RunProcess({kFocusrank, "--format=jsonl", "--bursts", "--xmp", "--dry-run",
                         "--label-picks=green", "--reject-below=0.99", dir / ""}).out, "path");
  for (auto& [name, row] : rows)
    row = {{"status", row["status"]}, {"burst", row["burst"]}, {"relative", row["relative"]},
           {"pick", row["pick"]}, {"sidecar", row["sidecar"]}};
  EXPECT_EQ(rows, (std::map<std::string, Members>{
                      {"1.jpg", {{"status", "damaged"}, {"burst", "1"}, {"relative", ""},
                                 {"pick", "0"}, {"sidecar", "would write"}}},
                      {"2.jpg", {{"status", "ok"}, {"burst", "1"}, {"relative", "1"},
                                 {"pick", "1"}, {"sidecar", "would write (label Green)"}}}}));
}

// Every file of the folder by name.
std::map<std::string, std::string> Files(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    files[entry.path().filename().string()] = ReadBytes(entry.path());
  return files;
}

TEST_F(BurstFolder, SidecarsKeepWhatIsThereAndCarryFiguresRatingsAndLabels) {
  const std::string dir = *dir_ / "";
  ASSERT_EQ(RunProcess({"/usr/bin/exiftool", "-q", "-o", dir + "03.jpg.xmp",
                        "-XMP-dc:Subject=kw1", "-XMP-dc:Subject=kw2", "-XMP-xmp:Rating=3",
                        "-XMP-photoshop:Instructions=keep"}).status, 0);
  WriteBytes(dir + "01.jpg.xmp", "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF");
  const std::map<std::string, std::string> before = Files(dir);
  auto cull = [&](std::vector<std::string> more) {
    std::vector<std::string> args = {kFocusrank, "--format=jsonl", "--bursts", "--xmp",
                                     "--label-picks", "green", "--reject-below", "0.6", dir};
    args.insert(args.end() - 1, more.begin(), more.end());
    return ByName(RunProcess(args).out, "path");
  };
  auto tags = [&] {
    const std::vector<std::string> args = {"/usr/bin/exiftool", "-j", "-G1", "-XMP:all",
                                           "-ext", "xmp", dir};
    return ByName(RunProcess(args).out, "SourceFile");
  };
  const std::map<std::string, Members> expected =
      Expected({1, 1, 1, 2, 2, 0, 3, 4}, &FocusFigures::varianceLapNorm);
  // 03.jpg is to be rejected, but the user rated it.
  ASSERT_LT(std::stod(expected.at("03.jpg").at("relative")), 0.6);

  EXPECT_EQ(cull({"--dry-run"})["02.jpg"]["sidecar"], "would write (label Green)");
  EXPECT_EQ(Files(dir), before);
  EXPECT_EQ(cull({})["01.jpg"]["sidecar"], "sidecar not written: not well-formed XMP");
  std::map<std::string, Members> got = tags();
  for (const Frame& f : kFrames) {
    const std::string name = f.name;
    if (f.scene == 0 || name == "01.jpg") continue;
    SCOPED_TRACE(name);
    const FocusFigures& fig = figures_[name];
    const Members& row = expected.at(name);
    const bool rejected = std::stod(row.at("relative")) < 0.6;
    const Members want = {
        {"XMP-focusrate:Laplace", FigureByHand(fig.laplace)},
        {"XMP-focusrate:VarianceLap", FigureByHand(fig.varianceLap)},
        {"XMP-focusrate:Tenengrad", FigureByHand(fig.tenengrad)},
        {"XMP-focusrate:Burst", row.at("burst")}, {"XMP-focusrate:Pick", row.at("pick")},
        {"XMP-focusrate:GrayLevel", FigureByHand(fig.grayLevel)},
        {"XMP-focusrate:VarianceLapNorm", FigureByHand(fig.varianceLapNorm)},
        {"XMP-focusrate:Relative", row.at("relative")}, {"XMP-focusrate:Brenner", ""},
        {"XMP-xmp:Rating", name == "03.jpg" ? "3" : rejected ? "-1" : ""},
        {"XMP-xmp:Label", row.at("pick") == "1" ? "Green" : ""}};
    Members have;
    for (const auto& [tag, value] : want) have[tag] = got[name + ".xmp"][tag];
    EXPECT_EQ(have, want);
  }
  // What exiftool wrote before survives: two keywords and the instructions.
  EXPECT_EQ(got["03.jpg.xmp"]["XMP-dc:Subject"] + got["03.jpg.xmp"]["XMP-photoshop:Instructions"],
            "2keep");

  cull({"--overwrite-ratings"});
  EXPECT_EQ(RunProcess({kFocusrank, "--xmp", "--xmp-name=replace", "--figures=brenner",
                        dir + "02.jpg"}).status, 0);
  got = tags();
  EXPECT_EQ(got["03.jpg.xmp"]["XMP-xmp:Rating"], "-1");
  EXPECT_EQ(got["02.xmp"]["XMP-focusrate:Laplace"], FigureByHand(figures_["02.jpg"].laplace));
  EXPECT_EQ(got["02.xmp"]["XMP-focusrate:Brenner"], FigureByHand(figures_["02.jpg"].brenner));
  const std::map<std::string, std::string> after = Files(dir);
  for (const char* name : {"01.jpg.xmp", "01.jpg", "02.jpg", "03.jpg", "04.jpg", "05.jpg", "06.jpg",
                           "07.jpg", "08.jpg"})
    EXPECT_EQ(after.at(name), before.at(name)) << name;
}

// Each sidecar's marks and our records of them: "Label Rating SetLabel SetRating", "-" none.
std::map<std::string, std::string> Marks(const std::string& dir) {
  std::map<std::string, std::string> marks;
  for (auto& [name, tags] : ByName(RunProcess({"/usr/bin/exiftool", "-j", "-G1", "-XMP:all", "-ext",
                                               "xmp", dir}).out, "SourceFile")) {
    for (const char* tag : {"XMP-xmp:Label", "XMP-xmp:Rating", "XMP-focusrate:SetLabel",
                            "XMP-focusrate:SetRating"})
      marks[name] += (marks[name].empty() ? "" : " ") + (tags.count(tag) ? tags[tag] : "-");
  }
  return marks;
}

// One burst culled three times: frame f, the sharpest, only comes for the
// second run; the third sets no labels. Before the first, the user rated c
// in the image itself, labelled a in the other naming's sidecar, and an
// older version rejected d without recording it.
TEST(BurstMarks, OursAreRevisedAndTheUsersKeptWhereverTheyAre) {
  ScratchDir dir;
  const std::pair<std::string, double> frames[] = {{"a", 1},   {"b", 0.6}, {"c", 2.5},
                                                   {"d", 3},   {"e", 2},   {"f", 0}};
  auto shoot = [&](size_t k) {  // a second after the frame before
    const std::string path = dir / (frames[k].first + ".jpg");
    cv::Mat frame = MakeSoftBlobs(160, 120, 1, 3) * 0.8 + MakeNoise(160, 120, 7, 3) * 0.2;
    if (frames[k].second > 0) cv::GaussianBlur(frame, frame, cv::Size(), frames[k].second);
    ASSERT_TRUE(cv::imwrite(path, frame));
    const timespec time = {1700000000 + static_cast<time_t>(k), 0}, times[2] = {time, time};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  };
  for (size_t k = 0; k < 5; ++k) shoot(k);
  ASSERT_EQ(RunProcess({"/usr/bin/exiftool", "-q", "-P", "-overwrite_original", "-XMP-xmp:Rating=2",
                        dir / "c.jpg"}).status, 0);
  ASSERT_EQ(
      RunProcess({"/usr/bin/exiftool", "-q", "-o", dir / "a.xmp", "-XMP-xmp:Label=Red"}).status, 0);
  WriteBytes(dir / "d.jpg.xmp",
             "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/"
             "22-rdf-syntax-ns#'><rdf:Description rdf:about='' xmlns:xmp='http://ns.adobe.com/"
             "xap/1.0/' xmp:Rating='-1'/></rdf:RDF></x:xmpmeta>");
  auto cull = [&](std::vector<std::string> marks) {
    std::vector<std::string> args = {kFocusrank, "--format=jsonl", "--bursts", "--xmp",
                                     "--reject-below", "0.99"};
    args.insert(args.end(), marks.begin(), marks.end());
    args.push_back(dir / "");
    std::map<std::string, std::string> notes;
    for (auto& [name, row] : ByName(RunProcess(args).out, "path")) notes[name] = row["sidecar"];
    return notes;
  };
  const std::map<std::string, std::string> first = cull({"--label-picks", "green"});
  EXPECT_EQ(first, (std::map<std::string, std::string>{
                       {"a.jpg", "written (rating -1, label Red)"},
                       {"b.jpg", "written (label Green)"},
                       {"c.jpg", "written (rating 2)"}, {"d.jpg", "written"},
                       {"e.jpg", "written (rating -1)"}}));
  EXPECT_EQ(Marks(dir / ""), (std::map<std::string, std::string>{
                                 {"a.jpg.xmp", "Red -1 - -1"}, {"a.xmp", "Red - - -"},
                                 {"b.jpg.xmp", "Green - Green -"}, {"c.jpg.xmp", "- 2 - -"},
                                 {"d.jpg.xmp", "- -1 - -"}, {"e.jpg.xmp", "- -1 - -1"}}));
  ASSERT_EQ(RunProcess({"/usr/bin/exiftool", "-q", "-overwrite_original", "-XMP-xmp:Rating=1",
                        dir / "e.jpg.xmp"}).status, 0);
  shoot(5);
  EXPECT_EQ(cull({"--label-picks", "green"})["b.jpg"], "written (rating -1, label removed)");
  const std::map<std::string, std::string> second = Marks(dir / "");
  EXPECT_EQ(second, (std::map<std::string, std::string>{
                        {"a.jpg.xmp", "Red -1 - -1"}, {"a.xmp", "Red - - -"},
                        {"b.jpg.xmp", "- -1 - -1"}, {"c.jpg.xmp", "- 2 - -"},
                        {"d.jpg.xmp", "- -1 - -"}, {"e.jpg.xmp", "- 1 - -"},
                        {"f.jpg.xmp", "Green - Green -"}}));
  for (const auto& [name, note] : cull({})) EXPECT_EQ(note, "unchanged") << name;
  EXPECT_EQ(Marks(dir / ""), second);
}

}  // namespace
