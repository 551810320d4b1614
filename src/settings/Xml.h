#pragma once
// A thin DOM wrapper over pugixml for the settings store: a document loaded from a file,
// its elements as shared handles, and a save that replaces the file in one step. Nothing
// here throws; parser and XPath errors end inside the wrapper as a failed result.

#include <memory>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace DornXml {

class CXmlNode;
using CXmlNodePtr = std::shared_ptr<CXmlNode>;

// One element. The handle keeps its document alive, so it stays valid after the owning
// CXml loads another file.
class CXmlNode
{
public:
    CXmlNode(std::shared_ptr<pugi::xml_document> pDoc, pugi::xml_node node);

    // The first child element whose local name is strName, or null. With bCreate a missing
    // child is created and appended. Null when strName cannot be an element name: no such
    // element can be written, so none is read either.
    CXmlNodePtr GetChild(const std::wstring& strName, bool bCreate);
    // All text inside the element, in document order; empty when there is none.
    std::wstring GetValue() const;
    // Replaces everything inside the element by strText. Characters that XML 1.0 cannot
    // carry are dropped, so the saved file always loads again.
    void SetValue(const std::wstring& strText);

private:
    std::shared_ptr<pugi::xml_document> m_pDoc;   // keeps m_node's storage alive
    pugi::xml_node m_node;                        // the element
};

class CXml
{
public:
    CXml() = default;
    CXml(const CXml&) = delete;
    CXml& operator=(const CXml&) = delete;

    // Loads strPath into a fresh document. Fails (false) when the file is missing, not a
    // regular file, unreadable or not well-formed; the previous document is then dropped.
    bool Open(const std::wstring& strPath);
    // Loads a document from bytes instead of a file; false when they are not well-formed.
    bool Parse(std::string_view bytes);
    // The document element, or null when no document is loaded.
    CXmlNodePtr GetRoot() const;
    // Writes the document to strPath (UTF-8, tab-indented) through ReplaceFile; on
    // success remembers strPath. False when nothing is loaded or the write fails.
    bool Save(const std::wstring& strPath);

    const std::wstring& GetPath() const { return m_strPath; }

private:
    std::wstring m_strPath;                        // the file last opened or saved
    std::shared_ptr<pugi::xml_document> m_pDoc;    // null until a load succeeds
};

// True when strName can be a child element's name that the local-name lookup finds: an XML
// name without a colon.
bool IsElementName(std::wstring_view strName);

// Replaces the file at strPath by bytes without a moment where the file is missing or
// half-written: the bytes go to a new file in the same folder, which is then renamed over
// strPath (a symbolic link is followed and its target replaced). An existing file's
// permission bits are kept. False on any failure, which leaves the old file as it was.
bool ReplaceFile(const std::wstring& strPath, std::string_view bytes);

}  // namespace DornXml
