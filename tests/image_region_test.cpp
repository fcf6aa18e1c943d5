// --roi texts and the rectangles they cut from images of various sizes.
#include <gtest/gtest.h>

#include "image_region.h"

namespace {

TEST(ImageRegionParse, AcceptsBoxesAndCentresRefusesEmptyOrMalformed) {
  RegionSpec spec;
  for (const char* text : {"0,0,1,1", "10,20,30,40", "center:50", "center:100", "center:0.5",
                           "center:12.25"})
    EXPECT_TRUE(ParseRegion(text, spec)) << text;
  for (const char* text :
       {"0,0,0,5", "0,0,5,0", "-1,0,5,5", "1,2,3", "1,2,3,4,5", "1,,3,4", " 1,2,3,4", "1,2,3,4 ",
        "a,b,c,d", "center:0", "center:100.5", "center:", "center:-5", "center:1e2",
        "center:5%", "centre:50", "", "1,2,3,99999999999999999"})
    EXPECT_FALSE(ParseRegion(text, spec)) << text;
}

TEST(ImageRegionClip, ClipsToTheImageAndCentresByPercent) {
  EXPECT_EQ(RegionIn(RegionSpec(), cv::Size(13, 7)), cv::Rect(0, 0, 13, 7));  // no region
  struct {
    const char* text;
    cv::Size image;
    cv::Rect expected;  // worked out by hand
  } const cases[] = {
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
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text << " in " << c.image);
    RegionSpec spec;
    ASSERT_TRUE(ParseRegion(c.text, spec));
    EXPECT_EQ(RegionIn(spec, c.image), c.expected);
  }
}

}  // namespace
