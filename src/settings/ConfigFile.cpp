#include "settings/ConfigFile.h"

#include <string_view>

#include "settings/Xml.h"

namespace {

// The file written when there is none or it does not load: declaration, a line feed, two
// spaces and the empty root, 60 bytes with no trailing line break.
constexpr std::string_view kDefaultDocument =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n  <xmlroot></xmlroot>";

}  // namespace

CConfigFile::CConfigFile(const std::wstring& strPath)
    : m_strPath(strPath), m_pXml(std::make_unique<DornXml::CXml>())
{
    // The default file is not loaded here: every read loads the file anyway.
    if (!m_pXml->Open(m_strPath) && !DornXml::ReplaceFile(m_strPath, kDefaultDocument)) m_pXml.reset();
}

CConfigFile::~CConfigFile() = default;

bool CConfigFile::IsEnabled() const
{
    return m_pXml != nullptr;
}

std::wstring CConfigFile::GetValue(const std::wstring& strKey) const
{
    if (!m_pXml || !m_pXml->Open(m_strPath)) return std::wstring();
    const DornXml::CXmlNodePtr pRoot = m_pXml->GetRoot();
    const DornXml::CXmlNodePtr pNode = pRoot ? pRoot->GetChild(strKey, false) : nullptr;
    return pNode ? pNode->GetValue() : std::wstring();
}

void CConfigFile::SetValue(const std::wstring& strKey, const std::wstring& strValue)
{
    if (!m_pXml) return;
    // Start from the file as it is now, so a change made since the last read is kept; a
    // file that vanished or broke meanwhile is replaced, as at start-up, with this value in it.
    if (!m_pXml->Open(m_strPath) && !m_pXml->Parse(kDefaultDocument)) return;
    const DornXml::CXmlNodePtr pRoot = m_pXml->GetRoot();
    const DornXml::CXmlNodePtr pNode = pRoot ? pRoot->GetChild(strKey, true) : nullptr;
    if (!pNode) return;
    pNode->SetValue(strValue);
    m_pXml->Save(m_strPath);
}
