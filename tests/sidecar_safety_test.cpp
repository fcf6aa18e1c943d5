// focusrank --xmp in a folder that may be hostile: sidecars that are links,
// FIFOs or not XMP, packets that rebind standard prefixes, two inputs with
// one sidecar, a folder we may not write, and two runs at once.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "cli_test_util.h"
#include "test_images.h"

using namespace focusrate;

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
// 0.jpg's own XMP and 6's sidecar bind xmp to another URI; 10's real rating
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
    {"truncate -s 1T", "sidecar not written: cannot read (File too large)"},
    {"cp slash.xml", "sidecar not written: cannot keep namespace http://example.org/s"},
    {"exiftool -q -XMP-xmp:Rating=3 -o", "written"}};

TEST_F(SidecarSafety, HostileSidecarsAreLeftByteForByteAndNoPacketChangesAnother) {
  WriteBytes(dir_ / "root.xml", "<root><child/></root>");
  WriteBytes(dir_ / "xmp.xml", Packet("xmlns:xmp='http://example.org/x/' xmp:Rating='5'"));
  WriteBytes(dir_ / "own.xml",
             Packet("xmlns:focusrate='http://example.org/f/' focusrate:Pick='1'"));
  WriteBytes(dir_ / "slash.xml", Packet("xmlns:s='http://example.org/s' s:Mark='1'"));
  WriteBytes(dir_ / "outside", "secret");
  WriteJpegWithXmp(dir_ / "0.jpg", MakeNoise(32, 24, 1, 3), ReadBytes(dir_ / "xmp.xml"));
  std::string setup = "true", expected;
  for (int i = 0; i < 11; ++i) {
    const std::string image = std::to_string(i) + (i ? ".png" : ".jpg");
    if (i > 0) {
      ASSERT_TRUE(cv::imwrite(dir_ / image, MakeNoise(32, 24, i, 3)));
    }
    if (*kHostile[i].setup) setup += std::string(" && ") + kHostile[i].setup + " " + image + ".xmp";
    expected += image + " " + kHostile[i].note + "\n";
  }
  ASSERT_EQ(Shell(setup).status, 0);
  const std::string files =
      "ls -ld --time-style=+%s.%N [1-9].png.xmp && cat [5-79].png.xmp outside && test ! -e nowhere";
  const ProcessResult before = Shell(files);
  const ProcessResult run =
      Shell("\"$R\" --bursts --xmp 0.jpg [1-9].png 10.png > rows.csv; echo $?; "
            "awk -F, 'NR > 1 {print $1 \" \" $NF}' rows.csv; "
            "exiftool -q -q -T -XMP-xmp:Rating 10.png.xmp; "
            // Marks are looked for in the image's own XMP too.
            "\"$R\" --bursts --xmp --label-picks red 0.jpg | awk -F, 'NR > 1 {print $NF}'");
  const std::string inImage = "sidecar not written: foreign namespace for prefix xmp in 0.jpg\n";
  EXPECT_EQ("1\n" + expected + "3\n" + inImage, run.out);
  const ProcessResult after = Shell(files);
  EXPECT_EQ(after.status, 0);
  EXPECT_EQ(before.out, after.out);
}

TEST_F(SidecarSafety, TwoInputsWithOneSidecarWriteItForNeither) {
  ASSERT_TRUE(cv::imwrite(dir_ / "a.png", MakeNoise(32, 24, 1, 3)));
  const ProcessResult run = Shell(
      "mkdir d && for n in 1 2 3 4 5 6; do cp a.png d/IMG_$n.jpg; cp a.png d/IMG_$n.png; done && "
      "ln -s d link && echo '<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"/>' > d/IMG_5.xmp && "
      "ln d/IMG_5.xmp d/IMG_6.xmp && \"$R\" --xmp --xmp-name replace d/IMG_1.jpg d/IMG_1.png "
      "d/IMG_2.jpg link/IMG_2.png d/./IMG_3.jpg d/IMG_3.png d/IMG_4.jpg d/IMG_5.jpg d/IMG_6.jpg "
      "> rows.csv; echo $?; awk -F, 'NR > 1 {print $1 \" \" $NF}' rows.csv; ls d | grep xmp");
  EXPECT_EQ("1\n"
            "d/IMG_1.jpg sidecar not written: shared with d/IMG_1.png\n"
            "d/IMG_1.png sidecar not written: shared with d/IMG_1.jpg\n"
            "d/IMG_2.jpg sidecar not written: shared with link/IMG_2.png\n"
            "link/IMG_2.png sidecar not written: shared with d/IMG_2.jpg\n"
            "d/./IMG_3.jpg sidecar not written: shared with d/IMG_3.png\n"
            "d/IMG_3.png sidecar not written: shared with d/./IMG_3.jpg\n"
            "d/IMG_4.jpg written\n"
            "d/IMG_5.jpg sidecar not written: shared with d/IMG_6.jpg\n"
            "d/IMG_6.jpg sidecar not written: shared with d/IMG_5.jpg\n"
            "IMG_4.xmp\nIMG_5.xmp\nIMG_6.xmp\n",
            run.out);
}

// A dry run says what the real run would: "would write" only where it could.
// Root runs it as nobody, so that the folder's permissions apply.
TEST_F(SidecarSafety, ADryRunWouldWriteOnlyWhereTheRunCan) {
  ASSERT_TRUE(cv::imwrite(dir_ / "a.png", MakeNoise(32, 24, 1, 3)));
  // Another user's sidecar in a sticky folder: only when root can make one.
  const bool root = ::geteuid() == 0;
  const std::string as = root ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
  const ProcessResult run = Shell(
      "mkdir shut open sticky && for d in shut open sticky; do cp a.png $d; done && "
      "chmod 555 shut && chmod 777 open && chmod 1777 sticky && "
      "echo \"<x:xmpmeta xmlns:x='adobe:ns:meta/'/>\" > sticky/a.png.xmp && "
      "for dry in --dry-run ''; do " + as +
      "\"$R\" --xmp $dry shut/a.png open/a.png sticky/a.png > rows.csv; echo $?; "
      "awk -F, 'NR > 1 {print $NF}' rows.csv; done; ls shut open");
  const std::string sticky = "sidecar not written: cannot replace (Operation not permitted)";
  EXPECT_EQ("1\nsidecar not written: cannot replace (Permission denied)\nwould write\n" +
                (root ? sticky : "would write") +
                "\n1\nsidecar not written: cannot replace (Permission denied)\nwritten\n" +
                (root ? sticky : "written") + "\nopen:\na.png\na.png.xmp\n\nshut:\na.png\n",
            run.out);
}

// Two runs over one folder at once, one labelling picks and the other
// rejecting frames: each sidecar must end up with both runs' marks.
TEST_F(SidecarSafety, TwoRunsAtOnceLoseNoMark) {
  constexpr int kPairs = 30;
  for (int pair = 0; pair < kPairs; ++pair) {
    for (int frame = 0; frame < 2; ++frame) {
      cv::Mat pixels = MakeSoftBlobs(48, 32, pair, 3) * 0.8 + MakeNoise(48, 32, pair, 3) * 0.2;
      if (frame == 1) cv::GaussianBlur(pixels, pixels, cv::Size(), 2);
      const std::string path =
          dir_ / (std::to_string(100 + pair) + "-" + std::to_string(frame) + ".png");
      ASSERT_TRUE(cv::imwrite(path, pixels));
      const timespec time = {1700000000 + pair * 10 + frame, 0}, times[2] = {time, time};
      ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }
  }
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    const ProcessResult run = Shell(
        "rm -f *.xmp; run=\"$R --bursts --xmp -j1\"; ($run --label-picks red . > labels.csv; "
        "echo $?) & $run --reject-below 0.99 . > rejects.csv; echo $?; wait; "
        "grep -c 'written (label Red)' labels.csv; grep -c 'written (rating -1)' rejects.csv; "
        "exiftool -q -q -T -XMP-xmp:Label -XMP-xmp:Rating -ext xmp . | sort | uniq -c; "
        "ls -a | grep -c tmp");
    EXPECT_EQ("0\n0\n30\n30\n     30 -\t-1\n     30 Red\t-\n0\n", run.out);
  }
}

}  // namespace
