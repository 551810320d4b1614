#pragma once
// Shared by the desktop program's tests: fixture PDFs on disk and a recorder that answers
// the program's message boxes.

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <string>

#include "TestSupport.h"
#include "app/AppDialogs.h"

namespace app_test {

inline QString ToQt(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

// Writes a PDF of `pages` numbered pages (or with a user password) into `folder`.
inline QString WritePdf(const testing_support::TempDir& folder, const std::string& name, int pages,
                        const std::string& userPassword = {}) {
  fixtures::DocSpec docSpec = fixtures::NumberedPages(pages);
  if (!userPassword.empty()) docSpec.m_encryption = fixtures::Encryption{userPassword, "owner-" + userPassword};
  fixtures::WritePdf(folder / name, docSpec);
  return ToQt(folder / name);
}

inline QString WriteBytes(const testing_support::TempDir& folder, const std::string& name, const std::string& bytes) {
  fixtures::WriteBytes(folder / name, bytes);
  return ToQt(folder / name);
}

// Records every message box and answers it with `m_nAnswer`, for as long as it lives.
struct MessageBoxRecorder {
  struct Shown {
    QString m_strText;
    QString m_strTitle;
  };
  MessageBoxRecorder() {
    appdlg::SetMessageBoxHook([this](const QString& text, const QString& title, QMessageBox::StandardButtons) {
      m_vecShown.push_back({text, title});
      return m_nAnswer;
    });
  }
  ~MessageBoxRecorder() { appdlg::SetMessageBoxHook({}); }
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  std::vector<Shown> m_vecShown;
  int m_nAnswer = QMessageBox::Ok;
};

}  // namespace app_test
