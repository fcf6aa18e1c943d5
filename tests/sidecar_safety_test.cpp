// focusrank --xmp in a folder that may be hostile: sidecars that are links,
// FIFOs or not XMP, packets that rebind standard prefixes, two inputs with
// one sidecar, a folder we may not write, and two runs at once.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "cli_test_util.h"
#include "test_images.h"

namespace {

// rdf:Description attributes inside a whole packet.
std::string Packet(const std::string& attributes) {
  return "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF "
         "xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'><rdf:Description rdf:about='' " +
         attributes + "/></rdf:RDF></x:xmpmeta>";
}

// A JPEG whose own XMP is packet (an APP1 segment right after SOI).
void WriteJpegWithXmp(const std::string& path, const cv::Mat& pixels, const std::string& packet) {
  std::vector<uchar> jpeg;
  cv::imencode(".jpg", pixels, jpeg);
  const std::string body = std::string("http://ns.adobe.com/xap/1.0/", 29) + packet;
  const std::string length{static_cast<char>((body.size() + 2) >> 8),
                           static_cast<char>((body.size() + 2) & 0xFF)};
  WriteBytes(path, std::string(jpeg.begin(), jpeg.begin() + 2) + "\xFF\xE1" + length + body +
                       std::string(jpeg.begin() + 2, jpeg.end()));
}

class SidecarSafety : public testing::Test {
 protected:
  // Unprivileged runs must be able to reach the scratch folder.
  void SetUp() override { std::filesystem::permissions(dir_ / "", std::filesystem::perms(0755)); }
  ProcessResult Shell(const std::string& line) { return ShellIn(dir_ / "", line); }
  ScratchDir dir_;
};

struct Hostile {
  const char* setup;  ///< makes NAME.png.xmp
  const char* note;
};
// 0.jpg's own XMP and 6's sidecar bind xmp to another URI; 8's real rating
// must still be written in the real namespace after them.
constexpr Hostile kHostile[] = {
    {"", "written"},
    {"ln -s outside", "sidecar not written: symbolic link"},
    {"ln -s nowhere", "sidecar not written: symbolic link"},
    {"mkfifo", "sidecar not written: not a regular file"},
    {"mkdir", "sidecar not written: not a regular file"},
    {"cp root.xml", "sidecar not written: not XMP"},
    {"cp xmp.xml", "sidecar not written: foreign namespace for prefix xmp"},
    {"cp own.xml", "sidecar not written: foreign namespace for prefix focusrate"},
    {"exiftool -q -XMP-xmp:Rating=3 -o", "written"}};

TEST_F(SidecarSafety, HostileSidecarsAreLeftByteForByteAndNoPacketChangesAnother) {
  WriteBytes(dir_ / "root.xml", "<root><child/></root>");
  WriteBytes(dir_ / "xmp.xml", Packet("xmlns:xmp='http://example.org/x/' xmp:Rating='5'"));
  WriteBytes(dir_ / "own.xml", Packet("xmlns:focusrate='http://example.org/f/' focusrate:Pick='1'"));
  WriteBytes(dir_ / "outside", "secret");
  WriteJpegWithXmp(dir_ / "0.jpg", MakeNoise(32, 24, 1, 3), ReadBytes(dir_ / "xmp.xml"));
  std::string setup = "true", expected;
  for (int i = 0; i < 9; ++i) {
    const std::string image = std::to_string(i) + (i ? ".png" : ".jpg");
    if (i > 0) {
      ASSERT_TRUE(cv::imwrite(dir_ / image, MakeNoise(32, 24, i, 3)));
    }
    if (*kHostile[i].setup) setup += std::string(" && ") + kHostile[i].setup + " " + image + ".xmp";
    expected += image + " " + kHostile[i].note + "\n";
  }
  ASSERT_EQ(Shell(setup).status, 0);
  const std::string files =
      "ls -ld --time-style=+%s.%N [1-7].png.xmp && cat [5-7].png.xmp outside && test ! -e nowhere";
  const ProcessResult before = Shell(files);
  EXPECT_EQ("1\n" + expected + "3\n",
            Shell("\"$R\" --bursts --xmp 0.jpg [1-8].png > rows.csv; echo $?; "
                  "awk -F, 'NR > 1 {print $1 \" \" $NF}' rows.csv; "
                  "exiftool -q -q -T -XMP-xmp:Rating 8.png.xmp").out);
  const ProcessResult after = Shell(files);
  EXPECT_EQ(after.status, 0);
  EXPECT_EQ(before.out, after.out);
}

}  // namespace
