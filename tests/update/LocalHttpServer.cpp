#include "LocalHttpServer.h"

#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace {

QByteArray ReasonPhrase(int nStatus)
{
    switch (nStatus) {
    case 200: return "OK";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 407: return "Proxy Authentication Required";
    default: return "Status";
    }
}

// Writes the body of one answer in pieces, then closes the connection.
void SendBody(QTcpSocket* pSocket, const CHttpRoute& route)
{
    const QByteArray body =
        route.m_nCutAfter >= 0 ? route.m_body.left(route.m_nCutAfter) : route.m_body;
    const int nPieces = std::max(1, route.m_nPieces);
    const qsizetype nPieceSize = (body.size() + nPieces - 1) / nPieces;
    auto pNext = std::make_shared<qsizetype>(0);
    auto* pTimer = new QTimer(pSocket);
    pTimer->setInterval(route.m_nPieceDelayMs);
    QObject::connect(pTimer, &QTimer::timeout, pSocket, [pSocket, pTimer, body, nPieceSize, pNext] {
        if (*pNext < body.size()) {
            pSocket->write(body.mid(*pNext, std::max<qsizetype>(1, nPieceSize)));
            *pNext += std::max<qsizetype>(1, nPieceSize);
        }
        if (*pNext >= body.size()) {
            pTimer->stop();
            pSocket->disconnectFromHost();
        }
    });
    pTimer->start();
}

}  // namespace

CLocalHttpServer::CLocalHttpServer()
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, &CLocalHttpServer::OnNewConnection);
}

QString CLocalHttpServer::Url(const QString& strPath) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(strPath);
}

void CLocalHttpServer::OnNewConnection()
{
    while (QTcpSocket* pSocket = m_server.nextPendingConnection()) {
        connect(pSocket, &QTcpSocket::disconnected, pSocket, &QObject::deleteLater);
        auto pRequest = std::make_shared<QByteArray>();
        connect(pSocket, &QTcpSocket::readyRead, this, [this, pSocket, pRequest] {
            pRequest->append(pSocket->readAll());
            const qsizetype nEnd = pRequest->indexOf("\r\n\r\n");
            if (nEnd < 0)
                return;
            const QList<QByteArray> lstLine = pRequest->left(pRequest->indexOf("\r\n")).split(' ');
            pRequest->clear();
            ++m_nRequests;
            const QString strPath = lstLine.size() > 1 ? QString::fromLatin1(lstLine[1]) : QString();
            const CHttpRoute route = m_mapRoutes.value(strPath, CHttpRoute{404, "missing", true});
            if (route.m_bNoAnswer)
                return;
            QByteArray head = "HTTP/1.1 " + QByteArray::number(route.m_nStatus) + ' ' +
                              ReasonPhrase(route.m_nStatus) + "\r\nConnection: close\r\nServer: local\r\n";
            if (route.m_bContentLength)
                head += "Content-Length: " + QByteArray::number(route.m_body.size()) + "\r\n";
            pSocket->write(head + "\r\n");
            SendBody(pSocket, route);
        });
    }
}
