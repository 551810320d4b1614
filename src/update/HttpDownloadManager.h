#pragma once
// The downloads of one window. Each added download gets a task number (from 1, in order of
// creation) and starts at once; its connected and finished events are queued and delivered
// on the window's thread by a 50 ms queue timer, in the order they happened. Events of a
// download that has been removed in the meantime are dropped.

#include "update/HttpDownload.h"

#include <QObject>
#include <QTimer>

#include <deque>
#include <map>
#include <memory>

class FCHttpDownloadManager : public QObject
{
    Q_OBJECT
public:
    static constexpr int kQueueTickMs = 50;

    explicit FCHttpDownloadManager(QObject* pParent = nullptr);
    ~FCHttpDownloadManager() override;
    FCHttpDownloadManager(const FCHttpDownloadManager&) = delete;
    FCHttpDownloadManager& operator=(const FCHttpDownloadManager&) = delete;

    // Starts a download and returns its task number. Never fails: a bad address ends as a
    // download without a response.
    int AddDownload(const FCHttpDownloadOptions& options);
    // Borrows the download with task number nTask, null when there is none.
    FCHttpDownload* FindDownload(int nTask) const;
    // Stops and frees every download; their queued events are dropped.
    void RemoveAll();

signals:
    void Connected(int nTask);
    void Finished(int nTask);

private:
    enum class EEvent { Connected, Finished };
    void Queue(int nTask, EEvent eEvent);
    void DeliverNext();

    std::map<int, std::unique_ptr<FCHttpDownload>> m_mapDownloads;  // by task number
    std::deque<std::pair<int, EEvent>> m_queEvents;                 // waiting for delivery
    QTimer m_timerQueue;
    int m_nNextTask = 1;
};
