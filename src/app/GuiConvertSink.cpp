#include "app/GuiConvertSink.h"

#include <QMetaObject>
#include <QThread>
#include <string>

CGuiConvertSink::CGuiConvertSink(QObject* context, Handler handler)
    : m_pContext(context), m_fnHandler(std::move(handler)) {}

void CGuiConvertSink::OnConvertNotify(const CConvertNotify& notify) {
  if (QThread::currentThread() == m_pContext->thread()) {
    if (!m_bClosed) m_fnHandler(notify);
    return;
  }
  // The posted call carries a copy: once the sink is closed the worker stops waiting and
  // its stack, where the payload lives, may be gone before the call runs.
  CConvertNotify copy = notify;
  std::wstring message = notify.m_pszMessage ? notify.m_pszMessage : L"";
  std::unique_lock lock(m_lock);
  if (m_bClosed) return;
  const uint64_t serial = ++m_nPosted;
  QMetaObject::invokeMethod(
      m_pContext,
      [this, copy, message = std::move(message), serial]() mutable {
        {
          std::lock_guard guard(m_lock);
          if (m_bClosed) return;
        }
        copy.m_pszMessage = message.empty() ? nullptr : message.c_str();
        m_fnHandler(copy);
        {
          std::lock_guard guard(m_lock);
          m_nHandled = serial;
        }
        m_handledCondition.notify_all();
      },
      Qt::QueuedConnection);
  m_handledCondition.wait(lock, [&] { return m_bClosed || m_nHandled >= serial; });
}

uint64_t CGuiConvertSink::PostedCount() {
  std::lock_guard lock(m_lock);
  return m_nPosted;
}

void CGuiConvertSink::Close() {
  {
    std::lock_guard lock(m_lock);
    m_bClosed = true;
  }
  m_handledCondition.notify_all();
}
