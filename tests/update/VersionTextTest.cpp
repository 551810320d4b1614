// The pieces of the update check that need no window: version order, reading the release
// description, the address checks, the speed record and starting a downloaded installer.

#include "update/CalculateSpeed.h"
#include "update/ReleaseDescription.h"
#include "update/UpdateConfig.h"
#include "update/VersionCompare.h"

#include "update/UpdateDownloadDlg.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class VersionTextTest : public QObject
{
    Q_OBJECT

private slots:
    void releaseIsNewerByCharacterOrder_data();
    void releaseIsNewerByCharacterOrder();
    void readsReleaseDescription_data();
    void readsReleaseDescription();
    void refusesWhatIsNotReleaseDescription_data();
    void refusesWhatIsNotReleaseDescription();
    void acceptsOnlyHttpAddresses_data();
    void acceptsOnlyHttpAddresses();
    void speedRecordMeasuresTicksAndAverage();
    void installerStarterMakesFileRunnable();

private:
    QString WriteFile(const QByteArray& data);
    QTemporaryDir m_dir;
    int m_nFiles = 0;
};

QString VersionTextTest::WriteFile(const QByteArray& data)
{
    const QString strPath = m_dir.filePath(QStringLiteral("d%1.xml").arg(++m_nFiles));
    QFile file(strPath);
    if (file.open(QIODevice::WriteOnly))
        file.write(data);
    return strPath;
}

void VersionTextTest::releaseIsNewerByCharacterOrder_data()
{
    QTest::addColumn<QString>("own");
    QTest::addColumn<QString>("release");
    QTest::addColumn<bool>("newer");
    QTest::newRow("patch above") << "2.0.0" << "2.0.1" << true;
    QTest::newRow("equal") << "2.0.0" << "2.0.0" << false;
    QTest::newRow("patch below") << "2.0.1" << "2.0.0" << false;
    QTest::newRow("2.0.10 sorts below 2.0.9") << "2.0.10" << "2.0.9" << true;
    QTest::newRow("2.0.9 is not below 2.0.10") << "2.0.9" << "2.0.10" << false;
    QTest::newRow("10.0 sorts below 9.0") << "10.0" << "9.0" << true;
    QTest::newRow("prefix is below") << "2.0" << "2.0.1" << true;
    QTest::newRow("empty release") << "1.0.0" << "" << false;
    QTest::newRow("letters count too") << "2.0.0" << "2.0.0b" << true;
    QTest::newRow("case matters") << "2.0.0B" << "2.0.0a" << true;
}

void VersionTextTest::releaseIsNewerByCharacterOrder()
{
    QFETCH(QString, own);
    QFETCH(QString, release);
    QFETCH(bool, newer);
    QCOMPARE(update::IsReleaseNewer(own, release), newer);
}

void VersionTextTest::readsReleaseDescription_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("product");
    QTest::addColumn<int>("newCount");
    QTest::addColumn<QString>("whatsNew");
    QTest::addColumn<QString>("url");

    QTest::newRow("plain")
        << QByteArray("<r><Version>2.1</Version><Product>P</Product><newCount>2</newCount>"
                      "<new1>one</new1><new2>two</new2><url>http://h/s</url></r>")
        << "2.1" << "P" << 2 << "one\r\ntwo" << "http://h/s";
    QTest::newRow("prefixed names, spaces trimmed, first of two")
        << QByteArray("<u:r xmlns:u='urn:x'><u:Version> 3.0 </u:Version><Version>9</Version>"
                      "<u:newCount>1</u:newCount><u:new1>\n  fixed  \n</u:new1></u:r>")
        << "3.0" << "" << 1 << "fixed" << "";
    QTest::newRow("count above lines leaves missing lines empty")
        << QByteArray("<r><newCount>3</newCount><new1>a</new1><new3>c</new3></r>")
        << "" << "" << 3 << "a\r\n\r\nc" << "";
    QTest::newRow("hostile count ends with the last line present")
        << QByteArray("<r><newCount>2000000000</newCount><new1>a</new1></r>")
        << "" << "" << 2000000000 << "a" << "";

    // Large documents: looking every name up among 50 000 children again would take minutes.
    QByteArray manyEmpty = "<r><newCount>50000</newCount>";
    for (int i = 0; i < 50000; ++i)
        manyEmpty += "<p/>";
    QTest::newRow("50 000 children, one line") << manyEmpty + "<new1>a</new1></r>" << "" << "" << 50000 << "a" << "";
    QByteArray manyLines = "<r><newCount>50000</newCount>";
    QStringList lstFirstThousand;
    for (int i = 1; i <= 50000; ++i) {
        const QByteArray number = QByteArray::number(i);
        manyLines += "<new" + number + ">" + number + "</new" + number + ">";
        if (i <= 1000)
            lstFirstThousand << QString::number(i);
    }
    QTest::newRow("50 000 lines, the first 1000 read")
        << manyLines + "</r>" << "" << "" << 50000 << lstFirstThousand.join("\r\n") << "";
    QTest::newRow("negative and unreadable counts read zero")
        << QByteArray("<r><newCount>-4</newCount><new1>a</new1></r>") << "" << "" << 0 << "" << "";
    QTest::newRow("elements in nested levels are not lines")
        << QByteArray("<r><newCount>x</newCount><g><new1>a</new1></g></r>") << "" << "" << 0 << "" << "";
}

void VersionTextTest::readsReleaseDescription()
{
    QFETCH(QByteArray, xml);
    CReleaseDescription desc;
    QVERIFY(LoadReleaseDescription(WriteFile(xml), desc));
    QTEST(desc.m_strVersion, "version");
    QTEST(desc.m_strProduct, "product");
    QTEST(desc.m_nNewCount, "newCount");
    QTEST(desc.m_strWhatsNew, "whatsNew");
    QTEST(desc.m_strUrl, "url");
}

void VersionTextTest::refusesWhatIsNotReleaseDescription_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("html page") << QByteArray("<html><body><p>Login</body>");
    QTest::newRow("text") << QByteArray("Version=2.0");
}

void VersionTextTest::refusesWhatIsNotReleaseDescription()
{
    QFETCH(QByteArray, data);
    CReleaseDescription desc;
    desc.m_strVersion = QStringLiteral("kept");
    QVERIFY(!LoadReleaseDescription(WriteFile(data), desc));
    QCOMPARE(desc.m_strVersion, QStringLiteral("kept"));
    QVERIFY(!LoadReleaseDescription(m_dir.filePath(QStringLiteral("missing.xml")), desc));
}

void VersionTextTest::acceptsOnlyHttpAddresses_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("valid");      // for the release description
    QTest::addColumn<bool>("installer");  // for the installer, which is started afterwards
    QTest::newRow("http") << "http://www.example.com/update.xml" << true << false;
    QTest::newRow("https") << "https://www.example.com/setup.bin" << true << true;
    QTest::newRow("https with port") << "https://127.0.0.1:8443/u.xml" << true << true;
    QTest::newRow("http on 127.0.0.1") << "http://127.0.0.1:8080/setup.bin" << true << true;
    QTest::newRow("http on ::1") << "http://[::1]:8080/setup.bin" << true << true;
    QTest::newRow("http on localhost") << "http://LocalHost/setup.bin" << true << true;
    QTest::newRow("http, loopback-like name") << "http://127.0.0.1.example.com/setup.bin" << true << false;
    QTest::newRow("http, localhost subdomain") << "http://localhost.example.com/setup.bin" << true << false;
    QTest::newRow("empty") << "" << false << false;
    QTest::newRow("blank") << "   " << false << false;
    QTest::newRow("relative") << "update.xml" << false << false;
    QTest::newRow("file") << "file:///tmp/update.xml" << false << false;
    QTest::newRow("no host") << "https:///update.xml" << false << false;
    QTest::newRow("bad characters") << "https://exa mple.com/" << false << false;
}

void VersionTextTest::acceptsOnlyHttpAddresses()
{
    QFETCH(QString, url);
    QTEST(update::IsValidDownloadUrl(url), "valid");
    QTEST(update::IsValidInstallerUrl(url), "installer");
}

void VersionTextTest::speedRecordMeasuresTicksAndAverage()
{
    qint64 nNow = 1000;
    {
        CCalculateSpeed speed([&] { return nNow; });
        speed.AddBytes(3000);
        nNow += 500;
        speed.Tick();
        QCOMPARE(speed.CurrentSpeed(), qint64(6000));
        speed.Tick();  // no time has passed
        QCOMPARE(speed.CurrentSpeed(), qint64(100));
        speed.AddBytes(1000);
        nNow += 1500;
        speed.Finish();
        QCOMPARE(speed.CurrentSpeed(), qint64(100));  // measured, so kept
        QCOMPARE(speed.AverageSpeed(), qint64(2000));
        nNow += 5000;
        speed.Tick();  // ended: nothing changes any more
        QCOMPARE(speed.AverageSpeed(), qint64(2000));
        QCOMPARE(speed.TotalBytes(), qint64(4000));
    }
    {
        // Never measured: the end sets the current speed to the average; a download that
        // ends in the millisecond it began divides by one, not zero.
        CCalculateSpeed speed([&] { return nNow; });
        speed.AddBytes(2048);
        speed.Finish();
        QCOMPARE(speed.CurrentSpeed(), qint64(2048000));
    }
}

// The downloaded file is written private and not executable; starting it must make it so.
void VersionTextTest::installerStarterMakesFileRunnable()
{
    const QString strMarker = m_dir.filePath(QStringLiteral("installer-ran"));
    const QString strScript = m_dir.filePath(QStringLiteral("setup.sh"));
    QFile script(strScript);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\ntouch '" + QFile::encodeName(strMarker) + "'\n");
    script.close();
    QVERIFY(script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));

    QVERIFY(CUpdateDownloadDlg::StartInstallerProcess(strScript));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(strMarker), 10000);
    QVERIFY(!CUpdateDownloadDlg::StartInstallerProcess(m_dir.filePath(QStringLiteral("missing.sh"))));
}

QTEST_GUILESS_MAIN(VersionTextTest)
#include "VersionTextTest.moc"
