#pragma once
// The update window "Online Update". A check downloads the release description into the
// window's temporary file and compares its version with the program's own; the window
// appears on its own only when a newer release is found. "Update" hands the installer
// address to the progress view.
//
// Use from the main window: create it hidden with the main window as parent, call
// StartCheck() at the end of start-up (silent, never blocks), and ShowAndCheck() from
// "Check for Update...". After the installer has started the window emits QuitRequested();
// when nothing is connected to that signal it posts QCoreApplication::quit() instead.

#include "update/DownloadNotify.h"
#include "update/HttpDownloadManager.h"
#include "update/TempDownloadFile.h"
#include "update/UpdateDownloadDlg.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class CDownloadDlg : public QDialog
{
    Q_OBJECT
public:
    enum class EState { Idle, Checking, Failed, Latest, NewRelease, Downloading };

    // Made hidden; pMainWindow (may be null) is the window it centres itself over.
    explicit CDownloadDlg(QWidget* pMainWindow);
    ~CDownloadDlg() override;
    CDownloadDlg(const CDownloadDlg&) = delete;
    CDownloadDlg& operator=(const CDownloadDlg&) = delete;

    // Starts a check from any state. A hidden window stays hidden unless a newer release is
    // found; then it centres itself over the main window and shows.
    void StartCheck();
    // The menu command: centre over the main window, show, and check.
    void ShowAndCheck();

    EState State() const { return m_eState; }
    // The what's-new lines of the last newer release, joined with CR LF.
    QString WhatsNewText() const { return m_strWhatsNew; }
    // The installer address of the last newer release.
    QString InstallerUrl() const { return m_strInstallerUrl; }
    QString TempFilePath() const { return m_file.Path(); }
    CUpdateDownloadDlg* ProgressView() const { return m_pProgressView; }

    // Milliseconds without progress before a download gives up (both windows).
    void SetTimeout(int nTimeoutMs);
    void SetInstallerStarter(CUpdateDownloadDlg::InstallerStarter starter);

signals:
    // The installer has started; the main window should end the program.
    void QuitRequested();

protected:
    bool event(QEvent* pEvent) override;
    // "Cancel", Escape and the frame's close button: remove all downloads and close.
    void reject() override;

private:
    void ShowState(EState eState);
    void CentreOverMainWindow();
    void OnConnected(int nTask);
    void OnFinished(int nTask);
    void OnUpdate();
    void OnInstallerStarted();

    QWidget* m_pMainWindow;          // not owned
    FCHttpDownloadManager m_manager;
    CDownloadMonitor* m_pMonitor;    // child
    CTempDownloadFile m_file;        // receives the release description
    EState m_eState = EState::Idle;
    int m_nTimeoutMs = FCHttpDownloadOptions().m_nTimeoutMs;
    QString m_strWhatsNew;           // CR LF between lines
    QString m_strInstallerUrl;

    QLabel* m_pPicture;
    QLabel* m_pLblChecking;          // "Checking for the latest version."
    QLabel* m_pLblFailed1;           // first line of the failed state
    QLabel* m_pLblFailed2;           // second line of the failed state
    QLabel* m_pLblLatest;            // "This is the latest version."
    QLabel* m_pLblNewFound;          // "New release found!"
    QLabel* m_pLblProduct;           // Product + " V" + Version
    QLabel* m_pLblWhatsNew;          // "What's new:"
    QPlainTextEdit* m_pEditWhatsNew; // the what's-new box
    QPushButton* m_pBtnUpdate;
    QPushButton* m_pBtnCancel;
    CUpdateDownloadDlg* m_pProgressView;
};
