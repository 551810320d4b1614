// CVelluminDlg, the output options of the selected files: the output kind (format box,
// Apply to All), the page range (radio buttons, range edit and its checks) and the output
// folder (its start value, Browse, Open).
#include "app/VelluminDlg.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>
#include <filesystem>

#include "app/AppDialogs.h"
#include "app/ListCtrlEx.h"
#include "app/VelluminDlgInternal.h"
#include "app/preview/PreviewPane.h"
#include "driver/OutputKind.h"
#include "driver/PageRange.h"
#include "platform/Strings.h"
#include "settings/ConfigFile.h"

namespace {

using vellumindlg::kNoFolderText;
using vellumindlg::ToQt;

const char* const kDefaultFolderName = "Tessaly Pagevane";
const char* const kInvalidRangeText =
    "Page range is invalid, please try again (e.g. 1,3-5,\n19 comma between numbers, no space),\n"
    "or click cancel to set for all pages";

}  // namespace

void CVelluminDlg::InitOutputFolder(const QString& strDocumentsDir) {
  const std::wstring stored = m_pConfig->GetValue(L"OutputDir");
  if (!stored.empty()) {
    m_editOutputDir->setText(ToQt(stored));
    return;
  }
  if (strDocumentsDir.isEmpty()) {
    // No Documents folder is known: the edit holds the folder's name only, nothing is made.
    m_editOutputDir->setText(QLatin1String(kDefaultFolderName));
    return;
  }
  const QString folder = QDir(strDocumentsDir).filePath(QLatin1String(kDefaultFolderName));
  if (auto path = platform::ToPath(folder.toStdWString())) {
    std::error_code ec;
    std::filesystem::create_directories(*path, ec);
  }
  m_editOutputDir->setText(folder);
  if (m_pConfig->IsEnabled()) m_pConfig->SetValue(L"OutputDir", folder.toStdWString());
}

void CVelluminDlg::ShowItemOptions(const CFileItem& item) {
  m_cboFormat->setCurrentIndex(item.m_nKind == KIND_TEXT ? 1 : 0);
  if (item.m_strPageRange == L"All Pages") {
    m_editRange->clear();
    m_radAllPages->setChecked(true);
    m_radPageRange->setChecked(false);
  } else {
    m_radPageRange->setChecked(true);
    m_radAllPages->setChecked(false);
    m_editRange->setText(ToQt(item.m_strPageRange));
  }
}

int CVelluminDlg::KindOfBoxIndex(int nIndex) { return nIndex == 1 ? KIND_TEXT : KIND_POWERPOINT; }

void CVelluminDlg::SetItemKind(CFileItem& item, int nKind) {
  // Any new kind also drops the finished output's name: the row offers the kind again.
  item.m_nKind = nKind;
  SetItemStatus(item, ITEM_ADDED, GetKindName(nKind));
}

void CVelluminDlg::OnFormatChanged(int nIndex) {
  if (m_bConverting || nIndex < 0) return;
  const int kind = KindOfBoxIndex(nIndex);
  for (int row : m_listFiles->SelectedRows())
    if (CFileItem* item = m_fileItems.Find(row + 1)) SetItemKind(*item, kind);
  UpdateControlStates();
  m_wndPreview->update();
}

void CVelluminDlg::OnBtnApplyAll() {
  const int index = m_cboFormat->currentIndex();
  if (m_bConverting || index < 0) return;
  const int kind = KindOfBoxIndex(index);
  const int count = m_fileItems.Count();
  for (int i = 1; i <= count; ++i)
    if (CFileItem* item = m_fileItems.Find(i)) SetItemKind(*item, kind);
}

void CVelluminDlg::OnRadAllPages() {
  m_editRange->clear();
  for (int row : m_listFiles->SelectedRows()) {
    if (CFileItem* item = m_fileItems.Find(row + 1)) {
      item->m_strPageRange = L"All Pages";
      m_listFiles->SetPagesText(row, PagesCellText(*item));
    }
  }
}

void CVelluminDlg::OnRadPageRange() { m_editRange->setFocus(); }

void CVelluminDlg::OnRangeTextChanged(const QString& text) {
  if (!text.isEmpty()) {
    m_radPageRange->setChecked(true);
    m_radAllPages->setChecked(false);
  }
  const CFileItem* item = m_fileItems.Find(m_nPreviewIndex);
  const int pages = item ? item->m_nPageCount : 0;
  m_lblInvalid->setVisible(!CheckPageRange(text.toStdWString(), pages));
}

void CVelluminDlg::SetItemAllPages(CFileItem& item, bool bFocusRadio) {
  item.m_strPageRange = L"All Pages";
  m_editRange->clear();
  m_radAllPages->setChecked(true);
  m_radPageRange->setChecked(false);
  m_lblInvalid->hide();
  m_listFiles->SetPagesText(item.m_nIndex - 1, PagesCellText(item));
  // Moved once the focus change under way has finished.
  if (bFocusRadio) QTimer::singleShot(0, m_radAllPages, [radio = m_radAllPages] { radio->setFocus(); });
}

void CVelluminDlg::OnRangeEditKillFocus() { CommitRangeEdit(true); }

// The previewed item takes the text: empty means all pages, a valid range is kept as typed,
// an invalid one asks the user (after the focus change or the command under way has finished).
bool CVelluminDlg::CommitRangeEdit(bool bFocusLost) {
  CFileItem* item = m_fileItems.Find(m_nPreviewIndex);
  if (!item) return true;
  const QString text = m_editRange->text();
  if (text.isEmpty()) {
    SetItemAllPages(*item, bFocusLost);
  } else if (CheckPageRange(text.toStdWString(), item->m_nPageCount)) {
    item->m_strPageRange = text.toStdWString();
    m_listFiles->SetPagesText(item->m_nIndex - 1, PagesCellText(*item));
  } else {
    if (!m_bRangeBoxPending) {
      m_bRangeBoxPending = true;
      const int index = item->m_nIndex;
      QTimer::singleShot(0, this, [this, index, text] { OnInvalidRangeLeft(index, text); });
    }
    return false;
  }
  m_editRange->setModified(false);
  return true;
}

// `strText` is the invalid text item nIndex was left with. The item keeps its earlier range
// until the user puts the text right or gives it all pages.
void CVelluminDlg::OnInvalidRangeLeft(int nIndex, const QString& strText) {
  const CFileItem* left = m_fileItems.Find(nIndex);
  // The text may have been put right, or the item gone, since it was left.
  if (!left || (nIndex == m_nPreviewIndex &&
                CheckPageRange(m_editRange->text().toStdWString(), left->m_nPageCount))) {
    m_bRangeBoxPending = false;
    return;
  }
  const int answer = appdlg::ShowMessageBox(this, QString::fromLatin1(kInvalidRangeText), QStringLiteral("Error"),
                                            QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Warning);
  m_bRangeBoxPending = false;
  // The box ran an event loop: find the item again, and whether the controls still show it.
  CFileItem* item = m_fileItems.Find(nIndex);
  if (!item) return;
  if (nIndex == m_nPreviewIndex) {
    if (answer == QMessageBox::Ok)
      m_editRange->setFocus();
    else
      SetItemAllPages(*item, false);
    return;
  }
  // The controls moved on to another item: Cancel gives the item all pages without touching
  // them; OK shows the item again with its text to put right, unless a batch holds the list.
  if (answer != QMessageBox::Ok) {
    item->m_strPageRange = L"All Pages";
    m_listFiles->SetPagesText(nIndex - 1, PagesCellText(*item));
  } else if (!m_bConverting) {
    SelectRow(nIndex - 1);
    m_editRange->setText(strText);
    m_editRange->setModified(true);
    m_editRange->setFocus();
  }
}

bool CVelluminDlg::IsExistingFolder(const QString& strFolder) {
  return !strFolder.isEmpty() && QDir::isAbsolutePath(strFolder) && QFileInfo(strFolder).isDir();
}

void CVelluminDlg::OnBtnBrowse() {
  const QString folder = appdlg::ChooseFolder(this, QStringLiteral("Select Output Directory"), m_editOutputDir->text());
  if (folder.isEmpty()) return;
  const QString native = QDir::toNativeSeparators(folder);
  m_editOutputDir->setText(native);
  if (m_pConfig->IsEnabled()) m_pConfig->SetValue(L"OutputDir", native.toStdWString());
}

void CVelluminDlg::OnBtnOpen() {
  const QString folder = m_editOutputDir->text();
  if (!IsExistingFolder(folder)) {
    appdlg::ShowMessageBox(this, QString::fromLatin1(kNoFolderText), QStringLiteral("Error"), QMessageBox::Ok,
                           QMessageBox::Warning);
    return;
  }
  QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}
