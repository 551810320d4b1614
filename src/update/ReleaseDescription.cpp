#include "update/ReleaseDescription.h"

#include <QFile>
#include <QStringList>

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

// What's-new lines read at most, whatever the count announces: far more than the box shows,
// and few enough that a hostile count costs nothing.
constexpr int kMaxWhatsNewLines = 1000;

// The root's child elements by local name (the part after any prefix), first of each name.
// One pass over the children, so reading every name the description holds stays linear in
// its size however many children a hostile document has.
class CChildIndex
{
public:
    explicit CChildIndex(const pugi::xml_node& parent)
    {
        for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element)
                continue;
            const char* strQualified = child.name();
            const char* strColon = std::strrchr(strQualified, ':');
            m_mapChildren.try_emplace(std::string_view(strColon ? strColon + 1 : strQualified), child);
        }
    }

    bool Has(std::string_view strName) const { return m_mapChildren.count(strName) != 0; }

    // The child's trimmed text, empty when there is no such child.
    QString Text(std::string_view strName) const
    {
        const auto it = m_mapChildren.find(strName);
        return it == m_mapChildren.end() ? QString() : QString::fromUtf8(it->second.text().get()).trimmed();
    }

private:
    // The names point into the document, which outlives the index.
    std::unordered_map<std::string_view, pugi::xml_node> m_mapChildren;
};

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

    const CChildIndex children(root);
    CReleaseDescription desc;
    desc.m_strVersion = children.Text("Version");
    desc.m_strProduct = children.Text("Product");
    desc.m_strUrl = children.Text("url");
    bool bOk = false;
    desc.m_nNewCount = std::max(0, children.Text("newCount").toInt(&bOk));
    if (!bOk)
        desc.m_nNewCount = 0;

    // Lines new1..newN; one missing between present ones reads as a blank line, and the
    // text ends with the last line present, so a count above the lines adds nothing.
    QStringList lstLines;
    int nLastPresent = 0;
    const int nLines = std::min(desc.m_nNewCount, kMaxWhatsNewLines);
    for (int i = 1; i <= nLines; ++i) {
        const std::string strName = "new" + std::to_string(i);
        if (children.Has(strName))
            nLastPresent = i;
        lstLines << children.Text(strName);
    }
    desc.m_strWhatsNew = lstLines.mid(0, nLastPresent).join(QStringLiteral("\r\n"));

    out = desc;
    return true;
}
