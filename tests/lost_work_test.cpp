// Nothing lost in silence: every input gets a row or a message, every path
// that loses work or rows fails loudly, a reader that leaves early ends the
// run quietly, and odd names survive JSON Lines.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <opencv2/imgcodecs.hpp>

#include "cli_test_util.h"
#include "scratch_files.h"
#include "test_images.h"

using namespace focusrate;

namespace {

namespace fs = std::filesystem;

class LostWork : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(cv::imwrite(dir_ / "a.png", MakeNoise(32, 24, 5, 3)));
    // Unprivileged runs must be able to reach the scratch folder.
    fs::permissions(dir_ / "", fs::perms(0755));
  }
  // Runs a shell line in the scratch folder with the programs as $R, $F and $M.
  ProcessResult Shell(const std::string& line) { return ShellIn(dir_ / "", line); }
  ScratchDir dir_;
};

// Root runs these as nobody, so that permissions apply and another user's
// file in a sticky folder cannot be replaced.
TEST_F(LostWork, AsAnotherUserOddInputsGetTheirRowsAndAnOutputItMayNotReplaceIsKept) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run as an unprivileged user";
  // Missing files, FIFOs, undecodable and huge files give their rows in focusrank_cli_test.
  const ProcessResult run = Shell(
      // An image 2100 folders deep, past the system's path limit.
      "mkdir d closed sticky && (cd d && python3 -c 'import os\nfor _ in range(2100): "
      "os.mkdir(\"x\"); os.chdir(\"x\")\nopen(\"deep.png\", \"w\")') && "
      "ln -s gone.png dangling.png && ln -s loop.png loop.png && cp a.png secret.png && "
      "chmod 600 secret.png && : > closed/b.png && : > closed/notes && mkdir shut && chmod 0 shut && "
      "chmod 644 closed && chmod 1777 sticky && echo old > sticky/out.csv && "
      "nobody='setpriv --reuid=65534 --regid=65534 --clear-groups'; "
      "$nobody \"$R\" -j2 dangling.png loop.png secret.png closed shut d; echo $?; "
      "$nobody \"$R\" -o sticky/out.csv a.png; echo $?; cat sticky/out.csv; "
      // Replacing as root keeps the old owner and mode.
      "chown 65534:65534 sticky/out.csv && chmod 640 sticky/out.csv && "
      "\"$R\" -o sticky/out.csv a.png; echo $?; stat -c '%u %a' sticky/out.csv; rm -rf d");
  EXPECT_EQ("path,laplace,variance_lap,tenengrad,gray_level,status\n"
            "dangling.png,,,,,not found\nloop.png,,,,,symlink loop\n"
            "secret.png,,,,,permission denied\nclosed/b.png,,,,,permission denied\n"
            "1\n3\nold\n0\n65534 640\n", run.out);
  // The deep folder's message names it whole, as deep as the system's limit
  // lets the walk go: shortened here to two levels.
  std::string err = run.err;
  for (std::string::size_type at; (at = err.find("/x/x/x")) != std::string::npos;) err.erase(at, 2);
  EXPECT_EQ("focusrank: closed/notes: cannot examine (Permission denied)\n"
            "focusrank: shut: cannot read directory (Permission denied)\n"
            "focusrank: d/x/x: cannot examine (File name too long)\n"
            "focusrank: sticky/out.csv: cannot create (Operation not permitted)\n",
            err);
}

TEST_F(LostWork, ClosedStreamsFailLoudlyAndABannerNobodyReadsStopsNothing) {
  const ProcessResult run = Shell(
      "\"$R\" a.png >&-; echo $?; \"$R\" --files-from - <&- > /dev/null; echo $?; "
      "\"$F\" a.png /dev/full > /dev/null; echo $?; "
      // The banner goes to a pipe already closed, SIGPIPE at its default.
      "python3 -c 'import os, signal, sys\nsignal.signal(signal.SIGPIPE, signal.SIG_DFL)\nr, w = os.pipe()\n"
      "os.close(r)\nos.dup2(w, 1)\nos.execv(sys.argv[1], sys.argv[1:])' \"$F\" a.png out.json; echo $?; "
      "grep -c Gray-Level out.json; "
      // Far more rows than a pipe buffers, so focusrank is still writing when head has gone.
      "yes a.png | head -n 5000 | (\"$R\" -j2 --files-from -; echo $? > st) | head -n 1; cat st");
  EXPECT_EQ("3\n1\n1\n0\n1\npath,laplace,variance_lap,tenengrad,gray_level,status\n0\n", run.out);
  EXPECT_EQ("focusrank: standard output: cannot write (Bad file descriptor)\n"
            "focusrank: standard input: cannot read list (Bad file descriptor)\n"
            "focusrate: /dev/full: cannot write result (No space left on device)\n", run.err);
}

// An output that is an input (by name, link, hard link or found in a
// folder) or the other output is refused before any work, saying which.
TEST_F(LostWork, AnOutputThatIsAnInputOrTheOtherOutputIsRefused) {
  const std::string photo = ReadBytes(dir_ / "a.png");
  const std::pair<const char*, const char*> cases[] = {
      {"\"$F\" a.png a.png", "1 focusrate: a.png: is the input image"},
      {"ln -s a.png l.png && \"$F\" a.png l.png", "1 focusrate: l.png: is the input image"},
      {"ln a.png h.png && \"$M\" h.png a.png", "1 focusmap: a.png: is the input image"},
      {"\"$M\" a.png m.png --tiles-json l.png", "1 focusmap: l.png: is the input image"},
      {"\"$M\" a.png m.png --tiles-json=./m.png", "1 focusmap: ./m.png: is also the map"},
      {"\"$R\" . -o a.png", "2 focusrank: a.png: is an input image"},
      {"echo a.png > list && \"$R\" --files-from list -o list",
       "2 focusrank: list: is the list of paths"},
      {"\"$R\" --xmp --xmp-name=replace a.png -o ./a.xmp",
       "2 focusrank: ./a.xmp: is the sidecar of an input image"}};
  for (const auto& [line, said] : cases) {
    const ProcessResult run = Shell(line);
    EXPECT_EQ(std::to_string(run.status) + " " + run.err, said + std::string("; not written\n"));
  }
  EXPECT_EQ(ReadBytes(dir_ / "a.png"), photo);
  EXPECT_EQ(ReadBytes(dir_ / "list"), "a.png\n");
  EXPECT_FALSE(fs::exists(dir_ / "m.png") || fs::exists(dir_ / "a.xmp"));
}

#if !defined(__SANITIZE_ADDRESS__)
// Address space capped so that an 8000 x 8000 colour image cannot be decoded.
// A progressive JPEG is held whole inside its decoder; a baseline PNG of the
// same size streams through in a few rows.
TEST_F(LostWork, AnImageTooBigForMemoryIsOneRowAndTheRunGoesOn) {
  const cv::Mat big = MakeUniform(8000, 8000, 128, 3);
  ASSERT_TRUE(cv::imwrite(dir_ / "big.jpg", big, {cv::IMWRITE_JPEG_PROGRESSIVE, 1}));
  ASSERT_TRUE(cv::imwrite(dir_ / "big.png", big));
  const ProcessResult run = Shell("(ulimit -v 150000 && exec \"$R\" -j1 a.png big.jpg big.png > rows.csv);"
                                  " echo $?; cut -d, -f1,6 rows.csv");
  EXPECT_EQ("1\npath,status\na.png,ok\nbig.jpg,out of memory\nbig.png,ok\n", run.out) << run.err;
}
#endif

TEST_F(LostWork, SignalsLeaveNoTemporaryFile) {
  // 2000 ratings of a megapixel take far longer than the wait for the temporary file.
  ASSERT_TRUE(cv::imwrite(dir_ / "big.png", MakeNoise(1000, 1000, 7)));
  ASSERT_EQ(Shell("yes big.png | head -n 2000 > list.txt").status, 0);
  auto temps = [&] {
    return std::count_if(fs::directory_iterator(dir_ / ""), {}, [](const auto& e) { return e.path().extension() == ".tmp"; });
  };
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(sig);
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::chdir((dir_ / "").c_str());
      ::execl(kFocusrank.c_str(), "focusrank", "-j1", "-o", "out.csv", "--files-from", "list.txt", nullptr);
      ::_exit(127);
    }
    for (int wait = 0; wait < 2000 && temps() == 0; ++wait) ::usleep(5000);
    EXPECT_EQ(1, temps());
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
  std::string names;
  for (const std::string name : {"ctl\x01\x1f.png", "bad\xff\xfe.png", "q\"uote\\.png", "new\nline.png", "-x.png"}) {
    WriteBytes(dir_ / name, ReadBytes(dir_ / "a.png"));
    names += " '" + name + "'";
  }
  WriteBytes(dir_ / "list.txt", "a.png\r\n  \r\n");
  const ProcessResult run = Shell(
      "\"$R\" -j2 --format jsonl -o - --files-from list.txt -- *.png > rows.jsonl && jq -c . rows.jsonl > /dev/null && "
      "python3 -c 'import base64, json, os, sys\nrows = [json.loads(l) for l in open(\"rows.jsonl\", \"rb\")]\n"
      "names = {base64.b64decode(r[\"path_bytes\"]) if \"path_bytes\" in r else r[\"path\"].encode() for r in rows}\n"
      "assert all(r[\"status\"] == \"ok\" for r in rows), rows\n"
      "print(len(rows), sorted(names) == sorted(os.fsencode(n) for n in sys.argv[1:]))' a.png" + names);
  EXPECT_EQ("7 True\n", run.out) << run.err;
}

}  // namespace
