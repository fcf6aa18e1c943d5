// The camera's AF point as --subject auto's choice after faces: JPEGs whose
// maker notes exiv2 creates (seeded) and, where exiftool writes the tags,
// exiftool fills in, as an independent writer. Each box is worked out by
// hand from the tag values, the turn and the decoded size.
#include <string>
#include <vector>

#include <exiv2/exiv2.hpp>
#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>

#include "batch_runner.h"
#include "cli_test_util.h"
#include "test_images.h"

namespace {

struct Seed {
  const char* key;
  Exiv2::TypeId type;
  const char* value;
};

struct AfCase {
  const char* name;
  std::vector<Seed> seeds;             // written with exiv2, Make among them
  std::vector<std::string> exiftool;   // then written by exiftool, when any
  cv::Size size;                       // of the JPEG as stored
  int scale;                           // --scale
  cv::Rect box;                        // expected, in the decoded upright picture
  std::string how;                     // expected
};

const Seed kCanon = {"Exif.Image.Make", Exiv2::asciiString, "Canon"};
const Seed kPanasonic = {"Exif.Image.Make", Exiv2::asciiString, "Panasonic"};
const Seed kOlympus = {"Exif.Image.Make", Exiv2::asciiString, "OM Digital Solutions"};
const Seed kNikon = {"Exif.Image.Make", Exiv2::asciiString, "NIKON CORPORATION"};
const Seed kFujifilm = {"Exif.Image.Make", Exiv2::asciiString, "FUJIFILM"};
const Seed kSony = {"Exif.Image.Make", Exiv2::asciiString, "SONY"};
// Nikon's AFInfo2, version 0100, all zero: exiftool fills in its fields.
const Seed kNikonAfInfo = {"Exif.Nikon3.AFInfo2", Exiv2::undefined,
                           "48 49 48 48 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0"};
const Seed kSonyLocation = {"Exif.Sony1.0x2027", Exiv2::unsignedShort, "0 0 0 0"};
const Seed kFujiPixel = {"Exif.Fujifilm.0x1023", Exiv2::unsignedShort, "0 0"};
Seed Turned(const char* orientation) {
  return {"Exif.Image.Orientation", Exiv2::unsignedShort, orientation};
}

const std::vector<AfCase> kCases = {
    // AFInfo2 (which exiftool does not write) of an EOS, y upwards, 3 points
    // in a 6000x4000 AF frame: 0 (-1500,+1000) in focus, 0 and 2 selected;
    // the JPEG is a tenth of that frame. Point 0's 300x300 area at (1500,1000).
    {"CanonInFocusResized",
     {kCanon, {"Exif.Image.Model", Exiv2::asciiString, "Canon EOS 5D Mark III"},
      {"Exif.Canon.AFInfo", Exiv2::unsignedShort,
       "46 2 3 3 6000 4000 6000 4000 300 300 300 300 300 300 64036 0 1500 1000 0 64536 1 5 0"}},
     {}, {600, 400}, 1, {135, 85, 30, 30}, "af-point"},
    // (0.25, 0.75) of the stored 200x100 frame, turned by 6 to 100x200: at
    // (25, 50), a 40-pixel square (a fifth of 200).
    {"PanasonicTurned",
     {kPanasonic, Turned("6"),
      {"Exif.Panasonic.AFPointPosition", Exiv2::unsignedRational, "0/1 0/1"}},
     {"-Panasonic:AFPointPosition=0.25 0.75"}, {200, 100}, 1, {5, 30, 40, 40}, "af-point"},
    // Corners (25%, 25%) and (75%, 50%) of 160x120.
    {"OlympusArea",
     {kOlympus, {"Exif.OlympusCs.AFPointSelected", Exiv2::signedRational, "0/1 0/1 0/1 0/1 0/1"}},
     {"-Olympus:AFPointSelected=(25%,25%) (75%,50%)"}, {160, 120}, 1, {40, 30, 80, 30}, "af-point"},
    // No area selected: all five undefined.
    {"OlympusNone",
     {kOlympus, {"Exif.OlympusCs.AFPointSelected", Exiv2::signedRational, "0/1 0/1 0/1 0/1 0/1"}},
     {"-Olympus:AFPointSelected=n/a"}, {160, 120}, 1, {40, 30, 80, 60}, "center"},
    // The contrast-detect area, 64x48 centred at (160, 360) of 640x480, in
    // a 160x120 JPEG decoded at half size: 8x6 around (20, 45).
    {"NikonContrastDetectHalfScale",
     {kNikon, kNikonAfInfo},
     {"-ContrastDetectAF#=1", "-AFImageWidth=640", "-AFImageHeight=480", "-AFAreaXPosition=160",
      "-AFAreaYPosition=360", "-AFAreaWidth=64", "-AFAreaHeight=48"},
     {160, 120}, 2, {16, 42, 8, 6}, "af-point"},
    // With contrast-detect AF off the area means nothing: the centre.
    {"NikonContrastDetectOff",
     {kNikon, kNikonAfInfo},
     {"-AFImageWidth=640", "-AFImageHeight=480", "-AFAreaXPosition=160", "-AFAreaYPosition=360"},
     {160, 120}, 1, {40, 30, 80, 60}, "center"},
    // (400, 900) of the camera's 1600x1200, which EXIF names; the JPEG is a
    // tenth: (40, 90), a 32-pixel square.
    {"FujifilmResized",
     {kFujifilm, kFujiPixel},
     {"-FujiFilm:FocusPixel=400 900", "-ExifImageWidth=1600", "-ExifImageHeight=1200"},
     {160, 120}, 1, {24, 74, 32, 32}, "af-point"},
    // A point near the corner, (4, 4), keeps the part of its square inside.
    {"FujifilmCornerClipped",
     {kFujifilm, kFujiPixel},
     {"-FujiFilm:FocusPixel=40 40", "-ExifImageWidth=1600", "-ExifImageHeight=1200"},
     {160, 120}, 1, {0, 0, 20, 20}, "af-point"},
    // (80, 60) of 320x240 turned by 3 (upside down): (120, 90).
    {"SonyUpsideDown",
     {kSony, Turned("3"), kSonyLocation},
     {"-Sony:FocusLocation=320 240 80 60"}, {160, 120}, 1, {104, 74, 32, 32}, "af-point"},
    // Right of the frame: not a point; a flat picture shows nothing salient.
    {"SonyOutOfFrame",
     {kSony, kSonyLocation},
     {"-Sony:FocusLocation=320 240 400 60"}, {160, 120}, 1, {40, 30, 80, 60}, "center"},
};

void PrintTo(const AfCase& c, std::ostream* out) { *out << c.name; }

class AfPointTest : public testing::TestWithParam<AfCase> {};

TEST_P(AfPointTest, AutoRatesTheRecordedPoint) {
  const AfCase& c = GetParam();
  const ScratchDir dir;
  const std::string path = dir / "shot.jpg";
  ASSERT_TRUE(cv::imwrite(path, MakeUniform(c.size.width, c.size.height, 128, 3)));
  {
    const auto image = Exiv2::ImageFactory::open(path);
    for (const Seed& seed : c.seeds) {
      const auto value = Exiv2::Value::create(seed.type);
      ASSERT_EQ(value->read(seed.value), 0) << seed.key;
      image->exifData()[seed.key] = *value;
    }
    image->writeMetadata();
  }
  if (!c.exiftool.empty()) {
    std::vector<std::string> args = {"/usr/bin/exiftool", "-q", "-overwrite_original"};
    args.insert(args.end(), c.exiftool.begin(), c.exiftool.end());
    args.push_back(path);
    const ProcessResult wrote = RunProcess(args);
    ASSERT_EQ(wrote.status, 0) << wrote.err;
  }
  RateSettings settings;
  settings.subject = SubjectMode::Auto;
  settings.decode.scale = c.scale;
  const RatedImage rated = RateFile(path, settings);
  ASSERT_EQ(rated.status, RateStatus::Ok);
  EXPECT_EQ(rated.subjectHow, c.how);
  EXPECT_EQ(rated.subject, c.box);
}

INSTANTIATE_TEST_SUITE_P(Makers, AfPointTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<AfCase>& c) { return c.param.name; });

}  // namespace
