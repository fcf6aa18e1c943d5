// The README's recipe for spreading a collection over machines, run on this
// one: GNU parallel feeds blocks of paths to several focusrank processes,
// and the merged rows must equal one run's.
#include <gtest/gtest.h>

#include <algorithm>

#include "cli_test_util.h"
#include "scratch_files.h"

using namespace focusrate;

namespace {

TEST(FocusrankParallel, MergedBlocksEqualOneRun) {
  ScratchDir scratch;
  WriteBytes(scratch / "broken.jpg", "truncated");
  // As in the README, with ':' (this machine) for the list of ssh logins.
  const std::string script = R"(
    command -v parallel >/dev/null || exit 77
    find "$1" "$2/broken.jpg" -type f | sort > "$2/list"
    parallel --will-cite --pipe -N 2 --keep-order --sshlogin 2/: \
      "$0" --quiet --jobs 1 --format jsonl --files-from - < "$2/list" > "$2/merged"
    echo "parallel $?"; "$0" --quiet --format jsonl --files-from "$2/list" > "$2/single"
    echo "single $?"
  )";
  const std::string samples = FOCUSRATE_SOURCE_DIR "/samples";
  const ProcessResult run =
      RunProcess({"/bin/bash", "-c", script, kFocusrank, samples, scratch / ""}, "", 300);
  if (run.status == 77) GTEST_SKIP() << "GNU parallel is not installed";
  // One block holds the broken file, so exactly one focusrank says 1.
  EXPECT_EQ(run.out + run.err, "parallel 1\nsingle 1\n");
  const std::string single = ReadBytes(scratch / "single");
  EXPECT_EQ(ReadBytes(scratch / "merged"), single);
  EXPECT_EQ(std::count(single.begin(), single.end(), '\n'), 5);
}

}  // namespace
