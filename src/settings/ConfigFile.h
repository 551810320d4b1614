#pragma once
// The settings store: named string values in config.xml beside the executable. Every read
// loads the file afresh and every write rewrites it, so two windows never see stale values.
#include <memory>
#include <string>

namespace pugi { class xml_document; }

class CConfigFile
{
public:
    // Loads strPath; a missing or malformed file is replaced by the default document. When
    // that file cannot be written the store is disabled for the rest of the run.
    explicit CConfigFile(const std::wstring& strPath);
    ~CConfigFile();
    CConfigFile(const CConfigFile&) = delete;
    CConfigFile& operator=(const CConfigFile&) = delete;

    bool IsEnabled() const;
    // The text of element strKey under the root; empty when missing or the store is disabled.
    std::wstring GetValue(const std::wstring& strKey) const;
    // Sets (creating when missing) element strKey under the root and rewrites the file.
    void SetValue(const std::wstring& strKey, const std::wstring& strValue);

private:
    std::wstring m_strPath;
    std::unique_ptr<pugi::xml_document> m_pXml;   // absent when the store is disabled
};
