#pragma once
// CPageGuard: the time and memory bound of one engine context. It supplies the context's
// allocator, which counts the bytes the engine holds and refuses any allocation beyond the
// cap, and a watchdog thread that raises the cookie's abort flag when a page runs past its
// time. A page whose run was aborted or refused memory is reported as tripped; the caller
// drops that page's model and goes on with the next page.

#include <mupdf/fitz.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

class CPageGuard {
 public:
  static constexpr int kDefaultPageMilliseconds = 30000;          // one page's work
  static constexpr size_t kDefaultMemoryBytes = size_t{2} << 30;  // all the engine holds

  CPageGuard();
  ~CPageGuard();  // stops the watchdog; the context using Allocator() must be dropped first
  CPageGuard(const CPageGuard&) = delete;
  CPageGuard& operator=(const CPageGuard&) = delete;

  // The allocator to hand to fz_new_context; valid for the guard's lifetime. Never fails.
  const fz_alloc_context* Allocator() const { return &m_alloc; }

  // Limits for the pages begun after the call; 0 or less keeps the default.
  void SetLimits(int pageMilliseconds, size_t memoryBytes);

  // Starts the clock of a page and returns the cookie to pass to every engine run of it.
  fz_cookie* BeginPage();
  enum class Trip { None, Time, Memory };
  // Stops the clock and tells whether the page was aborted for time or refused memory
  // since BeginPage (time wins when both happened).
  Trip EndPage();
  // True once the current page has tripped; engine runs after that are pointless.
  bool Tripped() const;

  size_t BytesInUse() const { return m_nBytesInUse; }

 private:
  static void* Malloc(void* user, size_t size);
  static void* Realloc(void* user, void* old, size_t size);
  static void Free(void* user, void* block);
  bool Admit(size_t oldSize, size_t newSize);
  void Watch();

  fz_alloc_context m_alloc{};            // callbacks with `this` as their user pointer
  fz_cookie m_cookie{};                  // the current page's cookie; abort written atomically
  size_t m_nBytesInUse = 0;              // bytes the engine holds through this allocator
  size_t m_nMemoryCap = kDefaultMemoryBytes;  // refusal threshold for m_nBytesInUse, bytes
  int m_nPageMilliseconds = kDefaultPageMilliseconds;  // time allowed to one page
  bool m_bMemoryRefused = false;         // an allocation was refused during the current page

  std::mutex m_mutex;                    // guards the fields below, shared with the watchdog
  std::condition_variable m_wake;        // signals a new deadline or the end
  std::chrono::steady_clock::time_point m_deadline{};  // when the current page times out
  bool m_bArmed = false;                 // a page is running
  bool m_bTimedOut = false;              // the watchdog aborted the current page
  bool m_bStop = false;                  // the watchdog must end
  std::thread m_watchdog;                // started by the first BeginPage
};
