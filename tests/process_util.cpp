#include "cli_test_util.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>

using namespace focusrate;

namespace {

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

// Unnamed temporary files instead of pipes: the child can write all it likes
// before, or without, reading its input, and nothing here can block.
File TempFile() {
  File file(std::tmpfile(), &std::fclose);
  if (!file) throw std::runtime_error("tmpfile failed");
  return file;
}

// Opened anew through its descriptor, so read from the start.
std::string Contents(FILE* file) {
  return ReadBytes("/proc/self/fd/" + std::to_string(::fileno(file)));
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& args, const std::string& stdinText,
                         int timeoutSeconds) {
  std::vector<std::string> owned(args);
  std::vector<char*> argv;
  for (std::string& arg : owned) argv.push_back(arg.data());
  argv.push_back(nullptr);
  File in = TempFile(), out = TempFile(), err = TempFile();
  std::fwrite(stdinText.data(), 1, stdinText.size(), in.get());
  std::fflush(in.get());
  std::rewind(in.get());

  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {  // only async-signal-safe calls until exec
    ::dup2(::fileno(in.get()), STDIN_FILENO);
    ::dup2(::fileno(out.get()), STDOUT_FILENO);
    ::dup2(::fileno(err.get()), STDERR_FILENO);
    ::signal(SIGPIPE, SIG_DFL);  // an ignored signal would survive exec
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ProcessResult result{0, std::string(), std::string(), false};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  int waitStatus = 0;
  while (::waitpid(pid, &waitStatus, WNOHANG) == 0) {
    if (!result.timedOut && std::chrono::steady_clock::now() >= deadline) {
      ::kill(pid, SIGKILL);
      result.timedOut = true;
    }
    ::usleep(1000);
  }
  result.status = WIFEXITED(waitStatus)     ? WEXITSTATUS(waitStatus)
                  : WIFSIGNALED(waitStatus) ? -WTERMSIG(waitStatus)
                                            : -1;
  result.out = Contents(out.get());
  result.err = Contents(err.get());
  return result;
}
