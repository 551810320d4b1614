#include "update/TempDownloadFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

CTempDownloadFile::CTempDownloadFile()
{
    Create();
}

CTempDownloadFile::~CTempDownloadFile()
{
    if (!m_strPath.isEmpty())
        QFile::remove(m_strPath);
}

bool CTempDownloadFile::Create()
{
    QTemporaryFile file(QDir(QDir::tempPath()).filePath(QStringLiteral("tXXXXXX")));
    file.setAutoRemove(false);
    if (!file.open()) {
        m_strPath.clear();
        return false;
    }
    m_strPath = QFileInfo(file.fileName()).absoluteFilePath();
    return true;
}

bool CTempDownloadFile::Empty()
{
    if (m_strPath.isEmpty() || !QFileInfo::exists(m_strPath))
        return Create();
    QFile file(m_strPath);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

bool CTempDownloadFile::Append(const QByteArray& data)
{
    if (m_strPath.isEmpty())
        return false;
    if (data.isEmpty())
        return true;
    QFile file(m_strPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    return file.write(data) == data.size();
}

qint64 CTempDownloadFile::Size() const
{
    if (m_strPath.isEmpty())
        return -1;
    const QFileInfo info(m_strPath);
    return info.exists() ? info.size() : -1;
}

bool CTempDownloadFile::RenameTo(const QString& strNewPath)
{
    if (m_strPath.isEmpty())
        return false;
    if (QFileInfo::exists(strNewPath) && !QFile::remove(strNewPath))
        return false;
    if (!QFile::rename(m_strPath, strNewPath))
        return false;
    m_strPath.clear();
    return true;
}
