// The update window and its progress view against a local HTTP server: the states and
// texts of a check, the installer download with its progress texts, and every way a
// download can fail without anything being started.

#include "LocalHttpServer.h"

#include "update/DownloadDlg.h"
#include "update/UpdateHooks.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

Q_DECLARE_METATYPE(CHttpRoute)

namespace {

using EState = CDownloadDlg::EState;

const QStringList kFailedTexts = {QStringLiteral("Failed, online upgrade requires Internet access,"),
                                  QStringLiteral("please check your Internet setting and try again.")};

QByteArray Description(const QByteArray& version, int nNewCount, const QByteArray& url = "http://127.0.0.1:1/x",
                       const QByteArray& product = "Pagevane")
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<update>\n<Version>" + version +
                     "</Version>\n<Product>" + product + "</Product>\n<newCount>" + QByteArray::number(nNewCount) +
                     "</newCount>\n";
    for (int i = 1; i <= nNewCount; ++i)
        xml += "<new" + QByteArray::number(i) + ">line " + QByteArray::number(i) + "</new" + QByteArray::number(i) + ">\n";
    return xml + "<url>" + url + "</url>\n</update>\n";
}

// The texts and buttons of the update window itself (the progress view's are its own).
QStringList VisibleTexts(const CDownloadDlg& dlg)
{
    QStringList lst;
    for (QObject* pChild : dlg.children()) {
        if (auto* pLabel = qobject_cast<QLabel*>(pChild); pLabel && !pLabel->isHidden() && !pLabel->text().isEmpty())
            lst << pLabel->text();
        if (auto* pButton = qobject_cast<QPushButton*>(pChild); pButton && !pButton->isHidden())
            lst << QStringLiteral("[%1]").arg(pButton->text());
    }
    return lst;
}

QPushButton* Button(QWidget& parent, const QString& strText)
{
    for (QPushButton* pButton : parent.findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
        if (pButton->text() == strText)
            return pButton;
    return nullptr;
}

// Centred up to rounding and the window frame, whose size the platform decides.
bool IsCentredOver(const QWidget& window, const QWidget& mainWindow)
{
    const QPoint ptOff = window.frameGeometry().center() - mainWindow.frameGeometry().center();
    return ptOff.manhattanLength() <= 6;
}

// A port on which nothing listens: the connection is refused at once.
QString RefusedUrl()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    const quint16 nPort = server.serverPort();
    server.close();
    return QStringLiteral("http://127.0.0.1:%1/update.xml").arg(nPort);
}

QByteArray Payload(int nBytes)
{
    QByteArray data(nBytes, '\0');
    for (int i = 0; i < nBytes; ++i)
        data[i] = static_cast<char>(i * 7 + 3);
    return data;
}

}  // namespace

class DownloadDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void checkShowsStateOfRelease_data();
    void checkShowsStateOfRelease();
    void checkFailsWithoutAnswer_data();
    void checkFailsWithoutAnswer();
    void menuCheckShowsWindowInEveryState();
    void completeInstallerIsRenamedAndStarted_data();
    void completeInstallerIsRenamedAndStarted();
    void unknownLengthShowsNoPercentage();
    void failedInstallerDownloadStartsNothing_data();
    void failedInstallerDownloadStartsNothing();
    void cancelStopsDownloadUnfinished();

private:
    // Runs a check against the release description route and waits for it to settle.
    void RunCheck(CDownloadDlg& dlg, const QString& strUrl, EState eExpected);
    // Reaches the new-release state with an installer route, then presses "Update".
    void StartUpdate(CDownloadDlg& dlg, const CHttpRoute& installer);

    QTemporaryDir m_tempDir;  // the system temporary folder of every window here
    std::unique_ptr<CLocalHttpServer> m_pServer;
    std::unique_ptr<QWidget> m_pMainWindow;
    QList<QStringList> m_lstBoxes;     // (title, text) of every message box
    QStringList m_lstStarted;          // installers handed to the starter
    bool m_bStarterResult = true;
};

void DownloadDlgTest::initTestCase()
{
    QVERIFY(m_tempDir.isValid());
    // Windows make their files here, and the installer is renamed here.
    qputenv("TMPDIR", QFile::encodeName(m_tempDir.path()));
    for (const char* strName : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        qunsetenv(strName);
    update::SetMessageBoxHook([this](const QString& strTitle, const QString& strText) {
        m_lstBoxes << QStringList{strTitle, strText};
    });
}

void DownloadDlgTest::init()
{
    m_pServer = std::make_unique<CLocalHttpServer>();
    QVERIFY(m_pServer->IsListening());
    m_pMainWindow = std::make_unique<QWidget>();
    m_pMainWindow->setGeometry(100, 100, 900, 700);
    m_pMainWindow->show();
    m_lstBoxes.clear();
    m_lstStarted.clear();
    m_bStarterResult = true;
    qputenv("PAGEVANE_VERSION", "2.0.0");
    // A test that started an installer leaves it renamed here.
    QFile::remove(m_tempDir.filePath(QFileInfo(QCoreApplication::applicationFilePath()).fileName()));
}

void DownloadDlgTest::cleanup()
{
    m_pMainWindow.reset();
    m_pServer.reset();
}

void DownloadDlgTest::RunCheck(CDownloadDlg& dlg, const QString& strUrl, EState eExpected)
{
    qputenv("PAGEVANE_UPDATE_URL", strUrl.toUtf8());
    dlg.StartCheck();
    QTRY_COMPARE_WITH_TIMEOUT(dlg.State(), eExpected, 10000);
}

void DownloadDlgTest::checkShowsStateOfRelease_data()
{
    QTest::addColumn<CHttpRoute>("route");
    QTest::addColumn<int>("state");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("whatsNew");

    const QStringList newTexts = {QStringLiteral("New release found!"), QStringLiteral("Pagevane V2.0.1"),
                                  QStringLiteral("What's new:"), QStringLiteral("[Update]"), QStringLiteral("[Cancel]")};
    QTest::newRow("404 fails") << CHttpRoute{404, "gone"} << int(EState::Failed) << kFailedTexts << QString();
    QTest::newRow("403 fails") << CHttpRoute{403, "no"} << int(EState::Failed) << kFailedTexts << QString();
    QTest::newRow("500 fails") << CHttpRoute{500, "oops"} << int(EState::Failed) << kFailedTexts << QString();
    QTest::newRow("cut short fails") << CHttpRoute{200, Description("2.0.1", 0), true, 20} << int(EState::Failed)
                                     << kFailedTexts << QString();
    QTest::newRow("equal version is latest")
        << CHttpRoute{200, Description("2.0.0", 1)} << int(EState::Latest)
        << QStringList{QStringLiteral("This is the latest version.")} << QString();
    QTest::newRow("older version is latest")
        << CHttpRoute{200, Description("1.9.9", 1)} << int(EState::Latest)
        << QStringList{QStringLiteral("This is the latest version.")} << QString();
    QTest::newRow("newer with no lines") << CHttpRoute{200, Description("2.0.1", 0)} << int(EState::NewRelease)
                                         << newTexts << QString();
    QTest::newRow("newer with three lines")
        << CHttpRoute{200, Description("2.0.1", 3)} << int(EState::NewRelease) << newTexts
        << QStringLiteral("line 1\r\nline 2\r\nline 3");
    QTest::newRow("no content length, newer")
        << CHttpRoute{200, Description("2.0.1", 1), false} << int(EState::NewRelease) << newTexts
        << QStringLiteral("line 1");
    QTest::newRow("product markup shown as text")
        << CHttpRoute{200, Description("2.0.1", 0, "http://127.0.0.1:1/x", "&lt;b&gt;Pagevane&lt;/b&gt;")}
        << int(EState::NewRelease)
        << QStringList{QStringLiteral("New release found!"), QStringLiteral("<b>Pagevane</b> V2.0.1"),
                       QStringLiteral("What's new:"), QStringLiteral("[Update]"), QStringLiteral("[Cancel]")}
        << QString();
    // A release description is small; a server streaming on past 1 MiB is cut off there.
    const QByteArray oversized = Description("2.0.1", 0) + QByteArray(2 * 1024 * 1024, ' ');
    QTest::newRow("over the size limit, no length, fails")
        << CHttpRoute{200, oversized, false} << int(EState::Failed) << kFailedTexts << QString();
    QTest::newRow("announced size over the limit fails")
        << CHttpRoute{200, oversized, true} << int(EState::Failed) << kFailedTexts << QString();
    QTest::newRow("not XML keeps checking")
        << CHttpRoute{200, "<html><body>portal"} << int(EState::Checking)
        << QStringList{QStringLiteral("Checking for the latest version."), QStringLiteral("[Cancel]")} << QString();
}

void DownloadDlgTest::checkShowsStateOfRelease()
{
    QFETCH(CHttpRoute, route);
    QFETCH(int, state);
    QFETCH(QStringList, texts);
    QFETCH(QString, whatsNew);

    m_pServer->SetRoute(QStringLiteral("/update.xml"), route);
    CDownloadDlg dlg(m_pMainWindow.get());
    QVERIFY(dlg.isHidden());
    RunCheck(dlg, m_pServer->Url(QStringLiteral("/update.xml")), EState::Checking);
    QTRY_COMPARE_WITH_TIMEOUT(m_pServer->Requests(), 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(int(dlg.State()), state, 10000);
    if (EState(state) == EState::Checking)
        QTest::qWait(600);  // the finished download has been judged and left the state alone

    QCOMPARE(VisibleTexts(dlg), texts);
    // Texts are drawn as written: markup from the server would draw narrower than its text.
    for (QLabel* pLabel : dlg.findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (!pLabel->isHidden() && !pLabel->text().isEmpty())
            QVERIFY2(pLabel->sizeHint().width() >= pLabel->fontMetrics().horizontalAdvance(pLabel->text()),
                     qPrintable(pLabel->text()));
    QVERIFY(m_lstBoxes.isEmpty());
    const bool bNewRelease = EState(state) == EState::NewRelease;
    QCOMPARE(dlg.isVisible(), bNewRelease);
    if (bNewRelease) {
        QCOMPARE(dlg.WhatsNewText(), whatsNew);
        QCOMPARE(dlg.findChild<QPlainTextEdit*>()->toPlainText(), QString(whatsNew).replace("\r\n", "\n"));
        QCOMPARE(dlg.InstallerUrl(), QStringLiteral("http://127.0.0.1:1/x"));
        QVERIFY(IsCentredOver(dlg, *m_pMainWindow));
    }
}

void DownloadDlgTest::checkFailsWithoutAnswer_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("useSilentRoute");
    QTest::newRow("empty address") << QString() << false;
    QTest::newRow("not an address") << QStringLiteral("update server") << false;
    QTest::newRow("not http") << QStringLiteral("ftp://127.0.0.1/update.xml") << false;
    QTest::newRow("connection refused") << RefusedUrl() << false;
    QTest::newRow("server never answers") << QString() << true;
}

void DownloadDlgTest::checkFailsWithoutAnswer()
{
    QFETCH(QString, url);
    QFETCH(bool, useSilentRoute);
    if (useSilentRoute) {
        CHttpRoute silent;
        silent.m_bNoAnswer = true;
        m_pServer->SetRoute(QStringLiteral("/silent.xml"), silent);
        url = m_pServer->Url(QStringLiteral("/silent.xml"));
    }
    CDownloadDlg dlg(m_pMainWindow.get());
    dlg.SetTimeout(1000);
    RunCheck(dlg, url, EState::Failed);
    QCOMPARE(VisibleTexts(dlg), kFailedTexts);
    QVERIFY(dlg.isHidden());
    QVERIFY(m_lstBoxes.isEmpty());
}

void DownloadDlgTest::menuCheckShowsWindowInEveryState()
{
    m_pServer->SetRoute(QStringLiteral("/update.xml"), CHttpRoute{200, Description("2.0.0", 0)});
    qputenv("PAGEVANE_UPDATE_URL", m_pServer->Url(QStringLiteral("/update.xml")).toUtf8());
    CDownloadDlg dlg(m_pMainWindow.get());
    dlg.ShowAndCheck();
    QVERIFY(dlg.isVisible());
    QVERIFY(IsCentredOver(dlg, *m_pMainWindow));
    QCOMPARE(VisibleTexts(dlg), (QStringList{QStringLiteral("Checking for the latest version."), QStringLiteral("[Cancel]")}));
    QTRY_COMPARE_WITH_TIMEOUT(dlg.State(), EState::Latest, 10000);
    QVERIFY(dlg.isVisible());
}

void DownloadDlgTest::StartUpdate(CDownloadDlg& dlg, const CHttpRoute& installer)
{
    m_pServer->SetRoute(QStringLiteral("/setup.bin"), installer);
    m_pServer->SetRoute(QStringLiteral("/update.xml"),
                        CHttpRoute{200, Description("2.0.1", 1, m_pServer->Url(QStringLiteral("/setup.bin")).toUtf8())});
    dlg.SetInstallerStarter([this](const QString& strPath) {
        m_lstStarted << strPath;
        return m_bStarterResult;
    });
    RunCheck(dlg, m_pServer->Url(QStringLiteral("/update.xml")), EState::NewRelease);
    QPushButton* pUpdate = Button(dlg, QStringLiteral("Update"));
    QVERIFY(pUpdate);
    QTest::mouseClick(pUpdate, Qt::LeftButton);
    QCOMPARE(dlg.State(), EState::Downloading);
    QCOMPARE(VisibleTexts(dlg), QStringList());
    CUpdateDownloadDlg* pView = dlg.ProgressView();
    QVERIFY(pView->isVisible());
    QCOMPARE(pView->geometry(), QRect(150, 0, dlg.width() - 150, 280));
    QCOMPARE(pView->TotalProgressText(), QStringLiteral("0"));
}

void DownloadDlgTest::completeInstallerIsRenamedAndStarted_data()
{
    QTest::addColumn<bool>("starts");
    QTest::newRow("installer starts") << true;
    QTest::newRow("installer cannot start") << false;
}

void DownloadDlgTest::completeInstallerIsRenamedAndStarted()
{
    QFETCH(bool, starts);
    m_bStarterResult = starts;
    const QByteArray installer = Payload(64 * 1024);
    const QString strExpected =
        m_tempDir.filePath(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    QFile stale(strExpected);  // an older file of that name is replaced
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("stale");
    stale.close();

    CDownloadDlg dlg(m_pMainWindow.get());
    QSignalSpy quitSpy(&dlg, &CDownloadDlg::QuitRequested);
    QStringList lstRemain;
    QStringList lstTotal;
    connect(dlg.ProgressView(), &CUpdateDownloadDlg::Refreshed, this, [&] {
        lstRemain << dlg.ProgressView()->RemainTimeText();
        lstTotal << dlg.ProgressView()->TotalProgressText();
    });
    // Eight pieces 400 ms apart, so the speed is measured and the texts refresh midway.
    StartUpdate(dlg, CHttpRoute{200, installer, true, -1, 8, 400});
    const QString strTemp = dlg.ProgressView()->TempFilePath();
    QVERIFY(QFileInfo(strTemp).fileName().startsWith(QLatin1Char('t')));
    QCOMPARE(QFileInfo(strTemp).absolutePath(), QFileInfo(m_tempDir.path()).absoluteFilePath());

    QTRY_COMPARE_WITH_TIMEOUT(m_lstStarted.size(), 1, 15000);
    QCOMPARE(m_lstStarted.front(), strExpected);
    QFile started(strExpected);
    QVERIFY(started.open(QIODevice::ReadOnly));
    QCOMPARE(started.readAll(), installer);
    QVERIFY(!QFileInfo::exists(strTemp));
    QVERIFY(m_lstBoxes.isEmpty());

    const QRegularExpression remainForm(QStringLiteral("^\\d+ minitus \\d+ seconds \\(\\d+ Kb / 64 Kb\\)$"));
    QVERIFY2(std::any_of(lstRemain.begin(), lstRemain.end(), [&](const QString& s) { return remainForm.match(s).hasMatch(); }),
             qPrintable(lstRemain.join(" | ")));
    QVERIFY2(std::any_of(lstTotal.begin(), lstTotal.end(), [](const QString& s) { return s.toInt() > 0 && s.toInt() < 100; }),
             qPrintable(lstTotal.join(" | ")));

    if (starts) {
        QCOMPARE(quitSpy.count(), 1);
        QCOMPARE(dlg.State(), EState::Downloading);
    } else {
        QCOMPARE(quitSpy.count(), 0);
        QVERIFY(dlg.ProgressView()->isHidden());
        QCOMPARE(dlg.State(), EState::NewRelease);
    }
}

void DownloadDlgTest::unknownLengthShowsNoPercentage()
{
    CDownloadDlg dlg(m_pMainWindow.get());
    QStringList lstRemain;
    QStringList lstTotal;
    QList<int> lstBar;
    connect(dlg.ProgressView(), &CUpdateDownloadDlg::Refreshed, this, [&] {
        lstRemain << dlg.ProgressView()->RemainTimeText();
        lstTotal << dlg.ProgressView()->TotalProgressText();
        lstBar << dlg.ProgressView()->ProgressValue();
    });
    StartUpdate(dlg, CHttpRoute{200, Payload(40 * 1024), false, -1, 6, 400});
    QTRY_COMPARE_WITH_TIMEOUT(m_lstStarted.size(), 1, 15000);

    QVERIFY(lstRemain.size() >= 2);
    const QRegularExpression unknownForm(QStringLiteral("^Unknown, \\(\\d+ Kb / 0 Kb\\)$"));
    for (const QString& strRemain : lstRemain)
        QVERIFY2(unknownForm.match(strRemain).hasMatch(), qPrintable(strRemain));
    QVERIFY(lstRemain.back() != QStringLiteral("Unknown, (0 Kb / 0 Kb)"));
    QCOMPARE(lstTotal, QStringList(lstTotal.size(), QStringLiteral("0")));
    QCOMPARE(lstBar, QList<int>(lstBar.size(), 0));
    QVERIFY(m_lstBoxes.isEmpty());
}

void DownloadDlgTest::failedInstallerDownloadStartsNothing_data()
{
    QTest::addColumn<CHttpRoute>("route");
    QTest::addColumn<QString>("installerUrl");
    QTest::addColumn<QStringList>("box");

    const QByteArray body = Payload(32 * 1024);
    QTest::newRow("cut short") << CHttpRoute{200, body, true, 10000} << QString()
                               << QStringList{"Download Status", "Read Error"};
    QTest::newRow("cut short, no length, stalls") << CHttpRoute{200, body, false, -1, 2, 3000} << QString()
                                                  << QStringList{"Download Status", "Read Error"};
    QTest::newRow("not found") << CHttpRoute{404, "gone"} << QString()
                               << QStringList{"Download Status", "404 error : Not Found"};
    QTest::newRow("forbidden") << CHttpRoute{403, "no"} << QString()
                               << QStringList{"Download Status", "403 error : Forbidden"};
    QTest::newRow("proxy") << CHttpRoute{407, "who"} << QString()
                           << QStringList{"Download Status", "407 error : Proxy Authentication Required"};
    QTest::newRow("other status") << CHttpRoute{503, "busy"} << QString()
                                  << QStringList{"Download Status", "Download Error, status code : 503"};
    QTest::newRow("bad address") << CHttpRoute{} << QStringLiteral("setup.bin")
                                 << QStringList{"Error", "URL error"};
    QTest::newRow("http installer elsewhere") << CHttpRoute{} << QStringLiteral("http://192.0.2.1/setup.bin")
                                              << QStringList{"Error", "URL error"};
    // The limit is lowered to 48 KiB for these downloads.
    QTest::newRow("over the size limit, no length")
        << CHttpRoute{200, Payload(64 * 1024), false} << QString() << QStringList{"Download Status", "Read Error"};
    QTest::newRow("announced size over the limit")
        << CHttpRoute{200, Payload(64 * 1024), true} << QString() << QStringList{"Download Status", "Read Error"};
    QTest::newRow("refused") << CHttpRoute{} << RefusedUrl() << QStringList{"Error", "cannot connect to server"};
    CHttpRoute silent;
    silent.m_bNoAnswer = true;
    QTest::newRow("never answers") << silent << QString() << QStringList{"Error", "cannot connect to server"};
}

void DownloadDlgTest::failedInstallerDownloadStartsNothing()
{
    QFETCH(CHttpRoute, route);
    QFETCH(QString, installerUrl);
    QFETCH(QStringList, box);

    CDownloadDlg dlg(m_pMainWindow.get());
    dlg.SetTimeout(1000);
    dlg.ProgressView()->SetMaxBytes(48 * 1024);
    QSignalSpy quitSpy(&dlg, &CDownloadDlg::QuitRequested);
    if (installerUrl.isEmpty()) {
        StartUpdate(dlg, route);
    } else {
        m_pServer->SetRoute(QStringLiteral("/update.xml"),
                            CHttpRoute{200, Description("2.0.1", 0, installerUrl.toUtf8())});
        dlg.SetInstallerStarter([this](const QString& strPath) { return m_lstStarted << strPath, true; });
        RunCheck(dlg, m_pServer->Url(QStringLiteral("/update.xml")), EState::NewRelease);
        QTest::mouseClick(Button(dlg, QStringLiteral("Update")), Qt::LeftButton);
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_lstBoxes.size(), 1, 15000);
    QCOMPARE(m_lstBoxes.front(), box);
    QTest::qWait(600);
    QCOMPARE(m_lstBoxes.size(), 1);
    QVERIFY(m_lstStarted.isEmpty());
    QCOMPARE(quitSpy.count(), 0);
    QVERIFY(dlg.ProgressView()->isHidden());
    QCOMPARE(dlg.State(), EState::NewRelease);
    QVERIFY(!QFileInfo::exists(m_tempDir.filePath(QFileInfo(QCoreApplication::applicationFilePath()).fileName())));
}

void DownloadDlgTest::cancelStopsDownloadUnfinished()
{
    CDownloadDlg dlg(m_pMainWindow.get());
    StartUpdate(dlg, CHttpRoute{200, Payload(16 * 1024), true, -1, 4, 300});
    QPushButton* pCancel = Button(*dlg.ProgressView(), QStringLiteral("Cancel"));
    QVERIFY(pCancel);
    QTest::mouseClick(pCancel, Qt::LeftButton);
    QVERIFY(dlg.ProgressView()->isHidden());
    QCOMPARE(dlg.State(), EState::NewRelease);

    // The window's own Cancel closes it; the server finishing later starts nothing.
    QTest::mouseClick(Button(dlg, QStringLiteral("Cancel")), Qt::LeftButton);
    QVERIFY(dlg.isHidden());
    QTest::qWait(1800);
    QVERIFY(m_lstStarted.isEmpty());
    QVERIFY(m_lstBoxes.isEmpty());
}

QTEST_MAIN(DownloadDlgTest)
#include "DownloadDlgTest.moc"
