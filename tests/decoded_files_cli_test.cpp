// focusrank on every generated PNG, JPEG and WebP kind and on damaged files:
// figures equal to the literal pipeline on cv::imread's pixels, "cannot
// decode" where it returns no image, "damaged" rows for damaged files.
// focusrate's statuses for damaged and undecodable files are in
// focusrate_cli_test; here focusrate and focusrank find the plugin.
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>

#include "cli_test_util.h"
#include "encoded_variants.h"
#include "measures.h"
#include "test_images.h"

using namespace focusrate;

namespace {


// The literal pipeline's four figures as a CSV row holds them, "" for null.
std::string CsvFigures(const cv::Mat& image) {
  const FocusFigures f = ReferenceFigures(image);
  std::string text;
  for (double figure : {f.laplace, f.varianceLap, f.tenengrad, f.grayLevel})
    text += "," + (FigureByHand(figure) == "null" ? "" : FigureByHand(figure));
  return text;
}

TEST(DecodedFilesCli, FocusrankRowsFollowTheLiteralPipeline) {
  ScratchDir dir;
  std::vector<std::string> args = {kFocusrank, "--quiet"};
  std::string expected = "path,laplace,variance_lap,tenengrad,gray_level,status\n";
  for (const EncodedVariant& v : EncodedVariants()) {
    args.push_back(dir / ("image" + std::to_string(args.size())));
    WriteBytes(args.back(), v.bytes);
    const cv::Mat reference = cv::imread(args.back(), cv::IMREAD_COLOR);
    expected += args.back() + (reference.empty() ? ",,,,,cannot decode\n"
                               : CsvFigures(reference) + (v.damaged ? ",damaged\n" : ",ok\n"));
  }
  const ProcessResult run = RunProcess(args);
  EXPECT_EQ(run.status, 1);  // damaged and undecodable rows are not "ok"
  EXPECT_EQ(run.out, expected);
}

// Other formats go to cv::imread in the plugin, found beside the programs in
// the build tree and once installed; the programs do not link
// opencv_imgcodecs, LibRaw or libheif themselves.
TEST(DecodedFilesCli, ProgramsDecodeOtherFormatsThroughThePluginWhereverInstalled) {
  ScratchDir dir;
  const std::string prefix = dir / "prefix";
  ASSERT_EQ(RunProcess({"/usr/bin/env", "cmake", "--install", FOCUSRATE_BINARY_DIR, "--prefix",
                        prefix}).status, 0);
  const cv::Mat image = MakeNoise(40, 30, 3, 3);
  ASSERT_TRUE(cv::imwrite(dir / "image.bmp", image));
  for (const std::string& program : {kFocusrate, prefix + "/bin/focusrate"}) {
    std::remove((dir / "out.json").c_str());
    EXPECT_EQ(RunProcess({program, dir / "image.bmp", dir / "out.json"}).status, 0) << program;
    EXPECT_EQ(ReadBytes(dir / "out.json"), ResultFileByHand(ReferenceFigures(image))) << program;
    for (const char* plugged : {"imgcodecs", "libraw", "libheif"})
      EXPECT_EQ(RunProcess({"/usr/bin/ldd", program}).out.find(plugged), std::string::npos) << plugged;
  }
}

}  // namespace
