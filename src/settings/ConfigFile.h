#pragma once
// The settings store: named string values in config.xml beside the executable. Every read
// loads the file afresh and every write rewrites it, so two windows never see stale values.
#include <memory>
#include <string>

namespace DornXml { class CXml; }

class CConfigFile
{
public:
    // Loads strPath; a missing or malformed file is replaced by the default document. When
    // that file cannot be written the store is disabled for the rest of the run. Never fails
    // otherwise; IsEnabled tells which.
    explicit CConfigFile(const std::wstring& strPath);
    ~CConfigFile();
    CConfigFile(const CConfigFile&) = delete;
    CConfigFile& operator=(const CConfigFile&) = delete;

    bool IsEnabled() const;
    // The text of element strKey under the root; empty when missing or the store is disabled.
    std::wstring GetValue(const std::wstring& strKey) const;
    // Sets (creating when missing) element strKey under the root of the file as it is now and
    // replaces the file in one step, so a failed write leaves the old file. Does nothing on a
    // disabled store or when strKey cannot be an element name (no colon, no apostrophe, ...).
    void SetValue(const std::wstring& strKey, const std::wstring& strValue);

private:
    std::wstring m_strPath;                 // the settings file
    std::unique_ptr<DornXml::CXml> m_pXml;  // absent when the store is disabled
};
