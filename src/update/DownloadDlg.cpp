#include "update/DownloadDlg.h"

#include "update/ReleaseDescription.h"
#include "update/UpdateConfig.h"
#include "update/VersionCompare.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMetaMethod>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

namespace {

constexpr int kWindowWidth = 520;
constexpr int kWindowHeight = 300;
constexpr int kTextLeft = 150;   // status texts and the progress view start here
constexpr int kViewHeight = 280;
// A release description is a few hundred bytes; a server sending more is not giving one.
constexpr qint64 kReleaseDescriptionMaxBytes = 1024 * 1024;

QLabel* MakeLabel(QWidget* pParent, const QString& strText, int nTop)
{
    auto* pLabel = new QLabel(strText, pParent);
    // Some texts come from the server: shown as they are, never read as markup.
    pLabel->setTextFormat(Qt::PlainText);
    pLabel->setGeometry(kTextLeft, nTop, kWindowWidth - kTextLeft - 15, 22);
    return pLabel;
}

}  // namespace

CDownloadDlg::CDownloadDlg(QWidget* pMainWindow)
    : QDialog(pMainWindow), m_pMainWindow(pMainWindow), m_pMonitor(new CDownloadMonitor(this))
{
    setWindowTitle(QStringLiteral("Online Update"));
    setFixedSize(kWindowWidth, kWindowHeight);

    m_pPicture = new QLabel(this);
    m_pPicture->setGeometry(15, 20, 120, 120);
    m_pPicture->setAlignment(Qt::AlignCenter);
    m_pPicture->setPixmap(style()->standardIcon(QStyle::SP_BrowserReload).pixmap(96, 96));

    m_pLblChecking = MakeLabel(this, QStringLiteral("Checking for the latest version."), 40);
    m_pLblFailed1 = MakeLabel(this, QStringLiteral("Failed, online upgrade requires Internet access,"), 40);
    m_pLblFailed2 = MakeLabel(this, QStringLiteral("please check your Internet setting and try again."), 64);
    m_pLblLatest = MakeLabel(this, QStringLiteral("This is the latest version."), 40);
    m_pLblNewFound = MakeLabel(this, QStringLiteral("New release found!"), 15);
    m_pLblProduct = MakeLabel(this, QString(), 40);
    m_pLblWhatsNew = MakeLabel(this, QStringLiteral("What's new:"), 70);
    m_pEditWhatsNew = new QPlainTextEdit(this);
    m_pEditWhatsNew->setReadOnly(true);
    m_pEditWhatsNew->setGeometry(kTextLeft, 95, kWindowWidth - kTextLeft - 15, 150);
    m_pBtnUpdate = new QPushButton(QStringLiteral("Update"), this);
    m_pBtnUpdate->setGeometry(kWindowWidth - 215, kWindowHeight - 42, 95, 28);
    m_pBtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_pBtnCancel->setGeometry(kWindowWidth - 110, kWindowHeight - 42, 95, 28);
    m_pProgressView = new CUpdateDownloadDlg(this);

    connect(m_pBtnUpdate, &QPushButton::clicked, this, &CDownloadDlg::OnUpdate);
    connect(m_pBtnCancel, &QPushButton::clicked, this, &CDownloadDlg::reject);
    connect(&m_manager, &FCHttpDownloadManager::Connected, this, &CDownloadDlg::OnConnected);
    connect(&m_manager, &FCHttpDownloadManager::Finished, this, &CDownloadDlg::OnFinished);
    connect(m_pProgressView, &CUpdateDownloadDlg::Closed, this, [this] { ShowState(EState::NewRelease); });
    connect(m_pProgressView, &CUpdateDownloadDlg::InstallerStarted, this, &CDownloadDlg::OnInstallerStarted);

    ShowState(EState::Idle);
}

CDownloadDlg::~CDownloadDlg()
{
    m_manager.RemoveAll();
}

void CDownloadDlg::SetTimeout(int nTimeoutMs)
{
    m_nTimeoutMs = nTimeoutMs;
    m_pProgressView->SetTimeout(nTimeoutMs);
}

void CDownloadDlg::SetInstallerStarter(CUpdateDownloadDlg::InstallerStarter starter)
{
    m_pProgressView->SetInstallerStarter(std::move(starter));
}

void CDownloadDlg::ShowState(EState eState)
{
    m_eState = eState;
    const bool bFailed = eState == EState::Failed;
    const bool bNew = eState == EState::NewRelease;
    m_pLblChecking->setVisible(eState == EState::Checking);
    m_pLblFailed1->setVisible(bFailed);
    m_pLblFailed2->setVisible(bFailed);
    m_pLblLatest->setVisible(eState == EState::Latest);
    m_pLblNewFound->setVisible(bNew);
    m_pLblProduct->setVisible(bNew);
    m_pLblWhatsNew->setVisible(bNew);
    m_pEditWhatsNew->setVisible(bNew);
    m_pBtnUpdate->setVisible(bNew);
    m_pBtnCancel->setVisible(bNew || eState == EState::Checking);
    if (eState == EState::Downloading) {
        m_pProgressView->setGeometry(kTextLeft, 0, width() - kTextLeft, kViewHeight);
    } else {
        // Leaving the progress view also stops its download, so nothing finishes unseen.
        m_pProgressView->CloseView(false);
    }
}

void CDownloadDlg::CentreOverMainWindow()
{
    if (!m_pMainWindow)
        return;
    QRect rcFrame = frameGeometry();
    rcFrame.moveCenter(m_pMainWindow->frameGeometry().center());
    move(rcFrame.topLeft());
}

void CDownloadDlg::StartCheck()
{
    ShowState(EState::Checking);
    m_manager.RemoveAll();
    m_file.Empty();
    const QString strUrl = update::ReleaseDescriptionUrl();
    if (!update::IsValidDownloadUrl(strUrl)) {
        ShowState(EState::Failed);
        return;
    }
    FCHttpDownloadOptions options;
    options.m_strUrl = strUrl;
    options.m_nTimeoutMs = m_nTimeoutMs;
    options.m_nMaxBytes = kReleaseDescriptionMaxBytes;
    m_pMonitor->Start(m_manager.AddDownload(options));
}

void CDownloadDlg::ShowAndCheck()
{
    show();
    CentreOverMainWindow();  // once shown, the frame's size is known
    raise();
    activateWindow();
    StartCheck();
}

bool CDownloadDlg::event(QEvent* pEvent)
{
    if (pEvent->type() == static_cast<QEvent::Type>(WM_HTTP_DOWNLOAD_NOTIFY)) {
        const int nTask = static_cast<CDownloadNotifyEvent*>(pEvent)->Task();
        if (FCHttpDownload* pDownload = m_manager.FindDownload(nTask))
            MoveReceivedBytes(*pDownload, m_file);
        else
            m_pMonitor->Stop(nTask);
        return true;
    }
    return QDialog::event(pEvent);
}

void CDownloadDlg::reject()
{
    m_manager.RemoveAll();
    m_pProgressView->CloseView(false);
    QDialog::reject();
}

void CDownloadDlg::OnConnected(int nTask)
{
    FCHttpDownload* pDownload = m_manager.FindDownload(nTask);
    if (!pDownload || pDownload->StatusCode() != 0)
        return;
    m_manager.RemoveAll();
    ShowState(EState::Failed);
}

void CDownloadDlg::OnFinished(int nTask)
{
    FCHttpDownload* pDownload = m_manager.FindDownload(nTask);
    if (!pDownload)
        return;
    MoveReceivedBytes(*pDownload, m_file);
    const QString strError = DownloadErrorText(*pDownload, m_file);
    m_manager.RemoveAll();
    if (!strError.isEmpty()) {
        ShowState(EState::Failed);
        return;
    }

    CReleaseDescription desc;
    if (!LoadReleaseDescription(m_file.Path(), desc))
        return;  // not a release description: the window keeps its state
    if (!update::IsReleaseNewer(update::OwnVersionText(), desc.m_strVersion)) {
        ShowState(EState::Latest);
        return;
    }
    m_strWhatsNew = desc.m_strWhatsNew;
    m_strInstallerUrl = desc.m_strUrl;
    m_pLblProduct->setText(desc.m_strProduct + QStringLiteral(" V") + desc.m_strVersion);
    m_pEditWhatsNew->setPlainText(QString(m_strWhatsNew).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    ShowState(EState::NewRelease);
    if (isHidden()) {
        show();
        CentreOverMainWindow();
    }
}

void CDownloadDlg::OnUpdate()
{
    ShowState(EState::Downloading);
    m_pProgressView->StartDownload(m_strInstallerUrl);
}

void CDownloadDlg::OnInstallerStarted()
{
    if (isSignalConnected(QMetaMethod::fromSignal(&CDownloadDlg::QuitRequested)))
        emit QuitRequested();
    else
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}
