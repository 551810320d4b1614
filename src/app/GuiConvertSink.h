#pragma once
// The main window's side of the converter: each worker notification (WM_CONVERT_NOTIFY) is
// handled on the user-interface thread while the worker waits, as a synchronous send would.
// The wait ends early when the sink is closed, so a window that stops its converter at
// shutdown never waits for a worker that waits for the window.

#include <QObject>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

#include "driver/ConvertNotify.h"

class CGuiConvertSink : public IConvertSink {
 public:
  using Handler = std::function<void(const CConvertNotify&)>;

  // `context` lives on the user-interface thread; `handler` runs there.
  CGuiConvertSink(QObject* context, Handler handler);
  CGuiConvertSink(const CGuiConvertSink&) = delete;
  CGuiConvertSink& operator=(const CGuiConvertSink&) = delete;

  // Any thread. On the context's own thread the handler runs at once; on another thread
  // the call returns once the handler has run, or once the sink is closed.
  void OnConvertNotify(const CConvertNotify& notify) override;

  // User-interface thread: later notifications are dropped and a waiting worker is released.
  void Close();

  // Any thread: notifications posted from other threads so far. Once a worker's post is
  // counted, that worker waits (it posts and starts waiting under one lock) until the
  // notification is handled or the sink closed.
  uint64_t PostedCount();

 private:
  QObject* m_pContext;
  Handler m_fnHandler;
  std::mutex m_lock;                // guards the fields below
  std::condition_variable m_handledCondition;
  bool m_bClosed = false;
  uint64_t m_nPosted = 0;           // serial of the last notification posted
  uint64_t m_nHandled = 0;          // serial of the last notification handled
};
