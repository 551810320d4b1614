#pragma once
// Notifications from the worker to its owner (the main window or the command-line tool).
// They are synchronous: the worker waits until the owner has handled each one, so the
// payload may live on the worker's stack.

#include <cstdint>

// Message numbers: each signal and handler of the main window keeps its number, so that
// every sender and handler of one message can be found by it.
constexpr int WM_USER_BASE = 0x0400;
constexpr int WM_LIST_ITEM_EVENT = WM_USER_BASE + 103;  // 1127
constexpr int WM_CONVERT_NOTIFY = WM_USER_BASE + 104;   // 1128

enum ENotifyType : int32_t {
  NOTIFY_DONE = 0,
  NOTIFY_FAILED = 1,
  NOTIFY_CANCELLED = 2,
  NOTIFY_PROGRESS = 3,
};

struct CConvertNotify {
  int32_t m_nItemIndex = 0;        // 1-based file-list index of the job
  int32_t m_nNotifyType = 0;       // ENotifyType
  float m_fProgress = 0;           // fraction of the file done, 0..1; progress only
  const wchar_t* m_pszMessage = nullptr;  // why a job failed, or a warning on a done job; may be null
};

// Implemented by the owner of a converter. Called on the worker thread; must not return
// before the notification is handled.
class IConvertSink {
 public:
  virtual ~IConvertSink() = default;
  virtual void OnConvertNotify(const CConvertNotify& notify) = 0;
};
