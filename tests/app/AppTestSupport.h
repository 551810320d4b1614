#pragma once
// Shared by the desktop program's tests: fixture PDFs on disk, a recorder that answers the
// program's message boxes, and a driver that answers its own modal dialogs through their
// real widgets.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>

#include "TestSupport.h"
#include "app/AppDialogs.h"
#include "app/EncryptTipDlg.h"
#include "app/InputPasswordDlg.h"
#include "app/ListCtrlEx.h"
#include "app/VelluminDlg.h"

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

// While it lives, receives what the program opens with the desktop's "open" (files and
// folders) in place of the desktop.
class UrlRecorder : public QObject {
  Q_OBJECT

 public:
  UrlRecorder() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open"); }
  ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
  UrlRecorder(const UrlRecorder&) = delete;
  UrlRecorder& operator=(const UrlRecorder&) = delete;
  Q_INVOKABLE void Open(const QUrl& url) { m_vecOpened.push_back(url.toLocalFile()); }
  std::vector<QString> m_vecOpened;
};

// While it lives, answers the notice about locked files (ticking its box when asked) and the
// password dialog (typing the next queued answer and pressing OK; nullopt presses Cancel), as
// soon as one of them runs modally.
struct ModalDriver {
  ModalDriver() {
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Answer(); });
    m_timer.start();
  }
  ModalDriver(const ModalDriver&) = delete;
  ModalDriver& operator=(const ModalDriver&) = delete;

  void Answer() {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* tip = qobject_cast<CEncryptTipDlg*>(modal)) {
      ++m_nNotices;
      if (m_bTickNotice) QTest::mouseClick(tip->m_chkDontShow, Qt::LeftButton);
      QTest::mouseClick(tip->m_btnOk, Qt::LeftButton);
    } else if (auto* password = qobject_cast<CInputPasswordDlg*>(modal)) {
      ++m_nPasswordDialogs;
      std::optional<QString> answer;
      if (!m_queAnswers.empty()) {
        answer = m_queAnswers.front();
        m_queAnswers.pop_front();
      }
      m_bMasked = password->m_editPassword->echoMode() == QLineEdit::Password;
      m_nMaxLength = password->m_editPassword->maxLength();
      if (!answer) {
        QTest::mouseClick(password->m_btnCancel, Qt::LeftButton);
        return;
      }
      QTest::keyClicks(password->m_editPassword, *answer);
      QTest::mouseClick(password->m_btnOk, Qt::LeftButton);
    }
  }

  QTimer m_timer;
  bool m_bTickNotice = false;
  int m_nNotices = 0;
  int m_nPasswordDialogs = 0;
  std::deque<std::optional<QString>> m_queAnswers;
  bool m_bMasked = false;       // the last password dialog's edit hid its text
  int m_nMaxLength = 0;         // and held at most this many characters
};

// The presentation template tree, which the writers find in the program folder.
inline void CopyResources(const testing_support::TempDir& program) {
  std::error_code ec;
  std::filesystem::copy(PAGEVANE_RESOURCE_DIR, program / "Resource", std::filesystem::copy_options::recursive, ec);
}

// A main window over temporary program and documents folders, with a folder for input files
// and one for the outputs, and its modal dialogs answered.
struct AppWindow {
  ModalDriver m_modals;
  testing_support::TempDir m_program;
  testing_support::TempDir m_documents;
  testing_support::TempDir m_files;
  testing_support::TempDir m_out;
  CVelluminDlg m_dialog{ToQt(m_program.Path()), ToQt(m_documents.Path())};

  AppWindow() {
    CopyResources(m_program);
    m_dialog.m_editOutputDir->setText(ToQt(m_out.Path()));
    m_dialog.show();
    (void)QTest::qWaitForWindowExposed(&m_dialog);
  }

  CListCtrlEx& List() { return *m_dialog.m_listFiles; }
  QString Cell(int row, int column) { return List().topLevelItem(row)->text(column); }
  QStringList Column(int column) {
    QStringList texts;
    for (int r = 0; r < List().topLevelItemCount(); ++r) texts << Cell(r, column);
    return texts;
  }
  // The middle of a cell, in the list's viewport.
  QPoint CellCentre(int row, int column) {
    const QRect line = List().visualItemRect(List().topLevelItem(row));
    auto* header = List().header();
    return QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, line.center().y());
  }
  void ClickCell(int row, int column) {
    QTest::mouseClick(List().viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(row, column));
  }
  // Picks entry `index` of the output-format box with the keyboard, as a user would.
  void ChooseFormat(int index) {
    QComboBox* box = m_dialog.m_cboFormat;
    while (box->currentIndex() != index)
      QTest::keyClick(box, box->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
  }
  // Presses Convert and waits for the batch to end; false when it did not end in time.
  bool Convert() {
    QTest::mouseClick(m_dialog.m_btnConvert, Qt::LeftButton);
    return QTest::qWaitFor([this] { return !m_dialog.IsConverting(); }, 120000);
  }
  std::filesystem::path Out(const std::string& name) const { return m_out / name; }
};

// Tests never reach the network: an empty update address fails the check at once, silently.
inline void KeepUpdateOffline() {
  if (!qEnvironmentVariableIsSet("PAGEVANE_UPDATE_URL")) qputenv("PAGEVANE_UPDATE_URL", "");
}

}  // namespace app_test
