// Camera raw and HEIF files against the libraries' own tools: every raw
// rendition has the pixels dcraw_emu writes (or the embedded preview's; at
// 1/2 djpeg -scale's of it), HEIF and AVIF those of heif-convert, sizes from
// headers match, focusrate rates a raw at half size, and cut files get a
// status, never a preview.
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "cli_test_util.h"
#include "dng_writer.h"
#include "image_header.h"
#include "image_input.h"
#include "measures.h"
#include "test_images.h"

using namespace focusrate;

namespace {

// Pixels equal, the rendition names its kind and their size, and the turn
// from the stored frame is the one the file asked for.
void ExpectDecodedAs(const std::string& path, DecodeOptions options, const cv::Mat& expected,
                     const std::string& kind, int turn = 1) {
  const DecodedImage decoded = DecodeImage(path, options);
  EXPECT_EQ(decoded.status, RateStatus::Ok);
  EXPECT_EQ(decoded.orientation, turn);
  EXPECT_TRUE(decoded.image.size() == expected.size() && cv::norm(decoded.image, expected, cv::NORM_INF) == 0)
      << decoded.image.size() << " against " << expected.size();
  const std::string size = std::to_string(expected.cols) + "x" + std::to_string(expected.rows);
  EXPECT_EQ(RenditionText(decoded.rendition), kind + " " + size);
  ImageExtent extent;
  EXPECT_TRUE(ReadImageExtent(path, extent, options));
  EXPECT_EQ(std::to_string(extent.width) + "x" + std::to_string(extent.height), size);
}

// What a tool wrote to out, as cv::imread reads it.
cv::Mat ToolOutput(std::vector<std::string> args, const std::string& out) {
  EXPECT_EQ(RunProcess(args).status, 0) << args[0];
  return cv::imread(out, cv::IMREAD_COLOR);
}

std::string Dng(const ScratchDir& dir, const DngSpec& spec) {
  WriteBytes(dir / "raw.dng", MakeDng(spec));
  return dir / "raw.dng";
}

struct RawCase { const char* cfa; int orientation; bool jpegPreview; int width, height; };
constexpr RawCase kRaws[] = {{"RGGB", 1, true, 96, 64}, {"GBRG", 6, true, 97, 65},
                             {"BGGR", 8, false, 90, 71}};

TEST(RawDecoding, RenditionsHaveDcrawEmusPixelsOrThePreviewsAndFocusrateRatesHalf) {
  ScratchDir dir;
  for (const RawCase& c : kRaws) {
    SCOPED_TRACE(c.cfa);
    DngSpec spec{MakeSoftBlobs(c.width, c.height, 3, 3), c.cfa, c.orientation, cv::Mat(), c.jpegPreview};
    cv::resize(spec.scene, spec.preview, cv::Size(c.width / 2, c.height / 3));
    const std::string dng = Dng(dir, spec), ppm = dir / "out.ppm";
    const cv::Mat half = ToolOutput({"/usr/bin/dcraw_emu", "-h", "-w", "-o", "1", "-Z", ppm, dng}, ppm);
    const cv::Mat full = ToolOutput({"/usr/bin/dcraw_emu", "-w", "-o", "1", "-Z", ppm, dng}, ppm);
    ExpectDecodedAs(dng, {RawRendition::Half}, half, "half", c.orientation);
    ExpectDecodedAs(dng, {RawRendition::Full}, full, "full", c.orientation);
    // At 1/2: djpeg -scale of the preview, else the half size area-resized.
    cv::Mat preview = half, reduced;
    cv::resize(half, reduced, cv::Size((half.cols + 1) / 2, (half.rows + 1) / 2), 0, 0, cv::INTER_AREA);
    if (c.jpegPreview) {
      std::vector<uint8_t> jpeg;
      cv::imencode(".jpg", spec.preview, jpeg);
      WriteBytes(dir / "preview.jpg", std::string(jpeg.begin(), jpeg.end()));
      preview = cv::imdecode(jpeg, cv::IMREAD_COLOR);
      reduced = ToolOutput({"/usr/bin/djpeg", "-scale", "1/2", "-outfile", ppm, dir / "preview.jpg"}, ppm);
      for (cv::Mat* m : {&preview, &reduced})
        if (c.orientation != 1)
          cv::rotate(*m, *m, c.orientation == 6 ? cv::ROTATE_90_CLOCKWISE : cv::ROTATE_90_COUNTERCLOCKWISE);
    }
    const std::string kind = c.jpegPreview ? "preview" : "half";
    ExpectDecodedAs(dng, {RawRendition::Preview}, preview, kind, c.orientation);
    ExpectDecodedAs(dng, {RawRendition::Preview, 2}, reduced, kind, c.orientation);
    EXPECT_EQ(RunProcess({kFocusrate, dng, dir / "out.json"}).status, 0);
    EXPECT_EQ(ReadBytes(dir / "out.json"), ResultFileByHand(ReferenceFigures(half)));
  }
}

// Both previews are equally blurred: only the mosaics tell the sharp one.
// focusrank's rows and sidecars say which rendition it rated, and for
// other files only when reduced (a flat PNG, ranked last).
TEST(RawDecoding, SharpMosaicRanksFirstButNotByItsPreview) {
  ScratchDir dir;
  cv::Mat sharp = MakeNoise(160, 120, 9, 3), blurred, preview;
  cv::GaussianBlur(sharp, blurred, cv::Size(), 4);
  cv::resize(blurred, preview, cv::Size(80, 60));
  WriteBytes(dir / "blurred.dng", MakeDng({blurred, "RGGB", 1, preview}));
  WriteBytes(dir / "sharp.dng", MakeDng({sharp, "RGGB", 1, preview}));
  ASSERT_TRUE(cv::imwrite(dir / "flat.png", MakeUniform(16, 12, 9)));
  const std::vector<std::string> cases[] = {{"--raw=half", "half 80x60"}, {"--raw=full", "full 160x120"},
                                            {"--raw=preview", "preview 80x60"}, {"--scale=1/2", "half 40x30"}};
  for (const std::vector<std::string>& c : cases) {
    SCOPED_TRACE(c[0]);
    std::istringstream rows(RunProcess({kFocusrank, c[0], "--format=jsonl", "--figures=variance_lap", "--sort=variance_lap",
                                        "--xmp", dir / "blurred.dng", dir / "sharp.dng", dir / "flat.png"}).out);
    std::string top, next;
    std::getline(rows, top) && std::getline(rows, next);
    auto figure = [](const std::string& row) { return std::stod(row.substr(row.find("Lap\":") + 5)); };
    const bool preview = c[1].find("preview") == 0;
    EXPECT_NE(top.find(preview ? "blurred.dng" : "sharp.dng"), std::string::npos);  // a tie keeps input order
    EXPECT_TRUE(preview ? figure(top) == figure(next) : figure(top) > 4 * figure(next)) << top << next;
    EXPECT_NE(next.find(",\"status\":\"ok\",\"rendition\":\"" + c[1] + "\""), std::string::npos) << next;
    EXPECT_NE(ReadBytes(dir / "sharp.dng.xmp").find("focusrate:Rendition=\"" + c[1] + "\""), std::string::npos);
    EXPECT_EQ(ReadBytes(dir / "flat.png.xmp").find("focusrate:Rendition=\"image 8x6\"") != std::string::npos,
              c[0] == "--scale=1/2");
  }
}

// HEIF files are made by heif-enc from PNGs, with alpha and at an odd size;
// AVIF needs its AV1 encoder.
TEST(HeifDecoding, PrimaryImageHasHeifConvertsPixelsAndIsFoundByItsBrand) {
  ScratchDir dir;
  const bool av1 = RunProcess({"/usr/bin/heif-enc", "--list-encoders"}).out.find("AVIF encoders:\n- ") != std::string::npos;
  if (!av1) std::cout << "heif-enc has no AV1 encoder: AVIF is not tried\n";
  cv::Mat alpha;
  cv::cvtColor(MakeSoftBlobs(64, 48, 5, 3), alpha, cv::COLOR_BGR2BGRA);
  const std::pair<std::string, cv::Mat> files[] = {
      {"scene.heic", MakeSoftBlobs(101, 67, 4, 3)}, {"alpha.heic", alpha}, {"scene.avif", MakeNoise(80, 60, 2, 3)}};
  for (const auto& [name, image] : files) {
    if (name == "scene.avif" && !av1) continue;
    SCOPED_TRACE(name);
    const std::string heif = dir / name, png = dir / "out.png";
    ASSERT_TRUE(cv::imwrite(png, image));
    ASSERT_EQ(RunProcess({"/usr/bin/heif-enc", "-q", "90", png, "-o", heif}).status, 0);
    const cv::Mat expected = ToolOutput({"/usr/bin/heif-convert", heif, png}, png);
    ExpectDecodedAs(heif, {}, expected, "image");
    std::rename(heif.c_str(), (dir / "unnamed").c_str());
    ExpectDecodedAs(dir / "unnamed", {}, expected, "image");
  }
}

// The old reading of a DNG took IFD0's preview; a cut file must not fall
// back to it. Its header is whole: --max-pixels refuses it from there, by
// the half size (60x40), not the preview's.
TEST(RawHeifDamage, CutFilesCannotBeDecodedButTheirHeadersCanBeRefused) {
  ScratchDir dir;
  const cv::Mat scene = MakeSoftBlobs(120, 80, 6, 3);
  const std::string dng = MakeDng({scene, "RGGB", 1, MakeSoftBlobs(30, 20, 6, 3)});
  const std::string cutDng = dir / "cut.dng", cutHeif = dir / "cut.heic";
  WriteBytes(cutDng, dng.substr(0, dng.size() * 3 / 4));
  ASSERT_TRUE(cv::imwrite(dir / "scene.png", scene));
  ASSERT_EQ(RunProcess({"/usr/bin/heif-enc", dir / "scene.png", "-o", cutHeif}).status, 0);
  WriteBytes(cutHeif, ReadBytes(cutHeif).substr(0, ReadBytes(cutHeif).size() - 100));
  const std::string rows = "path,laplace,variance_lap,tenengrad,gray_level,status\n";
  EXPECT_EQ(RunProcess({kFocusrank, "-q", cutDng, cutHeif}).out,
            rows + cutDng + ",,,,,cannot decode\n" + cutHeif + ",,,,,cannot decode\n");
  EXPECT_EQ(RunProcess({kFocusrank, "-q", "--max-pixels", "2399", cutDng}).out,
            rows + cutDng + ",,,,,too large\n");
}

}  // namespace
