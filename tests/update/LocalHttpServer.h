#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the update tests. Each path answers as its
// route says: a status and body, with or without Content-Length, in timed pieces, cut
// short after some bytes, or never at all (the connection is accepted and left silent).

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTcpServer>

struct CHttpRoute
{
    int m_nStatus = 200;
    QByteArray m_body;
    bool m_bContentLength = true;  // send Content-Length: the body's full size
    qint64 m_nCutAfter = -1;       // close after this many body bytes (-1: the whole body)
    int m_nPieces = 1;             // body sent in this many pieces ...
    int m_nPieceDelayMs = 0;       // ... this far apart
    bool m_bNoAnswer = false;      // read the request, never answer
};

class CLocalHttpServer : public QObject
{
    Q_OBJECT
public:
    CLocalHttpServer();
    bool IsListening() const { return m_server.isListening(); }
    QString Url(const QString& strPath) const;
    void SetRoute(const QString& strPath, const CHttpRoute& route) { m_mapRoutes[strPath] = route; }
    int Requests() const { return m_nRequests; }

private:
    void OnNewConnection();

    QTcpServer m_server;
    QMap<QString, CHttpRoute> m_mapRoutes;
    int m_nRequests = 0;
};
