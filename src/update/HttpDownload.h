#pragma once
// One HTTP download over Qt Network. The response is read into a receive buffer guarded by
// a lock; the window that started the download moves the waiting bytes to its file on its
// monitor timer. The download announces when the server has answered (connected: status
// code and content length known, or no response at all) and when the transfer has ended
// (finished: the last read's result known).

#include "update/CalculateSpeed.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <mutex>

class QNetworkAccessManager;
class QNetworkReply;

// Request flags: reload from the server, and do not write the cache.
constexpr quint32 kDownloadFlagReload = 0x80000000u;
constexpr quint32 kDownloadFlagNoCacheWrite = 0x04000000u;

// Default limit of one download's size: 4 GiB, far above any installer.
constexpr qint64 kDownloadMaxBytes = qint64(4) << 30;

struct FCHttpDownloadOptions
{
    QString m_strUrl;            // the address to fetch
    QString m_strUserAgent;      // empty: a browser-like default
    QString m_strHeaders;        // extra request headers, "Name: value" lines
    quint32 m_nFlags = kDownloadFlagReload | kDownloadFlagNoCacheWrite;
    QString m_strProxyHost;      // empty: the system's proxy configuration applies
    int m_nProxyPort = 80;
    QString m_strProxyUser;
    QString m_strProxyPassword;
    // Milliseconds without any byte moving before the download gives up (a server that
    // accepts the connection and never answers, or stalls midway); the download then ends
    // as a failed read, or as no response when nothing had arrived.
    int m_nTimeoutMs = 30000;
    // Most bytes the download takes. A response announcing more, or sending more than it
    // announced or with no length at all, is cut off there and ends as a failed read.
    qint64 m_nMaxBytes = kDownloadMaxBytes;
};

class FCHttpDownload : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 kBufferStep = 131072;  // receive buffer grows in these steps
    static constexpr int kSpeedTickMs = 1000;      // speed record's measuring tick

    FCHttpDownload(int nTask, FCHttpDownloadOptions options, QObject* pParent = nullptr);
    // Stops the transfer; no signal follows.
    ~FCHttpDownload() override;
    FCHttpDownload(const FCHttpDownload&) = delete;
    FCHttpDownload& operator=(const FCHttpDownload&) = delete;

    // Sends the request; Connected and then Finished follow (a failure to connect gives
    // Connected with no status code, then Finished).
    void Start();
    // Aborts the transfer and closes its handles; no signal follows.
    void Stop();

    int TaskNumber() const { return m_nTask; }
    const FCHttpDownloadOptions& Options() const { return m_options; }
    // HTTP status code of the response, 0 when there was none.
    int StatusCode() const { return m_nStatusCode; }
    bool HasContentLength() const { return m_bHasContentLength; }
    // Content length of the response, 0 when it gave none.
    qint64 ContentLength() const { return m_nContentLength; }
    // Result of the last read: true when the transfer ended normally.
    bool LastReadSucceeded() const { return m_bLastReadOk; }

    // Takes the bytes waiting in the receive buffer, emptying it under its lock.
    QByteArray TakeReceived();
    CCalculateSpeed& Speed() { return m_speed; }
    const CCalculateSpeed& Speed() const { return m_speed; }

signals:
    void Connected(int nTask);
    void Finished(int nTask);

private slots:
    void OnMetaData();
    void OnReadyRead();
    void OnReplyFinished();

private:
    void ReadResponseFields();
    void MarkConnected();
    // Moves what the reply holds to the receive buffer; false, taking nothing, when that
    // would pass the size limit.
    bool TakeFromReply();
    void AppendReceived(const QByteArray& data);
    // Cuts the transfer off at the size limit; the download then ends as a failed read.
    void AbortTooLarge();

    const int m_nTask;                       // task number, from 1 per manager
    const FCHttpDownloadOptions m_options;
    QNetworkAccessManager* m_pNetwork = nullptr;  // the internet handle (owned as a child)
    QPointer<QNetworkReply> m_pReply;             // the request handle
    int m_nStatusCode = 0;
    qint64 m_nContentLength = 0;
    bool m_bHasContentLength = false;
    bool m_bConnected = false;
    bool m_bTooLarge = false;   // the size limit cut the transfer off
    bool m_bLastReadOk = false;

    std::mutex m_mutexBuffer;   // guards the receive buffer
    QByteArray m_bufReceived;   // bytes not yet moved to the window's file
    CCalculateSpeed m_speed;
    QTimer m_timerSpeed;        // measuring tick of the speed record
};
