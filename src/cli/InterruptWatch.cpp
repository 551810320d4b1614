#include "cli/InterruptWatch.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace {

std::atomic<int> g_nInterrupts{0};    // Ctrl-C presses so far
std::atomic<int> g_nWakeFd{-1};       // write end of the self-pipe, for the handler
struct sigaction g_previousAction {}; // restored by the destructor
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free flag");

void OnInterrupt(int) {
  const int savedErrno = errno;
  if (g_nInterrupts.fetch_add(1) >= 1) {
    // The user insists: end the process with the default action.
    ::signal(SIGINT, SIG_DFL);
    ::raise(SIGINT);
  }
  const int fd = g_nWakeFd.load();
  if (fd >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
  }
  errno = savedErrno;
}

}  // namespace

CInterruptWatch::CInterruptWatch() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  m_nReadFd = fds[0];
  m_nWriteFd = fds[1];
  g_nInterrupts = 0;
  g_nWakeFd = m_nWriteFd;
  if (::sigaction(SIGINT, nullptr, &g_previousAction) != 0) return;
  // A program started with Ctrl-C ignored (nohup, a background job) keeps ignoring it.
  if (g_previousAction.sa_handler == SIG_IGN) {
    m_bValid = true;
    return;
  }
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  m_bValid = m_bInstalled = ::sigaction(SIGINT, &action, nullptr) == 0;
}

CInterruptWatch::~CInterruptWatch() {
  if (m_bInstalled) ::sigaction(SIGINT, &g_previousAction, nullptr);
  g_nWakeFd = -1;
  if (m_nReadFd >= 0) ::close(m_nReadFd);
  if (m_nWriteFd >= 0) ::close(m_nWriteFd);
}

bool CInterruptWatch::IsRaised() const { return g_nInterrupts.load() > 0; }

void CInterruptWatch::Wake() {
  const char byte = 1;
  // A full pipe already holds a wake-up, so a failed write loses nothing.
  [[maybe_unused]] const ssize_t written = ::write(m_nWriteFd, &byte, 1);
}

void CInterruptWatch::Wait() {
  pollfd fd{m_nReadFd, POLLIN, 0};
  while (::poll(&fd, 1, -1) < 0 && errno == EINTR) {
  }
  char buffer[256];
  while (::read(m_nReadFd, buffer, sizeof buffer) > 0) {
  }
}

CInterruptShield::CInterruptShield() {
  sigset_t interrupt;
  sigemptyset(&interrupt);
  sigaddset(&interrupt, SIGINT);
  pthread_sigmask(SIG_BLOCK, &interrupt, &m_previous);
}

CInterruptShield::~CInterruptShield() { pthread_sigmask(SIG_SETMASK, &m_previous, nullptr); }
