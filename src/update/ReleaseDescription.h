#pragma once
// The release description the update check downloads: an XML document whose root holds
// Version, Product, newCount, the what's-new lines new1..newN and url, each found among the
// root's child elements by local name and read as trimmed text.

#include <QString>

struct CReleaseDescription
{
    QString m_strVersion;   // version text of the release
    QString m_strProduct;   // product name shown with the version
    int m_nNewCount = 0;    // what's-new lines announced (negative or unreadable reads 0)
    // Lines new1..newN joined with CR LF between them (at most the first 1000; a line
    // missing between present ones is blank, and the text ends with the last one present).
    QString m_strWhatsNew;
    QString m_strUrl;       // address of the installer
};

// Loads the file at strPath. False when it cannot be read or is not well-formed XML with a
// root element; out is then untouched. Missing elements read as empty text.
bool LoadReleaseDescription(const QString& strPath, CReleaseDescription& out);
