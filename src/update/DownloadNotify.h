#pragma once
// The monitor of a download window: with every download it begins, the window starts a
// 500 ms timer that posts message 11025 with the task number; on that message the window
// moves the bytes waiting in the receive buffer to its temporary file. A task that no
// longer exists ends its timer.

#include <QEvent>
#include <QObject>
#include <QTimer>

#include <map>

class CTempDownloadFile;
class FCHttpDownload;

// Window message number of the monitor (the event type posted to the window).
constexpr int WM_HTTP_DOWNLOAD_NOTIFY = 11025;
constexpr int kMonitorTickMs = 500;

class CDownloadNotifyEvent : public QEvent
{
public:
    explicit CDownloadNotifyEvent(int nTask)
        : QEvent(static_cast<QEvent::Type>(WM_HTTP_DOWNLOAD_NOTIFY)), m_nTask(nTask) {}
    int Task() const { return m_nTask; }

private:
    int m_nTask;  // the message's wParam
};

class CDownloadMonitor : public QObject
{
    Q_OBJECT
public:
    // Posts the monitor messages to pWindow, which also owns this monitor.
    explicit CDownloadMonitor(QObject* pWindow);
    CDownloadMonitor(const CDownloadMonitor&) = delete;
    CDownloadMonitor& operator=(const CDownloadMonitor&) = delete;

    void Start(int nTask);
    void Stop(int nTask);

private:
    QObject* m_pWindow;                 // receives the messages
    std::map<int, QTimer*> m_mapTimers; // by task number; children of this object
};

// Moves the bytes waiting in the download's receive buffer to the end of file. False when
// the write failed.
bool MoveReceivedBytes(FCHttpDownload& download, CTempDownloadFile& file);

// Judges a finished download whose bytes have all been moved to file: an empty text when
// the transfer is complete, otherwise the error text to show ("Read Error", the status-code
// texts).
QString DownloadErrorText(const FCHttpDownload& download, const CTempDownloadFile& file);
