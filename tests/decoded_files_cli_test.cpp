// The programs on every generated PNG and JPEG kind and on damaged files:
// figures equal to the literal pipeline on cv::imread's pixels, "cannot
// decode" where it returns no image, "damaged" rows for files cut short.
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>

#include "cli_test_util.h"
#include "encoded_variants.h"
#include "focusrank_test_util.h"
#include "measures.h"
#include "process_util.h"
#include "test_images.h"

namespace {

const std::string kFocusrate = FOCUSRATE_BINARY_DIR "/bin/focusrate";

// What a CSV row holds for a figure: the result file's text, empty for null.
std::string CsvFigure(double figure) {
  const std::string text = FigureByHand(figure);
  return text == "null" ? "" : text;
}

using Row = std::vector<std::string>;

bool CutShortJpeg(const std::string& name) {
  return name.find("jpeg cut") != std::string::npos ||
         name.find("jpeg without its last") != std::string::npos;
}

TEST(DecodedFilesCli, FocusrankRowsFollowTheLiteralPipeline) {
  ScratchDir dir;
  std::vector<EncodedVariant> variants = PngVariants();
  for (const auto& more : {JpegVariants(), DamagedVariants()})
    variants.insert(variants.end(), more.begin(), more.end());
  std::vector<std::string> args = {kFocusrank, "--quiet"};
  for (size_t i = 0; i < variants.size(); ++i) {
    args.push_back(dir / ("image" + std::to_string(i)));
    WriteBytes(args.back(), variants[i].bytes);
  }
  const ProcessResult run = RunProcess(args);
  EXPECT_EQ(run.status, 1);  // damaged and undecodable rows are not "ok"
  // Paths here hold no comma or quote, so each line splits on commas.
  std::vector<Row> rows(1);
  for (char c : run.out) {
    if (c == '\n') rows.emplace_back();
    else if (c == ',') rows.back().emplace_back();
    else if (rows.back().empty()) rows.back().emplace_back(1, c);
    else rows.back().back() += c;
  }
  ASSERT_EQ(rows.size(), variants.size() + 2);  // header, rows, "" after the last break
  for (size_t i = 0; i < variants.size(); ++i) {
    const std::string& name = variants[i].name;
    const Row& row = rows[i + 1];
    ASSERT_EQ(row.size(), 6u) << name;
    const cv::Mat reference = cv::imread(args[i + 2], cv::IMREAD_COLOR);
    if (reference.empty()) {
      EXPECT_EQ(row, (Row{args[i + 2], "", "", "", "", "cannot decode"})) << name;
      continue;
    }
    const FocusFigures f = ReferenceFigures(reference);
    EXPECT_EQ(Row(row.begin() + 1, row.begin() + 5),
              (Row{CsvFigure(f.laplace), CsvFigure(f.varianceLap), CsvFigure(f.tenengrad),
                      CsvFigure(f.grayLevel)}))
        << name;
    if (CutShortJpeg(name) || name.find("damaged") != std::string::npos) {
      EXPECT_EQ(row[5], "damaged") << name;
    } else if (name.find("with") == std::string::npos) {  // intact files
      EXPECT_EQ(row[5], "ok") << name;
    }
  }
}

// focusrate keeps its statuses: a damaged file is rated (exit 0, the literal
// pipeline's figures), a PNG signature followed by garbage is not decoded.
TEST(DecodedFilesCli, FocusrateRatesDamagedFilesAndRefusesGarbage) {
  ScratchDir dir;
  const std::string cut = dir / "cut.jpg", garbage = dir / "garbage.png";
  const std::string jpeg = SmoothJpeg();
  WriteBytes(cut, jpeg.substr(0, jpeg.size() * 3 / 5));
  WriteBytes(garbage, DamagedVariants().back().bytes);
  EXPECT_EQ(RunProcess({kFocusrate, cut, dir / "cut.json"}).status, 0);
  EXPECT_EQ(ReadBytes(dir / "cut.json"),
            ResultFileByHand(ReferenceFigures(cv::imread(cut, cv::IMREAD_COLOR))));
  EXPECT_EQ(RunProcess({kFocusrate, garbage, dir / "garbage.json"}).status, 255);
  const ProcessResult rank = RunProcess({kFocusrank, "--quiet", garbage});
  EXPECT_EQ(rank.out, "path,laplace,variance_lap,tenengrad,gray_level,status\n" + garbage +
                          ",,,,,cannot decode\n");
}

// Other formats go to cv::imread in the plugin, found beside the programs in
// the build tree and once installed; the programs do not link
// opencv_imgcodecs themselves.
TEST(DecodedFilesCli, ProgramsDecodeOtherFormatsThroughThePluginWhereverInstalled) {
  ScratchDir dir;
  const std::string prefix = dir / "prefix";
  ASSERT_EQ(RunProcess({"/usr/bin/env", "cmake", "--install", FOCUSRATE_BINARY_DIR, "--prefix",
                        prefix})
                .status,
            0);
  const cv::Mat image = MakeNoise(40, 30, 3, 3);
  ASSERT_TRUE(cv::imwrite(dir / "image.bmp", image));
  for (const std::string& program : {kFocusrate, prefix + "/bin/focusrate"}) {
    std::remove((dir / "out.json").c_str());
    EXPECT_EQ(RunProcess({program, dir / "image.bmp", dir / "out.json"}).status, 0) << program;
    EXPECT_EQ(ReadBytes(dir / "out.json"), ResultFileByHand(ReferenceFigures(image))) << program;
    EXPECT_EQ(RunProcess({"/usr/bin/ldd", program}).out.find("imgcodecs"), std::string::npos);
  }
}

}  // namespace
