#include "cli/PasswordPrompt.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

// Answers are kept up to this length; the engine refuses anything this long anyway.
constexpr size_t kMaxPassword = 4096;

// Switches echo off on construction and restores the previous settings on destruction.
class CEchoOff {
 public:
  CEchoOff() {
    if (::tcgetattr(STDIN_FILENO, &m_saved) != 0) return;
    termios quiet = m_saved;
    quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
    quiet.c_lflag |= ECHONL;  // the user's Enter still moves to the next line
    // TCSAFLUSH drops what was typed before the prompt appeared.
    m_bActive = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
  }
  ~CEchoOff() {
    if (m_bActive) ::tcsetattr(STDIN_FILENO, TCSANOW, &m_saved);
  }
  CEchoOff(const CEchoOff&) = delete;
  CEchoOff& operator=(const CEchoOff&) = delete;
  bool IsActive() const { return m_bActive; }

 private:
  termios m_saved{};
  bool m_bActive = false;
};

// Waits for one byte of input. SIGINT is held back except inside ppoll, so a Ctrl-C
// pressed after the last look at `interrupted` still ends the wait.
EPromptResult ReadByte(char& c, const std::function<bool()>& interrupted) {
  sigset_t interrupt, previous;
  sigemptyset(&interrupt);
  sigaddset(&interrupt, SIGINT);
  pthread_sigmask(SIG_BLOCK, &interrupt, &previous);
  EPromptResult result = PROMPT_ENTERED;
  for (;;) {
    if (interrupted()) {
      result = PROMPT_INTERRUPTED;
      break;
    }
    pollfd fd{STDIN_FILENO, POLLIN, 0};
    if (::ppoll(&fd, 1, nullptr, &previous) < 0) {
      if (errno == EINTR) continue;
      result = PROMPT_EMPTY;
      break;
    }
    if (::read(STDIN_FILENO, &c, 1) != 1) result = PROMPT_EMPTY;  // end of input
    break;
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return result;
}

}  // namespace

bool CanPromptForPassword() { return ::isatty(STDIN_FILENO) == 1; }

EPromptResult PromptForPassword(const std::string& fileName, std::string& password,
                                const std::function<bool()>& interrupted) {
  password.clear();
  if (!CanPromptForPassword()) return PROMPT_UNAVAILABLE;
  // Echo goes off before the prompt shows, so nothing typed in answer is ever echoed.
  CEchoOff echoOff;
  if (!echoOff.IsActive()) return PROMPT_UNAVAILABLE;
  std::fprintf(stderr, "Password for %s: ", fileName.c_str());
  std::fflush(stderr);
  for (;;) {
    char c = 0;
    const EPromptResult got = ReadByte(c, interrupted);
    if (got != PROMPT_ENTERED) {
      std::fprintf(stderr, "\n");
      password.clear();
      if (got == PROMPT_INTERRUPTED) return PROMPT_INTERRUPTED;
      break;
    }
    if (c == '\n') break;
    if (password.size() < kMaxPassword) password += c;
  }
  if (!password.empty() && password.back() == '\r') password.pop_back();
  return password.empty() ? PROMPT_EMPTY : PROMPT_ENTERED;
}
