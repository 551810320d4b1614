#pragma once
// Writers and a sink that record what the driver asks of them, for the driver tests.

#include <condition_variable>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "capture/TextPage.h"
#include "driver/ConvertNotify.h"
#include "driver/PageWriters.h"
#include "platform/Strings.h"

namespace fakes {

// The calls a writer received, as short strings ("slide 1 612x792").
struct CallLog {
  std::vector<std::string> m_vecCalls;
  std::string Size(const nsPDFData::CTextPage& page) {
    return std::to_string(static_cast<int>(page.m_fWidth)) + "x" + std::to_string(static_cast<int>(page.m_fHeight));
  }
};

inline bool WriteFile(const std::wstring& path, const std::string& text) {
  auto fsPath = platform::ToPath(path);
  std::ofstream out(*fsPath, std::ios::binary);
  out << text;
  return static_cast<bool>(out);
}

class CFakeTextWriter : public ITextWriter, public CallLog {
 public:
  bool BeginDocument(const std::wstring&, int pageCount, int kind, int mode, const std::wstring&) override {
    m_strText.clear();
    m_vecCalls.push_back("begin " + std::to_string(pageCount) + " kind " + std::to_string(kind) +
                         " mode " + std::to_string(mode));
    return true;
  }
  bool AddPage(nsPDFData::CTextPage& page, int sequence) override {
    m_vecCalls.push_back("page " + std::to_string(sequence) + " " + Size(page));
    m_strText += "page\n";
    return true;
  }
  bool HasText() const override { return !m_strText.empty(); }
  bool WriteTextFile(const std::wstring& path) override {
    m_vecCalls.push_back("write");
    if (m_bFailWrite) return false;
    const bool ok = WriteFile(path, m_strText);
    if (m_onWrite) m_onWrite();
    return ok;
  }
  std::wstring GetLastError() const override { return m_bFailWrite ? L"disk full" : L""; }

  std::string m_strText;
  bool m_bFailWrite = false;           // WriteTextFile reports failure
  std::function<void()> m_onWrite;     // runs after the file is written
};

class CFakePptxWriter : public IPresentationWriter, public CallLog {
 public:
  bool Init(const std::wstring&, int pageCount, const std::wstring& outputPath) override {
    m_strOutput = outputPath;
    m_vecCalls.push_back("init " + std::to_string(pageCount));
    return true;
  }
  void SetSlideSize(float width, float height) override {
    m_vecCalls.push_back("size " + std::to_string(static_cast<int>(width)) + "x" +
                         std::to_string(static_cast<int>(height)));
  }
  bool SetFirstPage(nsPDFData::CTextPage& page) override {
    m_vecCalls.push_back("first " + Size(page));
    return true;
  }
  bool WriteSlide(nsPDFData::CTextPage& page, int slide) override {
    m_vecCalls.push_back("slide " + std::to_string(slide) + " " + Size(page));
    return true;
  }
  bool Finish() override {
    m_vecCalls.push_back("finish");
    return WriteFile(m_strOutput, "pptx");
  }
  std::wstring GetLastError() const override { return L""; }

  std::wstring m_strOutput;
};

// Records every notification; an optional action runs on each (on the worker thread).
class CRecordingSink : public IConvertSink {
 public:
  void OnConvertNotify(const CConvertNotify& notify) override {
    std::function<void(const CConvertNotify&)> action;
    {
      std::lock_guard lock(m_mutex);
      m_vecNotes.push_back(notify);
      if (notify.m_pszMessage) m_vecMessages.push_back(notify.m_pszMessage);
      action = m_onNotify;
    }
    if (action) action(notify);
    m_changed.notify_all();
  }

  std::vector<float> Progress() {
    std::lock_guard lock(m_mutex);
    std::vector<float> out;
    for (const auto& n : m_vecNotes)
      if (n.m_nNotifyType == NOTIFY_PROGRESS) out.push_back(n.m_fProgress);
    return out;
  }

  // Results (types 0 to 2) as (item index, type) pairs, in arrival order.
  std::vector<std::pair<int, int>> Results() {
    std::lock_guard lock(m_mutex);
    std::vector<std::pair<int, int>> out;
    for (const auto& n : m_vecNotes)
      if (n.m_nNotifyType != NOTIFY_PROGRESS) out.emplace_back(n.m_nItemIndex, n.m_nNotifyType);
    return out;
  }

  // Waits until `count` results arrived; false after the timeout.
  bool WaitForResults(size_t count, std::chrono::seconds timeout = std::chrono::seconds(60)) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] {
      size_t results = 0;
      for (const auto& n : m_vecNotes) results += n.m_nNotifyType != NOTIFY_PROGRESS;
      return results >= count;
    });
  }

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<CConvertNotify> m_vecNotes;
  std::vector<std::wstring> m_vecMessages;
  std::function<void(const CConvertNotify&)> m_onNotify;
};

}  // namespace fakes
