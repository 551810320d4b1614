#include "update/UpdateDownloadDlg.h"

#include "update/UpdateConfig.h"
#include "update/UpdateHooks.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace {

// Bytes to kilobytes, rounded up.
qint64 CeilKb(qint64 nBytes)
{
    return nBytes > 0 ? (nBytes + 1023) / 1024 : 0;
}

}  // namespace

CUpdateDownloadDlg::CUpdateDownloadDlg(QWidget* pParent)
    : QWidget(pParent), m_pMonitor(new CDownloadMonitor(this)), m_starter(&StartInstallerProcess)
{
    auto* pLayout = new QGridLayout(this);
    pLayout->addWidget(new QLabel(QStringLiteral("Downloading..."), this), 0, 0, 1, 2);
    pLayout->addWidget(new QLabel(QStringLiteral("Total Progress :"), this), 1, 0);
    m_pLblTotal = new QLabel(QStringLiteral("0"), this);
    pLayout->addWidget(m_pLblTotal, 1, 1);
    pLayout->addWidget(new QLabel(QStringLiteral("Current Speed:"), this), 2, 0);
    m_pLblSpeed = new QLabel(this);
    pLayout->addWidget(m_pLblSpeed, 2, 1);
    pLayout->addWidget(new QLabel(QStringLiteral("Remain time:"), this), 3, 0);
    m_pLblRemain = new QLabel(this);
    pLayout->addWidget(m_pLblRemain, 3, 1);
    m_pProgress = new QProgressBar(this);
    m_pProgress->setRange(0, 100);
    m_pProgress->setValue(0);
    pLayout->addWidget(m_pProgress, 4, 0, 1, 2);
    m_pBtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    pLayout->addWidget(m_pBtnCancel, 5, 1, Qt::AlignRight);
    pLayout->setColumnStretch(1, 1);
    pLayout->setRowStretch(6, 1);

    connect(m_pBtnCancel, &QPushButton::clicked, this, [this] { CloseView(); });
    connect(&m_manager, &FCHttpDownloadManager::Connected, this, &CUpdateDownloadDlg::OnConnected);
    connect(&m_manager, &FCHttpDownloadManager::Finished, this, &CUpdateDownloadDlg::OnFinished);
    hide();
}

CUpdateDownloadDlg::~CUpdateDownloadDlg()
{
    m_manager.RemoveAll();
}

void CUpdateDownloadDlg::SetInstallerStarter(InstallerStarter starter)
{
    m_starter = starter ? std::move(starter) : InstallerStarter(&StartInstallerProcess);
}

QString CUpdateDownloadDlg::TotalProgressText() const { return m_pLblTotal->text(); }
QString CUpdateDownloadDlg::SpeedText() const { return m_pLblSpeed->text(); }
QString CUpdateDownloadDlg::RemainTimeText() const { return m_pLblRemain->text(); }
int CUpdateDownloadDlg::ProgressValue() const { return m_pProgress->value(); }

void CUpdateDownloadDlg::StartDownload(const QString& strUrl)
{
    m_pLblTotal->setText(QStringLiteral("0"));
    m_pLblSpeed->clear();
    m_pLblRemain->clear();
    m_pProgress->setValue(0);
    m_nContentLength = 0;
    show();

    m_manager.RemoveAll();
    m_file.Empty();
    if (!update::IsValidInstallerUrl(strUrl)) {
        update::ShowMessageBox(this, QStringLiteral("Error"), QStringLiteral("URL error"));
        CloseView();
        return;
    }
    FCHttpDownloadOptions options;
    options.m_strUrl = strUrl;
    options.m_nTimeoutMs = m_nTimeoutMs;
    options.m_nMaxBytes = m_nMaxBytes;
    m_pMonitor->Start(m_manager.AddDownload(options));
}

void CUpdateDownloadDlg::CloseView(bool bNotify)
{
    m_manager.RemoveAll();
    const bool bWasVisible = !isHidden();
    hide();
    if (bNotify && bWasVisible)
        emit Closed();
}

bool CUpdateDownloadDlg::event(QEvent* pEvent)
{
    if (pEvent->type() == static_cast<QEvent::Type>(WM_HTTP_DOWNLOAD_NOTIFY)) {
        OnMonitor(static_cast<CDownloadNotifyEvent*>(pEvent)->Task());
        return true;
    }
    return QWidget::event(pEvent);
}

void CUpdateDownloadDlg::OnMonitor(int nTask)
{
    FCHttpDownload* pDownload = m_manager.FindDownload(nTask);
    if (!pDownload) {
        m_pMonitor->Stop(nTask);
        return;
    }
    if (isHidden())
        return;
    MoveReceivedBytes(*pDownload, m_file);
    RefreshTexts(*pDownload);
}

void CUpdateDownloadDlg::RefreshTexts(const FCHttpDownload& download)
{
    const qint64 nSpeed = download.Speed().CurrentSpeed();
    const qint64 nReceived = download.Speed().TotalBytes();
    m_pLblSpeed->setText(QStringLiteral("%1 Kb / S").arg(CeilKb(nSpeed)));
    if (nSpeed > 0 && m_nContentLength > 0) {
        const qint64 nLeft = std::max<qint64>(0, m_nContentLength - nReceived);
        const qint64 nSeconds = (nLeft + nSpeed - 1) / nSpeed;
        m_pLblRemain->setText(QStringLiteral("%1 minitus %2 seconds (%3 Kb / %4 Kb)")
                                  .arg(nSeconds / 60)
                                  .arg(nSeconds % 60)
                                  .arg(CeilKb(nReceived))
                                  .arg(CeilKb(m_nContentLength)));
    } else {
        m_pLblRemain->setText(
            QStringLiteral("Unknown, (%1 Kb / %2 Kb)").arg(CeilKb(nReceived)).arg(CeilKb(m_nContentLength)));
    }
    if (m_nContentLength > 0 && nReceived > 0) {
        // 64-bit arithmetic: received x 100 passes 32 bits for installers above 42 MB.
        const qint64 nPercent = nReceived * 100 / m_nContentLength;
        m_pLblTotal->setText(QString::number(nPercent));
        m_pProgress->setValue(static_cast<int>(std::min<qint64>(nPercent, 100)));
    }
    emit Refreshed();
}

void CUpdateDownloadDlg::OnConnected(int nTask)
{
    FCHttpDownload* pDownload = m_manager.FindDownload(nTask);
    if (!pDownload)
        return;
    if (pDownload->StatusCode() == 0) {
        // Removed before the box: its finished event must not arrive while the box is open.
        m_manager.RemoveAll();
        update::ShowMessageBox(this, QStringLiteral("Error"), QStringLiteral("cannot connect to server"));
        // Nothing runs behind the view any more.
        CloseView();
        return;
    }
    m_nContentLength = pDownload->HasContentLength() ? pDownload->ContentLength() : 0;
}

void CUpdateDownloadDlg::OnFinished(int nTask)
{
    FCHttpDownload* pDownload = m_manager.FindDownload(nTask);
    if (!pDownload)
        return;
    MoveReceivedBytes(*pDownload, m_file);
    const QString strError = DownloadErrorText(*pDownload, m_file);
    m_manager.RemoveAll();
    if (!strError.isEmpty()) {
        update::ShowMessageBox(this, QStringLiteral("Download Status"), strError);
        CloseView();
        return;
    }
    InstallCompleteFile();
}

void CUpdateDownloadDlg::InstallCompleteFile()
{
    const QString strFolder = QFileInfo(m_file.Path()).absolutePath();
    const QString strName = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const QString strInstaller = strFolder + QLatin1Char('/') + strName;
    if (!m_file.RenameTo(strInstaller) || !m_starter(strInstaller)) {
        CloseView();
        return;
    }
    emit InstallerStarted(strInstaller);
}

bool CUpdateDownloadDlg::StartInstallerProcess(const QString& strPath)
{
    QFile::setPermissions(strPath, QFile::permissions(strPath) | QFileDevice::ExeOwner | QFileDevice::ExeUser |
                                       QFileDevice::ReadOwner | QFileDevice::ReadUser);
    return QProcess::startDetached(strPath, {}, QFileInfo(strPath).absolutePath());
}
