#include "update/ReleaseDescription.h"

#include <QFile>
#include <QStringList>

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>

namespace {

// The first child element whose local name (the part after any prefix) equals strName.
pugi::xml_node ChildByLocalName(const pugi::xml_node& parent, const char* strName)
{
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element)
            continue;
        const char* strQualified = child.name();
        const char* strColon = std::strrchr(strQualified, ':');
        const char* strLocal = strColon ? strColon + 1 : strQualified;
        if (std::strcmp(strLocal, strName) == 0)
            return child;
    }
    return {};
}

QString ChildText(const pugi::xml_node& parent, const char* strName)
{
    const pugi::xml_node child = ChildByLocalName(parent, strName);
    return child ? QString::fromUtf8(child.text().get()).trimmed() : QString();
}

}  // namespace

bool LoadReleaseDescription(const QString& strPath, CReleaseDescription& out)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    pugi::xml_document doc;
    if (!doc.load_buffer(data.constData(), static_cast<size_t>(data.size())))
        return false;
    const pugi::xml_node root = doc.document_element();
    if (!root)
        return false;

    CReleaseDescription desc;
    desc.m_strVersion = ChildText(root, "Version");
    desc.m_strProduct = ChildText(root, "Product");
    desc.m_strUrl = ChildText(root, "url");
    bool bOk = false;
    desc.m_nNewCount = std::max(0, ChildText(root, "newCount").toInt(&bOk));
    if (!bOk)
        desc.m_nNewCount = 0;

    // A count beyond the root's children names lines that cannot exist; reading at most as
    // many as there are children keeps a hostile count from looping for billions of names.
    int nChildren = 0;
    for (pugi::xml_node child = root.first_child(); child; child = child.next_sibling())
        nChildren += child.type() == pugi::node_element ? 1 : 0;
    const int nLines = std::min(desc.m_nNewCount, nChildren);
    QStringList lstLines;
    for (int i = 1; i <= nLines; ++i)
        lstLines << ChildText(root, QStringLiteral("new%1").arg(i).toUtf8().constData());
    desc.m_strWhatsNew = lstLines.join(QStringLiteral("\r\n"));

    out = desc;
    return true;
}
