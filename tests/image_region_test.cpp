// --roi texts and the rectangles they cut from images of various sizes.
#include <gtest/gtest.h>

#include "image_region.h"

namespace {

struct ParseCase {
  const char* text;
  bool parses;
};

constexpr ParseCase kParseCases[] = {
    {"0,0,1,1", true},       {"10,20,30,40", true},     {"center:50", true},
    {"center:100", true},    {"center:0.5", true},      {"center:12.25", true},
    {"0,0,0,5", false},      {"0,0,5,0", false},        {"-1,0,5,5", false},
    {"1,2,3", false},        {"1,2,3,4,5", false},      {"1,,3,4", false},
    {" 1,2,3,4", false},     {"1,2,3,4 ", false},       {"a,b,c,d", false},
    {"center:0", false},     {"center:100.5", false},   {"center:", false},
    {"center:-5", false},    {"center:1e2", false},     {"center:5%", false},
    {"centre:50", false},    {"", false},               {"1,2,3,99999999999999999", false},
};

TEST(ImageRegionParse, AcceptsBoxesAndCentresRefusesEmptyOrMalformed) {
  for (const ParseCase& c : kParseCases) {
    SCOPED_TRACE(c.text);
    RegionSpec spec;
    EXPECT_EQ(ParseRegion(c.text, spec), c.parses);
  }
}

struct ClipCase {
  const char* text;
  cv::Size image;
  cv::Rect expected;
};

// Expected rectangles worked out by hand.
const ClipCase kClipCases[] = {
    {"10,20,30,40", {100, 100}, {10, 20, 30, 40}},
    {"90,80,30,40", {100, 100}, {90, 80, 10, 20}},    // runs off right and bottom
    {"0,0,1000,1000", {64, 48}, {0, 0, 64, 48}},     // larger than the image
    {"100,0,5,5", {100, 100}, {}},                   // starts just past the right edge
    {"0,100,5,5", {100, 100}, {}},
    {"99,99,5,5", {100, 100}, {99, 99, 1, 1}},
    {"center:50", {100, 60}, {25, 15, 50, 30}},
    {"center:50", {101, 61}, {25, 15, 51, 31}},      // 50.5 and 30.5 round up
    {"center:100", {7, 3}, {0, 0, 7, 3}},
    {"center:1", {10, 10}, {4, 4, 1, 1}},            // never less than one pixel
    {"center:33.3", {3, 3}, {1, 1, 1, 1}},
};

TEST(ImageRegionClip, ClipsToTheImageAndCentresByPercent) {
  for (const ClipCase& c : kClipCases) {
    SCOPED_TRACE(std::string(c.text) + " in " + std::to_string(c.image.width) + "x" +
                 std::to_string(c.image.height));
    RegionSpec spec;
    ASSERT_TRUE(ParseRegion(c.text, spec));
    EXPECT_EQ(RegionIn(spec, c.image), c.expected);
  }
}

TEST(ImageRegionClip, NoRegionIsTheWholeImage) {
  EXPECT_EQ(RegionIn(RegionSpec(), cv::Size(13, 7)), cv::Rect(0, 0, 13, 7));
}

}  // namespace
