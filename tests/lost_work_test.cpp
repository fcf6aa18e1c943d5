// Nothing lost in silence: every input gets a row or a message, every path
// that loses work or rows fails loudly, and odd names survive JSON Lines.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <opencv2/imgcodecs.hpp>
#include <thread>

#include "focusrank_test_util.h"
#include "process_util.h"
#include "scratch_files.h"
#include "test_images.h"

namespace {

namespace fs = std::filesystem;
const std::string kFocusrate = FOCUSRATE_BINARY_DIR "/bin/focusrate";
const std::string kHeader = "path,laplace,variance_lap,tenengrad,gray_level,status\n";

// Runs a shell line with the programs as $R and $F.
ProcessResult Shell(const std::string& line, const std::string& dir) {
  return RunProcess({"/bin/sh", "-c", "cd \"$0\" && " + line, dir}, "", 60);
}

class LostWork : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(cv::imwrite(dir_ / "a.png", MakeNoise(32, 24, 5, 3)));
    ::setenv("R", kFocusrank.c_str(), 1);
    ::setenv("F", kFocusrate.c_str(), 1);
    // Unprivileged runs must be able to reach the scratch folder.
    fs::permissions(dir_ / "", fs::perms(0755));
  }
  std::string Row(const std::string& path, const char* status) {
    return path + ",,,,," + status + "\n";
  }
  ScratchDir dir_;
  // Root runs the permission cases as nobody; others run them as themselves.
  const std::string asUser_ = ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
};

TEST_F(LostWork, EveryOddInputGetsARowOrAMessage) {
  if (asUser_.empty()) GTEST_SKIP() << "needs root to run as an unprivileged user";
  // An image 2100 folders deep, past the system's path limit.
  int fd = ::open((dir_ / "").c_str(), O_RDONLY | O_DIRECTORY);
  for (const char* name : {"d", "x"}) {
    for (int level = 0; level < (name[0] == 'd' ? 1 : 2100); ++level) {
      ::mkdirat(fd, name, 0755);
      const int next = ::openat(fd, name, O_RDONLY | O_DIRECTORY);
      ::close(fd);
      fd = next;
    }
  }
  ::close(::openat(fd, "deep.png", O_CREAT | O_WRONLY, 0644));
  ::close(fd);
  ASSERT_EQ(0, ::symlink("gone.png", (dir_ / "dangling.png").c_str()));
  ASSERT_EQ(0, ::symlink("loop.png", (dir_ / "loop.png").c_str()));
  ASSERT_EQ(0, ::mkfifo((dir_ / "fifo.png").c_str(), 0644));
  WriteBytes(dir_ / "text.jpg", "not an image\n");
  WriteBytes(dir_ / "huge.png", kHugePng);
  WriteBytes(dir_ / "secret.png", ReadBytes(dir_ / "a.png"));
  ::chmod((dir_ / "secret.png").c_str(), 0600);
  fs::create_directories(dir_ / "closed");  // listable but not searchable
  WriteBytes(dir_ / "closed/b.png", "");
  WriteBytes(dir_ / "closed/notes", "");
  ::chmod((dir_ / "closed").c_str(), 0644);
  const ProcessResult run = Shell(asUser_ +
      "\"$R\" -j2 missing.png dangling.png loop.png fifo.png text.jpg huge.png secret.png closed d",
      dir_ / "");
  Shell("rm -rf d", dir_ / "");  // deeper than the scratch folder's own clean-up reaches
  EXPECT_EQ(1, run.status);
  EXPECT_EQ(kHeader + Row("missing.png", "not found") + Row("dangling.png", "not found") +
                Row("loop.png", "symlink loop") + Row("fifo.png", "not a regular file") +
                Row("text.jpg", "cannot decode") + Row("huge.png", "too large") +
                Row("secret.png", "permission denied") + Row("closed/b.png", "permission denied"),
            run.out);
  EXPECT_NE(std::string::npos, run.err.find("focusrank: closed/notes: cannot examine (Permission denied)\n"));
  EXPECT_NE(std::string::npos, run.err.find("/x/x: cannot examine (File name too long)\n")) << run.err;
}

TEST_F(LostWork, ClosedStandardStreamsFailLoudly) {
  const struct {
    const char* line;
    int status;
    const char* err;
  } cases[] = {
      {"exec \"$R\" a.png >&-", 3, "focusrank: standard output: cannot write (Bad file descriptor)\n"},
      {"exec \"$R\" --files-from - <&-", 1,
       "focusrank: standard input: cannot read list (Bad file descriptor)\n"},
      {"exec \"$F\" a.png /dev/full", 1,
       "focusrate: /dev/full: cannot write result (No space left on device)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const ProcessResult run = Shell(c.line, dir_ / "");
    EXPECT_EQ(c.status, run.status);
    EXPECT_NE(std::string::npos, run.err.find(c.err)) << run.err;
  }
  // The banner's reader going away does not stop the rating.
  Shell("{ sleep 0.3; exec \"$F\" a.png out.json; } | true", dir_ / "");
  EXPECT_NE(std::string::npos, ReadBytes(dir_ / "out.json").find("\"Gray-Level\""));
}

#if !defined(__SANITIZE_ADDRESS__)
// Address space capped so that a 30000 x 30000 image cannot be allocated.
TEST_F(LostWork, AnImageTooBigForMemoryIsOneRowAndTheRunGoesOn) {
  const ProcessResult run = Shell(
      "python3 -c 'import struct, sys, zlib\n"
      "def chunk(t, d): return struct.pack(\">I\", len(d)) + t + d + struct.pack(\">I\", zlib.crc32(t + d))\n"
      "sys.stdout.buffer.write(b\"\\x89PNG\\r\\n\\x1a\\n\" + chunk(b\"IHDR\", struct.pack(\">IIBBBBB\", 30000, 30000, 8, 2, 0, 0, 0))"
      " + chunk(b\"IDAT\", zlib.compress(bytes(1000))) + chunk(b\"IEND\", b\"\"))' > big.png && "
      "ulimit -v 1500000 && exec \"$R\" -j1 a.png big.png a.png",
      dir_ / "");
  EXPECT_EQ(1, run.status);
  // The rows around it are kept: a.png, the failure, a.png again.
  const std::string::size_type big = run.out.find("\nbig.png,,,,,out of memory\n");
  ASSERT_NE(std::string::npos, big) << run.out;
  const std::string before = run.out.substr(kHeader.size(), big + 1 - kHeader.size());
  EXPECT_EQ(0u, before.find("a.png,"));
  EXPECT_EQ(before, run.out.substr(big + 27));
}
#endif

TEST_F(LostWork, AnOutputThatCannotBeReplacedFailsBeforeRating) {
  fs::create_directories(dir_ / "sticky");
  ::chmod((dir_ / "sticky").c_str(), 01777);
  WriteBytes(dir_ / "sticky/out.csv", "old\n");
  if (asUser_.empty()) GTEST_SKIP() << "needs root to act as another user";
  const ProcessResult run = Shell(asUser_ + "\"$R\" -o sticky/out.csv a.png", dir_ / "");
  EXPECT_EQ(3, run.status);
  EXPECT_EQ("focusrank: sticky/out.csv: cannot create (Operation not permitted)\n", run.err);
  EXPECT_EQ("old\n", ReadBytes(dir_ / "sticky/out.csv"));
  // Replacing as root keeps the old owner and mode.
  ::chown((dir_ / "sticky/out.csv").c_str(), 65534, 65534);
  ::chmod((dir_ / "sticky/out.csv").c_str(), 0640);
  EXPECT_EQ(0, Shell("\"$R\" -o sticky/out.csv a.png", dir_ / "").status);
  struct stat st;
  ASSERT_EQ(0, ::stat((dir_ / "sticky/out.csv").c_str(), &st));
  EXPECT_EQ(65534u, st.st_uid);
  EXPECT_EQ(0640u, st.st_mode & 07777);
}

TEST_F(LostWork, SignalsLeaveNoTemporaryFile) {
  std::string list;
  for (int i = 0; i < 20000; ++i) list += "a.png\n";
  WriteBytes(dir_ / "list.txt", list);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(sig);
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::chdir((dir_ / "").c_str());
      ::execl(kFocusrank.c_str(), "focusrank", "-j1", "-o", "out.csv", "--files-from", "list.txt",
              static_cast<char*>(nullptr));
      ::_exit(127);
    }
    auto temps = [&] {
      int n = 0;
      for (const auto& e : fs::directory_iterator(dir_ / "")) n += e.path().extension() == ".tmp";
      return n;
    };
    for (int wait = 0; wait < 2000 && temps() == 0; ++wait)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(1, temps());
    ::kill(pid, sig);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig);
    EXPECT_EQ(0, temps());
  }
}

// Names no JSON reader would take as they are; "-x" also checks that "-o -"
// is standard output and that "-j2" is taken as getopt takes it.
TEST_F(LostWork, JsonLinesHoldEveryNameAndThePathBytes) {
  const std::string names[] = {"ctl\x01\x1f.png", "bad\xff\xfe.png", "q\"uote\\.png", "new\nline.png", "-x.png"};
  std::string expected;
  for (const std::string& name : names) {
    WriteBytes(dir_ / name, ReadBytes(dir_ / "a.png"));
    expected += "'" + name + "' ";
  }
  WriteBytes(dir_ / "list.txt", "a.png\r\n  \r\n");
  const ProcessResult run = Shell(
      "\"$R\" -j2 --format jsonl -o - --files-from list.txt -- *.png > rows.jsonl && "
      "jq -c . rows.jsonl > /dev/null && python3 -c '\n"
      "import base64, json, os, sys\n"
      "rows = [json.loads(l) for l in open(\"rows.jsonl\", \"rb\")]\n"
      "names = {base64.b64decode(r[\"path_bytes\"]) if \"path_bytes\" in r else r[\"path\"].encode() for r in rows}\n"
      "assert all(r[\"status\"] == \"ok\" for r in rows), rows\n"
      "print(len(rows), sorted(names) == sorted(os.fsencode(n) for n in sys.argv[1:]))' a.png " + expected,
      dir_ / "");
  EXPECT_EQ(0, run.status) << run.err;
  EXPECT_EQ("7 True\n", run.out) << run.err;
}

}  // namespace
