// focusrate IMAGE OUT.json: rates the sharpness of one image and writes the
// four figures as a JSON object. Standard output carries only the banner;
// the exit status says what happened (exit_status.h).
#include <csignal>
#include <cstdio>
#include <limits>
#include <string>
#include <thread>

#include <opencv2/core.hpp>

#include "exit_status.h"
#include "file_identity.h"
#include "messages.h"
#include "quiet_stderr.h"
#include "result_document.h"
#include "streamed_rating.h"

using namespace focusrate;

namespace {

// The prefix of its messages.
constexpr char kProgram[] = "focusrate";

// Exactly 20 bytes and no line break: callers skip it by length.
constexpr char kBanner[] = "focusrate 1.0 rating";
static_assert(sizeof(kBanner) - 1 == 20, "the banner is 20 bytes");

int Rate(const std::string& imagePath, const std::string& outPath) {
  if (SameFile(outPath, imagePath)) {
    ComplainOfClash(kProgram, outPath, "the input image");
    return RateExit::kNotSaved;
  }
  const StreamedFigures rated =
      RateWholeFrame(imagePath, std::numeric_limits<long long>::max(),
                     static_cast<int>(std::thread::hardware_concurrency()));
  if (!WasDecoded(rated.status)) {
    ComplainOfImage(kProgram, imagePath, rated.status);
    return RateExit::kCannotDecode;
  }
  int error = 0;
  if (!SaveResultDocument(outPath, rated.figures, error)) {
    ComplainNotWritten(kProgram, outPath, "result", error);
    return RateExit::kNotSaved;
  }
  return RateExit::kSaved;
}

}  // namespace

int main(int argc, char** argv) {
  SilenceLibraryStderr();
  // The result file is the main output: a reader of the banner that went
  // away (focusrate IMG OUT | true) must not stop the rating.
  std::signal(SIGPIPE, SIG_IGN);
  std::fputs(kBanner, stdout);
  // Out before anything else is written, also when OUT.json is /dev/stdout.
  std::fflush(stdout);
  if (argc < 3) {
    WriteStderr("usage: focusrate IMAGE OUT.json\n");
    return RateExit::kUsage;
  }
  int status = RateExit::kOtherFailure;
  try {
    status = Rate(argv[1], argv[2]);
  } catch (...) {
    ComplainOfException(kProgram);
  }
  return status;
}
