#pragma once
// The temporary file a download window writes into: a unique file with the prefix "t" in
// the system's temporary folder, made when the window is made and removed with it unless
// it was renamed away (the installer keeps its new name).

#include <QByteArray>
#include <QString>

class CTempDownloadFile
{
public:
    CTempDownloadFile();
    ~CTempDownloadFile();
    CTempDownloadFile(const CTempDownloadFile&) = delete;
    CTempDownloadFile& operator=(const CTempDownloadFile&) = delete;

    // Truncates the file, making a fresh unique one when it is gone. False when no file
    // could be made or opened.
    bool Empty();
    // Appends bytes at the end without truncating. False when the write fails; the file's
    // size then falls short and the download is judged incomplete.
    bool Append(const QByteArray& data);
    // The file's size in bytes, -1 when it does not exist.
    qint64 Size() const;
    // Empty when the file could not be made.
    QString Path() const { return m_strPath; }
    // Renames the file to strNewPath after removing any file of that name; the object then
    // no longer owns a file. False when the rename fails (the file stays where it was).
    bool RenameTo(const QString& strNewPath);

private:
    bool Create();

    QString m_strPath;  // absolute path of the file, empty when none
};
