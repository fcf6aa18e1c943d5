#include "process_util.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace {

void Close(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& args, const std::string& stdinText,
                         int timeoutSeconds) {
  std::vector<std::string> owned(args);
  std::vector<char*> argv;
  for (std::string& arg : owned) argv.push_back(arg.data());
  argv.push_back(nullptr);

  // Pipe ends: stdin read, write; stdout read, write; stderr read, write.
  int fd[6] = {-1, -1, -1, -1, -1, -1};
  for (int i = 0; i < 6; i += 2) {
    if (::pipe2(fd + i, O_CLOEXEC) != 0) {
      for (int& f : fd) Close(f);
      throw std::runtime_error("pipe failed");
    }
  }
  // The child may exit without reading its input, or write its output before
  // reading it all: that must neither kill us (SIGPIPE) nor block us.
  ::fcntl(fd[1], F_SETFL, O_NONBLOCK);
  struct sigaction ignore {}, previous {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ignore, &previous);

  const pid_t pid = ::fork();
  if (pid == 0) {  // only async-signal-safe calls until exec
    ::dup2(fd[0], STDIN_FILENO);
    ::dup2(fd[3], STDOUT_FILENO);
    ::dup2(fd[5], STDERR_FILENO);
    ::signal(SIGPIPE, SIG_DFL);  // an ignored signal would survive exec
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  if (pid < 0) {
    for (int& f : fd) Close(f);
    ::sigaction(SIGPIPE, &previous, nullptr);
    throw std::runtime_error("fork failed");
  }
  for (int i : {0, 3, 5}) Close(fd[i]);
  if (stdinText.empty()) Close(fd[1]);

  ProcessResult result{0, std::string(), std::string(), false};
  std::size_t sent = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  while (fd[2] >= 0 || fd[4] >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      ::kill(pid, SIGKILL);
      result.timedOut = true;
      break;
    }
    pollfd polled[3] = {{fd[2], POLLIN, 0}, {fd[4], POLLIN, 0}, {fd[1], POLLOUT, 0}};
    if (::poll(polled, 3, static_cast<int>(left.count())) < 0 && errno != EINTR) break;
    std::string* sinks[2] = {&result.out, &result.err};
    for (int i = 0; i < 2; ++i) {
      if (polled[i].revents == 0) continue;
      char buffer[65536];
      const ssize_t got = ::read(fd[2 + 2 * i], buffer, sizeof buffer);
      if (got > 0) sinks[i]->append(buffer, static_cast<std::size_t>(got));
      if (got == 0 || (got < 0 && errno != EINTR)) Close(fd[2 + 2 * i]);
    }
    if (polled[2].revents != 0) {
      const ssize_t put = ::write(fd[1], stdinText.data() + sent, stdinText.size() - sent);
      if (put > 0) sent += static_cast<std::size_t>(put);
      if ((put < 0 && errno != EINTR && errno != EAGAIN) || sent == stdinText.size()) Close(fd[1]);
    }
  }
  for (int& f : fd) Close(f);
  // A child that closed its outputs may still run: the deadline holds here too.
  int waitStatus = 0;
  while (::waitpid(pid, &waitStatus, WNOHANG) == 0) {
    if (!result.timedOut && std::chrono::steady_clock::now() >= deadline) {
      ::kill(pid, SIGKILL);
      result.timedOut = true;
    }
    ::usleep(1000);
  }
  ::sigaction(SIGPIPE, &previous, nullptr);
  result.status = WIFEXITED(waitStatus)     ? WEXITSTATUS(waitStatus)
                  : WIFSIGNALED(waitStatus) ? -WTERMSIG(waitStatus)
                                            : -1;
  return result;
}
