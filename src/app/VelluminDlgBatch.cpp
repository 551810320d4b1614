// CVelluminDlg, the batch: Convert and Cancel, building each file's job, the worker's
// notifications, the files' statuses, and opening a finished file from its status cell.
#include "app/VelluminDlg.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <iterator>

#include "app/AppDialogs.h"
#include "app/ListCtrlEx.h"
#include "app/VelluminDlgInternal.h"
#include "driver/Converter.h"
#include "driver/OutputKind.h"
#include "driver/OutputPath.h"
#include "driver/PageRange.h"

namespace {

using vellumindlg::kNoFolderText;
using vellumindlg::ToQt;

constexpr qint64 kOpenPauseMs = 500;   // a second click this soon after opening an output is ignored

}  // namespace

void CVelluminDlg::OnBtnConvert() {
  if (m_bConverting || !m_pConverter) return;
  // A range typed but not handed over yet (the focus never left the edit) belongs to this
  // batch; an invalid one stops it here, with its box.
  if (m_editRange->isModified() && !CommitRangeEdit(false)) return;
  if (!IsExistingFolder(m_editOutputDir->text())) {
    appdlg::ShowMessageBox(this, QString::fromLatin1(kNoFolderText), QStringLiteral("ERROR"), QMessageBox::Ok,
                           QMessageBox::Warning);
    return;
  }
  m_bConverting = true;
  m_bCancelRequested = false;
  const int count = m_fileItems.Count();
  for (int i = 1; i <= count; ++i)
    if (CFileItem* item = m_fileItems.Find(i)) SetItemStatus(*item, ITEM_WAITING, L"Waiting...");
  BuildNextJob(1);
  UpdateControlStates();
}

void CVelluminDlg::OnBtnCancel() {
  // The batch ends when the worker reports the cancelled job.
  if (!m_bConverting || !m_pConverter) return;
  m_bCancelRequested = true;
  m_pConverter->CancelJobs();
}

void CVelluminDlg::EndBatch() {
  m_bConverting = false;
  m_bCancelRequested = false;
  UpdateControlStates();
}

void CVelluminDlg::BuildNextJob(int nIndex) {
  m_progress->setValue(0);
  CFileItem* item = m_fileItems.Find(nIndex);
  if (!item || !m_pConverter) {
    EndBatch();
    return;
  }
  SelectRow(nIndex - 1);

  // Files still locked are passed over.
  while (item->IsLockedWithoutPassword()) {
    SetItemStatus(*item, ITEM_SKIPPED, L"Skipped");
    item = m_fileItems.Find(++nIndex);
    if (!item) {
      EndBatch();
      return;
    }
    SelectRow(nIndex - 1);
  }
  m_nCurJobIndex = nIndex;

  // Reported as the worker would, later, so that the batch never recurses: the file fails
  // with its reason and the batch goes on.
  auto failLater = [this, nIndex](const QString& strReason) {
    QTimer::singleShot(0, this, [this, nIndex, reason = strReason.toStdWString()] {
      CConvertNotify notify;
      notify.m_nItemIndex = nIndex;
      notify.m_nNotifyType = NOTIFY_FAILED;
      notify.m_pszMessage = reason.c_str();
      OnConvertNotify(notify);
    });
  };
  // The folder is read afresh for every job and must still exist, as typed, now: otherwise
  // an emptied or relative text would send the output somewhere the user never chose.
  const QString folder = m_editOutputDir->text();
  if (!IsExistingFolder(folder)) {
    failLater(QString::fromLatin1(kNoFolderText));
    return;
  }

  CConvertJob job;
  job.m_strInputPath = item->m_strPath;
  job.m_strOutputPath = MakeUniqueOutputPath(folder.toStdWString(), item->m_strFileName, item->m_nKind);
  item->m_strOutputPath = job.m_strOutputPath;
  item->m_strOutputName = ToQt(job.m_strOutputPath).section(QLatin1Char('/'), -1).toStdWString();
  job.m_vecPages = GetPageList(item->m_strPageRange, item->m_nPageCount);
  if (item->m_bLocked) {
    job.m_strUserPassword = QString::fromStdWString(item->m_strUserPassword).toStdString();
    job.m_strOwnerPassword = QString::fromStdWString(item->m_strOwnerPassword).toStdString();
  }
  job.m_nKind = item->m_nKind;
  job.m_nWriterMode = item->m_nWriterMode;
  job.m_nImageDpi = item->m_nKind == KIND_IMAGE ? item->m_nImageDpi : 0;
  if (item->m_nKind == KIND_EXCEL || item->m_nKind == KIND_CSV) {
    const int set = item->m_nKind == KIND_EXCEL ? 0 : 1;
    std::copy(std::begin(item->m_arrSheetOptions[set]), std::end(item->m_arrSheetOptions[set]),
              job.m_arrSheetOptions.begin());
  }
  job.m_nItemIndex = nIndex;

  if (job.m_strOutputPath.empty()) {
    // No free name (or the folder kind's folder could not be made).
    failLater(QStringLiteral("No output name is free in the output folder."));
    return;
  }
  m_pConverter->AddJobs({job});
}

void CVelluminDlg::OnConvertNotify(const CConvertNotify& notify) {
  auto setProgress = [this](int value) {
    if (value >= m_progress->minimum() && value <= m_progress->maximum()) m_progress->setValue(value);
  };
  const QString message = notify.m_pszMessage ? QString::fromWCharArray(notify.m_pszMessage) : QString();
  switch (notify.m_nNotifyType) {
    case NOTIFY_PROGRESS:
      if (notify.m_nItemIndex == m_nCurJobIndex) setProgress(static_cast<int>(notify.m_fProgress * 100.0f));
      break;
    case NOTIFY_CANCELLED:
      EndBatch();
      break;
    case NOTIFY_DONE:
    case NOTIFY_FAILED: {
      setProgress(100);
      if (!m_bConverting || notify.m_nItemIndex != m_nCurJobIndex) return;
      CFileItem* item = m_fileItems.Find(notify.m_nItemIndex);
      if (item) {
        if (notify.m_nNotifyType == NOTIFY_DONE)
          SetItemStatus(*item, ITEM_DONE, FormatDoneText(item->m_strOutputName), item->m_strOutputName);
        else
          SetItemStatus(*item, ITEM_FAILED, L"Failed");
        // Why it failed, or what a finished file warns about (pages left blank).
        m_listFiles->SetStatusTip(item->m_nIndex - 1, message);
      }
      m_progress->repaint();
      // A Cancel pressed while this job was finishing still ends the batch.
      if (m_bCancelRequested)
        EndBatch();
      else
        BuildNextJob(notify.m_nItemIndex + 1);
      return;
    }
    default:
      return;
  }
  m_progress->repaint();
}

void CVelluminDlg::SetItemStatus(CFileItem& item, int nStatus, const std::wstring& strText,
                                 const std::wstring& strOutputName) {
  item.m_nStatus = nStatus;
  item.m_strStatusText = strText;
  m_listFiles->SetStatusText(item.m_nIndex - 1, ToQt(strText), ToQt(strOutputName));
}

void CVelluminDlg::OnStatusClicked(int nIndex) {
  const CFileItem* item = m_fileItems.Find(nIndex);
  if (!item || item->m_nStatus != ITEM_DONE || item->m_strOutputPath.empty()) return;
  // A double click must not open the file twice.
  const qint64 now = m_fnNowMs();
  if (m_nOpenedAtMs >= 0 && now - m_nOpenedAtMs < kOpenPauseMs) return;
  if (QDesktopServices::openUrl(QUrl::fromLocalFile(ToQt(item->m_strOutputPath)))) m_nOpenedAtMs = now;
}
