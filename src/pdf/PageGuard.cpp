#include "pdf/PageGuard.h"

#include <cstdlib>
#include <cstring>

namespace {

// Each block carries its size in front, padded to keep the engine's blocks max-aligned.
constexpr size_t kHeader = alignof(std::max_align_t);

void* BlockOf(void* user) { return static_cast<char*>(user) - kHeader; }
size_t SizeOf(void* user) {
  size_t size;
  std::memcpy(&size, BlockOf(user), sizeof size);
  return size;
}
void* UserOf(void* block, size_t size) {
  std::memcpy(block, &size, sizeof size);
  return static_cast<char*>(block) + kHeader;
}

}  // namespace

CPageGuard::CPageGuard() {
  m_alloc.user = this;
  m_alloc.malloc = Malloc;
  m_alloc.realloc = Realloc;
  m_alloc.free = Free;
}

CPageGuard::~CPageGuard() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bStop = true;
  }
  m_wake.notify_all();
  if (m_watchdog.joinable()) m_watchdog.join();
}

void CPageGuard::SetLimits(int pageMilliseconds, size_t memoryBytes) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_nPageMilliseconds = pageMilliseconds > 0 ? pageMilliseconds : kDefaultPageMilliseconds;
  m_nMemoryCap = memoryBytes > 0 ? memoryBytes : kDefaultMemoryBytes;
}

fz_cookie* CPageGuard::BeginPage() {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_cookie = fz_cookie{};
  m_bMemoryRefused = false;
  m_bTimedOut = false;
  m_deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_nPageMilliseconds);
  m_bArmed = true;
  if (!m_watchdog.joinable()) {
    try {
      m_watchdog = std::thread(&CPageGuard::Watch, this);
    } catch (...) {
      // Without a watchdog only the memory bound holds.
    }
  }
  lock.unlock();
  m_wake.notify_all();
  return &m_cookie;
}

CPageGuard::Trip CPageGuard::EndPage() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_bArmed = false;
  if (m_bTimedOut) return Trip::Time;
  return m_bMemoryRefused ? Trip::Memory : Trip::None;
}

bool CPageGuard::Tripped() const { return m_bMemoryRefused || __atomic_load_n(&m_cookie.abort, __ATOMIC_RELAXED); }

void CPageGuard::Watch() {
  std::unique_lock<std::mutex> lock(m_mutex);
  while (!m_bStop) {
    if (!m_bArmed || m_bTimedOut) {
      m_wake.wait(lock);
      continue;
    }
    const auto deadline = m_deadline;
    if (m_wake.wait_until(lock, deadline) == std::cv_status::timeout && m_bArmed && m_deadline == deadline) {
      m_bTimedOut = true;
      // The engine reads the flag without a lock between operations; the store is atomic.
      __atomic_store_n(&m_cookie.abort, 1, __ATOMIC_RELAXED);
    }
  }
}

bool CPageGuard::Admit(size_t oldSize, size_t newSize) {
  if (newSize <= oldSize || m_nBytesInUse - oldSize + newSize <= m_nMemoryCap) return true;
  m_bMemoryRefused = true;
  // Runs on the engine's thread, so the abort needs no watchdog to be seen.
  __atomic_store_n(&m_cookie.abort, 1, __ATOMIC_RELAXED);
  return false;
}

void* CPageGuard::Malloc(void* user, size_t size) {
  auto* guard = static_cast<CPageGuard*>(user);
  if (size > SIZE_MAX - kHeader || !guard->Admit(0, size)) return nullptr;
  void* block = std::malloc(size + kHeader);
  if (!block) return nullptr;
  guard->m_nBytesInUse += size;
  return UserOf(block, size);
}

void* CPageGuard::Realloc(void* user, void* old, size_t size) {
  if (!old) return Malloc(user, size);
  auto* guard = static_cast<CPageGuard*>(user);
  const size_t oldSize = SizeOf(old);
  if (size > SIZE_MAX - kHeader || !guard->Admit(oldSize, size)) return nullptr;
  void* block = std::realloc(BlockOf(old), size + kHeader);
  if (!block) return nullptr;
  guard->m_nBytesInUse = guard->m_nBytesInUse - oldSize + size;
  return UserOf(block, size);
}

void CPageGuard::Free(void* user, void* block) {
  if (!block) return;
  static_cast<CPageGuard*>(user)->m_nBytesInUse -= SizeOf(block);
  std::free(BlockOf(block));
}
