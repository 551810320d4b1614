#pragma once
// The progress view of the online update: downloads the installer into its own temporary
// file with the total progress, current speed and remaining time, and once the transfer is
// complete renames the file after the running program and starts it.

#include "update/DownloadNotify.h"
#include "update/HttpDownloadManager.h"
#include "update/TempDownloadFile.h"

#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

class CUpdateDownloadDlg : public QWidget
{
    Q_OBJECT
public:
    // Starts the downloaded installer; true when it was started.
    using InstallerStarter = std::function<bool(const QString& strPath)>;

    explicit CUpdateDownloadDlg(QWidget* pParent);
    ~CUpdateDownloadDlg() override;
    CUpdateDownloadDlg(const CUpdateDownloadDlg&) = delete;
    CUpdateDownloadDlg& operator=(const CUpdateDownloadDlg&) = delete;

    // Shows the view with "0" as total progress, empties its file and downloads strUrl. An
    // address that is not a valid installer address (https, or http on this machine) shows
    // "URL error" and closes the view.
    void StartDownload(const QString& strUrl);
    // Removes the downloads and hides the view; bNotify emits Closed.
    void CloseView(bool bNotify = true);

    // The default starter makes the file executable and starts it detached.
    void SetInstallerStarter(InstallerStarter starter);
    void SetTimeout(int nTimeoutMs) { m_nTimeoutMs = nTimeoutMs; }
    // Most bytes an installer download takes before it ends as a failed read.
    void SetMaxBytes(qint64 nMaxBytes) { m_nMaxBytes = nMaxBytes; }

    QString TotalProgressText() const;
    QString SpeedText() const;
    QString RemainTimeText() const;
    int ProgressValue() const;
    QString TempFilePath() const { return m_file.Path(); }

    // Makes strPath executable and starts it detached; true when it started.
    static bool StartInstallerProcess(const QString& strPath);

signals:
    // The view closed after an error or a cancel.
    void Closed();
    // The complete installer was renamed to strPath and started.
    void InstallerStarted(const QString& strPath);
    // The texts were refreshed from a monitor message.
    void Refreshed();

protected:
    bool event(QEvent* pEvent) override;

private:
    void OnConnected(int nTask);
    void OnFinished(int nTask);
    void OnMonitor(int nTask);
    void RefreshTexts(const FCHttpDownload& download);
    void InstallCompleteFile();

    FCHttpDownloadManager m_manager;
    CDownloadMonitor* m_pMonitor;   // child
    CTempDownloadFile m_file;       // receives the installer
    qint64 m_nContentLength = 0;    // bytes, from the response; 0 when it gave none
    int m_nTimeoutMs = FCHttpDownloadOptions().m_nTimeoutMs;
    qint64 m_nMaxBytes = kDownloadMaxBytes;  // 4 GiB
    InstallerStarter m_starter;

    QLabel* m_pLblTotal;            // percentage text
    QLabel* m_pLblSpeed;            // "%d Kb / S"
    QLabel* m_pLblRemain;           // remaining time and kilobytes
    QProgressBar* m_pProgress;
    QPushButton* m_pBtnCancel;
};
