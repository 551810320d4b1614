#include "update/HttpDownload.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

namespace {

// Asks the system for its proxy configuration for every request of one download.
class CSystemProxyFactory : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override
    {
        return QNetworkProxyFactory::systemProxyForQuery(query);
    }
};

QString DefaultUserAgent()
{
    return QStringLiteral("Mozilla/5.0 (X11; Linux x86_64) Pagevane");
}

}  // namespace

FCHttpDownload::FCHttpDownload(int nTask, FCHttpDownloadOptions options, QObject* pParent)
    : QObject(pParent), m_nTask(nTask), m_options(std::move(options))
{
    m_timerSpeed.setInterval(kSpeedTickMs);
    connect(&m_timerSpeed, &QTimer::timeout, this, [this] { m_speed.Tick(); });
    m_timerSpeed.start();
}

FCHttpDownload::~FCHttpDownload()
{
    Stop();
}

void FCHttpDownload::Start()
{
    m_pNetwork = new QNetworkAccessManager(this);
    if (m_options.m_strProxyHost.isEmpty()) {
        m_pNetwork->setProxyFactory(new CSystemProxyFactory);
    } else {
        m_pNetwork->setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, m_options.m_strProxyHost,
                                           static_cast<quint16>(m_options.m_nProxyPort),
                                           m_options.m_strProxyUser, m_options.m_strProxyPassword));
    }

    QNetworkRequest request{QUrl(m_options.m_strUrl)};
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      m_options.m_strUserAgent.isEmpty() ? DefaultUserAgent() : m_options.m_strUserAgent);
    // The file is judged by its size against the content length: ask for the bytes as they
    // are, never a compressed body that the client would silently expand.
    request.setRawHeader("Accept-Encoding", "identity");
    for (const QString& strLine : m_options.m_strHeaders.split(QRegularExpression(QStringLiteral("\r?\n")),
                                                                 Qt::SkipEmptyParts)) {
        const qsizetype nColon = strLine.indexOf(QLatin1Char(':'));
        if (nColon > 0)
            request.setRawHeader(strLine.left(nColon).trimmed().toLatin1(), strLine.mid(nColon + 1).trimmed().toLatin1());
    }
    if (m_options.m_nFlags & kDownloadFlagReload)
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    if (m_options.m_nFlags & kDownloadFlagNoCacheWrite)
        request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    if (m_options.m_nTimeoutMs > 0)
        request.setTransferTimeout(m_options.m_nTimeoutMs);

    m_pReply = m_pNetwork->get(request);
    connect(m_pReply, &QNetworkReply::metaDataChanged, this, &FCHttpDownload::OnMetaData);
    connect(m_pReply, &QIODevice::readyRead, this, &FCHttpDownload::OnReadyRead);
    connect(m_pReply, &QNetworkReply::finished, this, &FCHttpDownload::OnReplyFinished);
}

void FCHttpDownload::Stop()
{
    m_timerSpeed.stop();
    if (m_pReply) {
        QNetworkReply* pReply = m_pReply;
        m_pReply = nullptr;
        disconnect(pReply, nullptr, this, nullptr);
        pReply->abort();
        pReply->deleteLater();
    }
}

void FCHttpDownload::ReadResponseFields()
{
    const QVariant status = m_pReply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    m_nStatusCode = status.isValid() ? status.toInt() : 0;
    const QVariant length = m_pReply->header(QNetworkRequest::ContentLengthHeader);
    m_bHasContentLength = length.isValid();
    m_nContentLength = m_bHasContentLength ? length.toLongLong() : 0;
}

void FCHttpDownload::MarkConnected()
{
    if (m_bConnected)
        return;
    m_bConnected = true;
    emit Connected(m_nTask);
}

void FCHttpDownload::OnMetaData()
{
    if (!m_pReply || m_bConnected)
        return;
    ReadResponseFields();
    // A redirection is followed by the client; the answer that counts is the last one.
    if (m_nStatusCode >= 300 && m_nStatusCode < 400 &&
        m_pReply->attribute(QNetworkRequest::RedirectionTargetAttribute).isValid())
        return;
    if (m_nStatusCode == 0)
        return;
    MarkConnected();
    if (m_bHasContentLength && m_nContentLength > m_options.m_nMaxBytes)
        AbortTooLarge();
}

void FCHttpDownload::AbortTooLarge()
{
    m_bTooLarge = true;
    // Aborting normally announces the end at once, and OnReplyFinished then judges the
    // read failed; should the reply stay silent, the download ends here all the same.
    if (m_pReply)
        m_pReply->abort();
    if (m_pReply)
        OnReplyFinished();
}

bool FCHttpDownload::TakeFromReply()
{
    if (!m_pReply || !m_pReply->isOpen())
        return true;
    const QByteArray data = m_pReply->readAll();
    if (m_speed.TotalBytes() + data.size() > m_options.m_nMaxBytes)
        return false;
    AppendReceived(data);
    return true;
}

void FCHttpDownload::AppendReceived(const QByteArray& data)
{
    if (data.isEmpty())
        return;
    m_speed.AddBytes(data.size());
    std::lock_guard<std::mutex> lock(m_mutexBuffer);
    const qint64 nNeeded = m_bufReceived.size() + data.size();
    if (nNeeded > m_bufReceived.capacity())
        m_bufReceived.reserve((nNeeded + kBufferStep - 1) / kBufferStep * kBufferStep);
    m_bufReceived.append(data);
}

void FCHttpDownload::OnReadyRead()
{
    if (!m_pReply || m_bTooLarge)
        return;
    if (!m_bConnected)
        OnMetaData();
    if (m_pReply && !m_bTooLarge && !TakeFromReply())
        AbortTooLarge();
}

void FCHttpDownload::OnReplyFinished()
{
    if (!m_pReply)
        return;
    if (!m_bConnected) {
        ReadResponseFields();
        MarkConnected();
    }
    if (m_bHasContentLength && m_nContentLength > m_options.m_nMaxBytes)
        m_bTooLarge = true;
    if (!m_bTooLarge && !TakeFromReply())
        m_bTooLarge = true;
    m_bLastReadOk = !m_bTooLarge && m_pReply->error() == QNetworkReply::NoError;
    m_speed.Finish();
    m_timerSpeed.stop();
    QNetworkReply* pReply = m_pReply;
    m_pReply = nullptr;
    disconnect(pReply, nullptr, this, nullptr);
    pReply->deleteLater();
    emit Finished(m_nTask);
}

QByteArray FCHttpDownload::TakeReceived()
{
    std::lock_guard<std::mutex> lock(m_mutexBuffer);
    QByteArray data;
    data.swap(m_bufReceived);
    return data;
}
