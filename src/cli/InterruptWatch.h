#pragma once
// CInterruptWatch: turns Ctrl-C (SIGINT) into a raised flag and a byte in a self-pipe, so
// the main thread learns of it in its own loop and the signal handler never calls into the
// converter. Worker threads wake the same loop through Wake. One instance per process.

#include <signal.h>

#include <atomic>

class CInterruptWatch {
 public:
  // Creates the pipe and installs the handler. A second Ctrl-C ends the process at once.
  CInterruptWatch();
  // Restores the previous handler and closes the pipe.
  ~CInterruptWatch();
  CInterruptWatch(const CInterruptWatch&) = delete;
  CInterruptWatch& operator=(const CInterruptWatch&) = delete;

  // False when the pipe or the handler could not be set up.
  bool IsValid() const { return m_bValid; }
  // True once Ctrl-C has been pressed.
  bool IsRaised() const;
  // Wakes Wait; safe from any thread.
  void Wake();
  // Blocks until Wake was called or Ctrl-C pressed since the last Wait returned.
  void Wait();

 private:
  int m_nReadFd = -1;   // read end of the self-pipe
  int m_nWriteFd = -1;  // write end; the handler and Wake write one byte
  bool m_bValid = false;
  bool m_bInstalled = false;  // our handler replaced the previous one
};

// While it lives, Ctrl-C is held back from the calling thread. Threads started meanwhile
// keep that mask for good, so Ctrl-C always reaches the main thread: a worker's system
// calls are never interrupted, and the main thread's waits always are.
class CInterruptShield {
 public:
  CInterruptShield();
  ~CInterruptShield();
  CInterruptShield(const CInterruptShield&) = delete;
  CInterruptShield& operator=(const CInterruptShield&) = delete;

 private:
  sigset_t m_previous;  // the mask to restore
};
