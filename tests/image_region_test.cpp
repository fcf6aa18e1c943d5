// --roi texts and the rectangles they cut from images of various sizes.
#include <gtest/gtest.h>

#include <tuple>

#include "image_region.h"

using namespace focusrate;

namespace {

TEST(ImageRegion, ClipsBoxesToTheImageCentresByPercentRefusesEmptyOrMalformed) {
  EXPECT_EQ(RegionIn(RegionChoice(), cv::Size(13, 7)), cv::Rect(0, 0, 13, 7));  // no region
  // Rectangles worked out by hand. Boxes run off the right and bottom, are
  // larger than the image, start just past its edge or keep its last pixel;
  // centred ones round half up and are never less than one pixel.
  const std::tuple<const char*, cv::Size, cv::Rect> cases[] = {
      {"10,20,30,40", {100, 100}, {10, 20, 30, 40}}, {"90,80,30,40", {100, 100}, {90, 80, 10, 20}},
      {"0,0,1000,1000", {64, 48}, {0, 0, 64, 48}},   {"100,0,5,5", {100, 100}, {}},
      {"0,100,5,5", {100, 100}, {}},                 {"99,99,5,5", {100, 100}, {99, 99, 1, 1}},
      {"center:50", {100, 60}, {25, 15, 50, 30}},    {"center:50", {101, 61}, {25, 15, 51, 31}},
      {"center:100", {7, 3}, {0, 0, 7, 3}},          {"center:33.3", {3, 3}, {1, 1, 1, 1}},
      {"center:1", {10, 10}, {4, 4, 1, 1}},          {"center:0.5", {1000, 400}, {497, 199, 5, 2}},
      {"center:12.25", {400, 100}, {175, 44, 49, 12}}};
  RegionChoice region;
  for (const auto& [text, image, expected] : cases) {
    ASSERT_TRUE(ParseRegion(text, region)) << text;
    EXPECT_EQ(RegionIn(region, image), expected) << text << " in " << image;
  }
  for (const char* text :
       {"0,0,0,5", "0,0,5,0", "-1,0,5,5", "1,2,3", "1,2,3,4,5", "1,,3,4", " 1,2,3,4", "1,2,3,4 ",
        "a,b,c,d", "center:0", "center:100.5", "center:", "center:-5", "center:1e2",
        "center:5%", "centre:50", "", "1,2,3,99999999999999999"})
    EXPECT_FALSE(ParseRegion(text, region)) << text;
}

}  // namespace
