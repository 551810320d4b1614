// CVelluminDlg, the file list: adding, dropping, removing and clearing files, the list's
// events, the password of a locked file, and the preview of the selected file.
#include "app/VelluminDlg.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>

#include "app/AppDialogs.h"
#include "app/AppMessages.h"
#include "app/EncryptTipDlg.h"
#include "app/InputPasswordDlg.h"
#include "app/ListCtrlEx.h"
#include "app/VelluminDlgInternal.h"
#include "app/preview/PreviewPane.h"
#include "driver/OutputKind.h"
#include "driver/PageRange.h"
#include "pdf/MuInterface.h"
#include "settings/ConfigFile.h"

using vellumindlg::ToQt;

CVelluminDlg::CAddResult CVelluminDlg::AddFiles(const QStringList& paths, bool bDropped) {
  CAddResult result;
  QString rejected;
  int firstNewRow = -1;
  for (const QString& path : paths) {
    const int row = AdmitFile(path, bDropped, rejected, result);
    if (row >= 0 && firstNewRow < 0) firstNewRow = row;
  }
  if (result.m_nRejected > 0)
    appdlg::ShowMessageBox(this,
                           QStringLiteral("Cannot import following files because they are not normal PDF files:") +
                               rejected,
                           QStringLiteral("Error"), QMessageBox::Ok, QMessageBox::Warning);
  if (result.m_nLocked > 0) ShowEncryptTip();
  if (m_listFiles->topLevelItemCount() > 0 && firstNewRow >= 0) SelectRow(firstNewRow);
  m_listFiles->setFocus();
  return result;
}

// Returns the new row, or -1 when the file was skipped or rejected.
int CVelluminDlg::AdmitFile(const QString& path, bool bDropped, QString& rejected, CAddResult& result) {
  // A file that cannot be read (or is a folder) is skipped without a message.
  if (QFileInfo(path).isDir()) return -1;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const qint64 size = file.size();
  file.close();

  auto item = std::make_unique<CFileItem>();
  item->m_strPath = path.toStdWString();
  item->m_strFileName = QFileInfo(path).fileName().toStdWString();
  item->m_strSizeText = FormatSizeText(static_cast<uint64_t>(std::max<qint64>(size, 0)));
  item->m_strPageRange = L"All Pages";

  const int check = CMuInterface::CheckDocument(item->m_strPath, "", "");
  if (check >= 1 || (check == 0 && bDropped)) {
    item->m_nPageCount = check;
    if (check >= 1) item->m_pPreview = std::make_unique<CPreviewDoc>(item->m_strPath, std::string());
  } else if (check == OPEN_NEEDS_PASSWORD) {
    item->m_bLocked = true;
  } else {
    rejected += QStringLiteral("\n    \"") + path + QLatin1Char('"');
    ++result.m_nRejected;
    return -1;
  }

  item->m_nIndex = m_fileItems.Count() + 1;
  item->m_nKind = KIND_POWERPOINT;
  item->m_nStatus = ITEM_ADDED;
  item->m_strStatusText = GetKindName(item->m_nKind);
  const bool locked = item->m_bLocked;
  const int row = m_listFiles->AddRow(locked, ToQt(item->m_strFileName), ToQt(item->m_strSizeText),
                                      check < 0 ? QStringLiteral("Unknown") : QString::number(check),
                                      ToQt(item->m_strStatusText));
  m_fileItems.Append(std::move(item));
  ++result.m_nAdded;
  if (locked) ++result.m_nLocked;

  m_bListEmpty = false;
  if (!locked) m_bNoConvertibleFile = false;
  UpdateControlStates();
  return row;
}

void CVelluminDlg::OnBtnAdd() {
  const QStringList paths = appdlg::ChooseOpenFiles(this);
  if (paths.isEmpty()) return;
  AddFiles(paths, false);
}

void CVelluminDlg::OnDropFiles(const QStringList& paths) {
  if (m_bConverting) return;
  QStringList pdfs;
  for (const QString& path : paths)
    if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseSensitive)) pdfs << path;
  AddFiles(pdfs, true);
}

bool CVelluminDlg::AllItemsLockedWithoutPassword() {
  const int count = m_fileItems.Count();
  for (int i = 1; i <= count; ++i) {
    const CFileItem* item = m_fileItems.Find(i);
    if (item && !item->IsLockedWithoutPassword()) return false;
  }
  return true;
}

void CVelluminDlg::OnBtnRemove() {
  // Removing items renumbers them: never while a job carries an item's index.
  if (m_bConverting || m_listFiles->FirstSelectedRow() < 0) return;
  // The pane may show an item about to go.
  m_wndPreview->Reset();
  for (int row = m_listFiles->FirstSelectedRow(); row >= 0; row = m_listFiles->FirstSelectedRow()) {
    m_listFiles->RemoveRow(row);
    m_fileItems.RemoveAt(row + 1);
  }
  m_listFiles->RenumberRows();
  m_fileItems.Renumber();
  m_bHasSelection = false;
  const int left = m_fileItems.Count();
  m_bListEmpty = left == 0;
  m_bNoConvertibleFile = AllItemsLockedWithoutPassword();
  // The old preview index may now name another item (or none): show afresh.
  m_nPreviewIndex = 0;
  if (left > 0) {
    SelectRow(0);
  } else {
    ResetPreview();
    UpdateControlStates();
  }
}

void CVelluminDlg::OnBtnClear() {
  if (m_bConverting) return;
  m_wndPreview->Reset();
  m_listFiles->clear();
  m_fileItems.Clear();
  m_bListEmpty = true;
  m_bHasSelection = false;
  m_bNoConvertibleFile = false;
  m_nPreviewIndex = 0;
  ResetPreview();
  UpdateControlStates();
}

void CVelluminDlg::SelectRow(int nRow) {
  m_listFiles->SelectRowAlone(nRow);
  OnListItemEvent(nRow, LIST_EVENT_SELECTED);
}

void CVelluminDlg::OnListItemEvent(int nRow, int nCause) {
  if (nRow < 0) {
    m_bHasSelection = false;
    UpdateControlStates();
    return;
  }
  m_bHasSelection = true;
  ShowItemInPreview(nRow + 1);
  if (const CFileItem* item = m_fileItems.Find(nRow + 1)) ShowItemOptions(*item);
  UpdateControlStates();

  if (nCause == LIST_EVENT_FIRST_COLUMN) {
    // The lock icon of the current row asks for its password; not while a batch runs, whose
    // jobs would otherwise meet files changing under them.
    if (!m_bConverting && m_listFiles->currentItem() && m_listFiles->IsRowLocked(nRow) && InputPassword(nRow + 1)) {
      m_bNoConvertibleFile = false;
      UpdateControlStates();
    }
  } else if (nCause == LIST_EVENT_STATUS_COLUMN) {
    OnStatusClicked(nRow + 1);
  }
}

QString CVelluminDlg::PagesCellText(const CFileItem& item) {
  if (item.IsLockedWithoutPassword()) return QStringLiteral("Unknown");
  if (MeansAllPages(item.m_strPageRange)) return QString::number(item.m_nPageCount);
  return QStringLiteral("Part");
}

void CVelluminDlg::ShowItemInPreview(int nIndex) {
  if (nIndex == m_nPreviewIndex) return;
  // A range typed for the item shown so far is its own, even when the focus never left the
  // edit (a drop, a batch moving on): hand it over before the controls show another item.
  if (m_editRange->isModified()) CommitRangeEdit(false);
  m_nPreviewIndex = nIndex;
  CFileItem* item = m_fileItems.Find(nIndex);
  if (!item) {
    ResetPreview();
    return;
  }
  m_lblPageCount->setText(item->IsLockedWithoutPassword() ? QString()
                                                          : QStringLiteral("/ %1").arg(item->m_nPageCount));
  if (item->IsLockedWithoutPassword() || !item->m_pPreview) {
    m_wndPreview->ShowItem(nullptr);
    m_editPage->clear();
    return;
  }
  m_wndPreview->ShowItem(item->m_pPreview.get());
}

void CVelluminDlg::ResetPreview() {
  m_wndPreview->Reset();
  m_lblPageCount->clear();
  m_editPage->clear();
}

void CVelluminDlg::OnPageEditKillFocus() {
  if (m_wndPreview->Doc()) m_wndPreview->GoToPage(m_editPage->text().trimmed().toInt());
}

void CVelluminDlg::ShowEncryptTip() {
  const std::wstring show = m_pConfig->GetValue(L"ShowEncryptedTip");
  if (!show.empty() && show != L"YES") return;
  CEncryptTipDlg tip(this);
  if (tip.exec() == QDialog::Accepted && tip.IsDontShowChecked() && m_pConfig->IsEnabled())
    m_pConfig->SetValue(L"ShowEncryptedTip", L"NO");
}

bool CVelluminDlg::InputPassword(int nIndex) {
  CFileItem* item = m_fileItems.Find(nIndex);
  if (!item) return false;
  CInputPasswordDlg dialog(this);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QString password = dialog.Password();
  const std::string utf8 = password.toStdString();
  const int pages = CMuInterface::CheckDocument(item->m_strPath, utf8, utf8);
  if (pages < 1) return false;

  // The pane never shows a locked item, but let go of any state before replacing it.
  if (m_nPreviewIndex == nIndex) m_wndPreview->Reset();
  m_fileItems.SetPasswordAndPages(nIndex, password.toStdWString(), pages);
  item->m_pPreview = std::make_unique<CPreviewDoc>(item->m_strPath, utf8);
  const int row = nIndex - 1;
  m_listFiles->SetRowLocked(row, false);
  m_listFiles->RenumberRows();
  m_listFiles->SetPagesText(row, PagesCellText(*item));
  // Show the item afresh, now with its pages.
  m_nPreviewIndex = 0;
  ShowItemInPreview(nIndex);
  m_listFiles->setFocus();
  return true;
}
