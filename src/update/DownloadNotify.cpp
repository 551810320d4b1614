#include "update/DownloadNotify.h"

#include "update/HttpDownload.h"
#include "update/TempDownloadFile.h"

#include <QCoreApplication>

CDownloadMonitor::CDownloadMonitor(QObject* pWindow) : QObject(pWindow), m_pWindow(pWindow) {}

void CDownloadMonitor::Start(int nTask)
{
    Stop(nTask);
    auto* pTimer = new QTimer(this);
    pTimer->setInterval(kMonitorTickMs);
    connect(pTimer, &QTimer::timeout, this,
            [this, nTask] { QCoreApplication::postEvent(m_pWindow, new CDownloadNotifyEvent(nTask)); });
    m_mapTimers[nTask] = pTimer;
    pTimer->start();
}

void CDownloadMonitor::Stop(int nTask)
{
    const auto it = m_mapTimers.find(nTask);
    if (it == m_mapTimers.end())
        return;
    it->second->stop();
    it->second->deleteLater();
    m_mapTimers.erase(it);
}

bool MoveReceivedBytes(FCHttpDownload& download, CTempDownloadFile& file)
{
    return file.Append(download.TakeReceived());
}

QString DownloadErrorText(const FCHttpDownload& download, const CTempDownloadFile& file)
{
    switch (download.StatusCode()) {
    case 200:
    case 206: {
        const bool bComplete = download.HasContentLength()
                                   ? file.Size() == download.ContentLength()
                                   : download.LastReadSucceeded();
        return bComplete ? QString() : QStringLiteral("Read Error");
    }
    case 403:
        return QStringLiteral("403 error : Forbidden");
    case 404:
        return QStringLiteral("404 error : Not Found");
    case 407:
        return QStringLiteral("407 error : Proxy Authentication Required");
    default:
        return QStringLiteral("Download Error, status code : %1").arg(download.StatusCode());
    }
}
