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

struct Pipe {
  int read = -1;
  int write = -1;
};

Pipe MakePipe() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  return {fds[0], fds[1]};
}

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// Only async-signal-safe calls between fork and exec.
[[noreturn]] void ExecChild(const Pipe& in, const Pipe& out, const Pipe& err, char* const* argv) {
  ::dup2(in.read, STDIN_FILENO);
  ::dup2(out.write, STDOUT_FILENO);
  ::dup2(err.write, STDERR_FILENO);
  ::signal(SIGPIPE, SIG_DFL);  // an ignored signal would survive exec
  ::execv(argv[0], argv);
  ::_exit(127);
}

int DecodeWaitStatus(int waitStatus) {
  if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
  if (WIFSIGNALED(waitStatus)) return -WTERMSIG(waitStatus);
  return -1;
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& args, const std::string& stdinText,
                         int timeoutSeconds) {
  if (args.empty()) throw std::invalid_argument("RunProcess needs a program");
  std::vector<std::string> owned(args);
  std::vector<char*> argv;
  for (std::string& arg : owned) argv.push_back(arg.data());
  argv.push_back(nullptr);

  Pipe in = MakePipe();
  Pipe out = MakePipe();
  Pipe err = MakePipe();
  // The child may exit without reading its input; that must not kill us.
  struct sigaction ignore {};
  struct sigaction previous {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &ignore, &previous);

  const pid_t pid = ::fork();
  if (pid < 0) {
    for (int* fd : {&in.read, &in.write, &out.read, &out.write, &err.read, &err.write}) CloseFd(*fd);
    ::sigaction(SIGPIPE, &previous, nullptr);
    throw std::runtime_error("fork failed");
  }
  if (pid == 0) ExecChild(in, out, err, argv.data());
  CloseFd(in.read);
  CloseFd(out.write);
  CloseFd(err.write);

  ProcessResult result{0, std::string(), std::string(), false};
  std::size_t sent = 0;
  if (stdinText.empty()) CloseFd(in.write);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  while (out.read >= 0 || err.read >= 0) {
    pollfd fds[3] = {{out.read, POLLIN, 0}, {err.read, POLLIN, 0}, {in.write, POLLOUT, 0}};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      ::kill(pid, SIGKILL);
      result.timedOut = true;
      break;
    }
    if (::poll(fds, 3, static_cast<int>(left.count())) < 0 && errno != EINTR) break;
    char buffer[65536];
    std::string* sinks[2] = {&result.out, &result.err};
    int* sources[2] = {&out.read, &err.read};
    for (int i = 0; i < 2; ++i) {
      if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
      const ssize_t got = ::read(*sources[i], buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        CloseFd(*sources[i]);
      }
    }
    if (fds[2].revents != 0) {
      const ssize_t put = (fds[2].revents & POLLOUT)
                              ? ::write(in.write, stdinText.data() + sent, stdinText.size() - sent)
                              : -1;
      if (put > 0) sent += static_cast<std::size_t>(put);
      if (put < 0 && errno == EINTR) continue;
      if (put < 0 || sent == stdinText.size()) CloseFd(in.write);
    }
  }
  CloseFd(in.write);
  CloseFd(out.read);
  CloseFd(err.read);
  // A child that closed its outputs may still run: the deadline holds here too.
  int waitStatus = 0;
  while (true) {
    const pid_t done = ::waitpid(pid, &waitStatus, WNOHANG);
    if (done == pid || (done < 0 && errno != EINTR)) break;
    if (done == 0 && std::chrono::steady_clock::now() >= deadline && !result.timedOut) {
      ::kill(pid, SIGKILL);
      result.timedOut = true;
    }
    if (done == 0) ::usleep(1000);
  }
  ::sigaction(SIGPIPE, &previous, nullptr);
  result.status = DecodeWaitStatus(waitStatus);
  return result;
}
