#include "CliProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace cli_test {

namespace {

// A pseudo-terminal: the master end stays here, the child opens the slave by name.
struct Pty {
  int m_nMaster = -1;
  std::string m_strSlave;
  bool Open() {
    m_nMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_nMaster < 0 || ::grantpt(m_nMaster) != 0 || ::unlockpt(m_nMaster) != 0) return false;
    const char* name = ::ptsname(m_nMaster);
    if (!name) return false;
    m_strSlave = name;
    return true;
  }
  ~Pty() {
    if (m_nMaster >= 0) ::close(m_nMaster);
  }
};

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args, const CliRunOptions& options) {
  CliResult result;
  int outPipe[2] = {-1, -1};
  int errPipe[2] = {-1, -1};
  Pty errPty, inPty;
  if (::pipe2(outPipe, O_CLOEXEC) != 0) return result;
  if (options.m_bStderrTerminal ? !errPty.Open() : ::pipe2(errPipe, O_CLOEXEC) != 0) return result;
  if (options.m_bStdinTerminal && !inPty.Open()) return result;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (options.m_bStdinTerminal)
    posix_spawn_file_actions_addopen(&actions, 0, inPty.m_strSlave.c_str(), O_RDWR | O_NOCTTY, 0);
  else
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  if (options.m_bStderrTerminal)
    posix_spawn_file_actions_addopen(&actions, 2, errPty.m_strSlave.c_str(), O_RDWR | O_NOCTTY, 0);
  else
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
  if (!options.m_cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, options.m_cwd.c_str());

  std::vector<std::string> argStrings{PAGEVANE_CLI_PATH};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& arg : argStrings) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  CloseFd(outPipe[1]);
  CloseFd(errPipe[1]);
  if (spawned != 0) {
    CloseFd(outPipe[0]);
    CloseFd(errPipe[0]);
    return result;
  }

  const int outFd = outPipe[0];
  const int errFd = options.m_bStderrTerminal ? errPty.m_nMaster : errPipe[0];
  int inFd = options.m_bStdinTerminal ? inPty.m_nMaster : -1;
  auto writeInput = [&](const std::string& bytes) {
    if (inFd >= 0) [[maybe_unused]] auto written = ::write(inFd, bytes.data(), bytes.size());
  };
  const auto deadline = std::chrono::steady_clock::now() + options.m_limit;
  // Both ends report the end once every copy in the child is closed: a pipe with end of
  // file, a terminal's master with an error.
  bool outOpen = true, errOpen = true;
  while (outOpen || errOpen) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      result.m_bTimedOut = true;
      break;
    }
    pollfd fds[3] = {{outOpen ? outFd : -1, POLLIN, 0}, {errOpen ? errFd : -1, POLLIN, 0}, {inFd, POLLIN, 0}};
    if (::poll(fds, 3, 100) < 0 && errno != EINTR) break;
    char buffer[4096];
    if (fds[0].revents != 0) {
      const ssize_t got = ::read(outFd, buffer, sizeof buffer);
      if (got > 0) result.m_strOut.append(buffer, static_cast<size_t>(got));
      else outOpen = false;
    }
    if (fds[1].revents != 0) {
      const ssize_t got = ::read(errFd, buffer, sizeof buffer);
      if (got > 0) {
        result.m_strErr.append(buffer, static_cast<size_t>(got));
        if (options.m_onStderr) options.m_onStderr(pid, result.m_strErr, writeInput);
      } else {
        errOpen = false;
      }
    }
    if (fds[2].revents != 0) {
      const ssize_t got = ::read(inFd, buffer, sizeof buffer);
      if (got > 0 && options.m_pTerminalInput) options.m_pTerminalInput->append(buffer, static_cast<size_t>(got));
      if (got <= 0) inFd = -1;
    }
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  termios settings{};
  if (options.m_pEchoOnAtExit && options.m_bStdinTerminal && ::tcgetattr(inPty.m_nMaster, &settings) == 0)
    *options.m_pEchoOnAtExit = (settings.c_lflag & ECHO) != 0;
  CloseFd(outPipe[0]);
  CloseFd(errPipe[0]);
  if (WIFEXITED(status)) result.m_nExit = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.m_nExit = 128 + WTERMSIG(status);
  return result;
}

}  // namespace cli_test
