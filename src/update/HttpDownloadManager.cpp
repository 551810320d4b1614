#include "update/HttpDownloadManager.h"

FCHttpDownloadManager::FCHttpDownloadManager(QObject* pParent) : QObject(pParent)
{
    m_timerQueue.setInterval(kQueueTickMs);
    connect(&m_timerQueue, &QTimer::timeout, this, &FCHttpDownloadManager::DeliverNext);
}

FCHttpDownloadManager::~FCHttpDownloadManager()
{
    RemoveAll();
}

int FCHttpDownloadManager::AddDownload(const FCHttpDownloadOptions& options)
{
    const int nTask = m_nNextTask++;
    auto pDownload = std::make_unique<FCHttpDownload>(nTask, options);
    connect(pDownload.get(), &FCHttpDownload::Connected, this, [this](int n) { Queue(n, EEvent::Connected); });
    connect(pDownload.get(), &FCHttpDownload::Finished, this, [this](int n) { Queue(n, EEvent::Finished); });
    FCHttpDownload* pStarted = pDownload.get();
    m_mapDownloads.emplace(nTask, std::move(pDownload));
    pStarted->Start();
    return nTask;
}

FCHttpDownload* FCHttpDownloadManager::FindDownload(int nTask) const
{
    const auto it = m_mapDownloads.find(nTask);
    return it == m_mapDownloads.end() ? nullptr : it->second.get();
}

void FCHttpDownloadManager::RemoveAll()
{
    // Detach the map first: a download's destructor must not find itself still listed.
    auto mapDownloads = std::move(m_mapDownloads);
    m_mapDownloads.clear();
    mapDownloads.clear();
    m_queEvents.clear();
    m_timerQueue.stop();
}

void FCHttpDownloadManager::Queue(int nTask, EEvent eEvent)
{
    m_queEvents.emplace_back(nTask, eEvent);
    if (!m_timerQueue.isActive())
        m_timerQueue.start();
}

void FCHttpDownloadManager::DeliverNext()
{
    while (!m_queEvents.empty()) {
        const auto [nTask, eEvent] = m_queEvents.front();
        m_queEvents.pop_front();
        if (!FindDownload(nTask))
            continue;
        if (m_queEvents.empty())
            m_timerQueue.stop();
        // One event per tick, like the window messages it stands for; a handler may remove
        // every download (and so the rest of the queue) before it returns.
        if (eEvent == EEvent::Connected)
            emit Connected(nTask);
        else
            emit Finished(nTask);
        return;
    }
    m_timerQueue.stop();
}
