#pragma once
// CFontMap: turns the PostScript name of a PDF font (often behind a subset prefix such as
// "ABCDEF+") into a font family the output can use: first through a built-in table of
// well-known fonts, then through the families installed on this machine, and finally
// "Times New Roman". Built once; afterwards read only, so any thread may read it.

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// One known font: the names it is looked up by and the family the output uses for it.
struct CFontEntry {
  std::wstring m_strDisplayName;  // exact-lookup key; also matched as a substring
  std::wstring m_strMatchName;    // matched as a substring of PDF font names; empty: never
  std::wstring m_strExtraName;    // third name of the entry; no lookup reads it (empty)
  std::wstring m_strFamily;       // output family; empty would mean the default family
};

// A family and the family name given alongside it.
struct CFontAlias {
  std::wstring m_strFamily;  // compared exactly
  std::wstring m_strFace;    // what MapFontFace returns for it
};

class CFontMap {
 public:
  // Rows of the built-in table; they are the first entries of every map.
  static constexpr std::size_t kBuiltInCount = 249;

  // The built-in table plus the families installed on this machine (fontconfig). Never
  // fails: without installed families the table and the default family still apply.
  CFontMap();
  // The built-in table plus `installedFamilies` in place of the machine's, in any order;
  // empty names are ignored.
  explicit CFontMap(std::vector<std::wstring> installedFamilies);
  CFontMap(const CFontMap&) = delete;
  CFontMap& operator=(const CFontMap&) = delete;

  // The output family for the PDF font `name` (its BaseFont name). Never empty: a name
  // that nothing matches gives "Times New Roman". Borrowed: valid as long as the map.
  const std::wstring& MapFontName(std::wstring_view name) const;

  // The family to give alongside `family` (exact comparison), or the empty string.
  // Borrowed: valid as long as the map.
  const std::wstring& MapFontFace(std::wstring_view family) const;

  // Every entry in lookup order: the built-in rows, then the installed families added.
  const std::vector<CFontEntry>& GetEntries() const { return m_vecEntries; }

 private:
  void AddEntry(CFontEntry entry);

  using Index = std::map<std::wstring, std::size_t, std::less<>>;

  std::vector<CFontEntry> m_vecEntries;  // lookup order; the indexes hold positions in it
  Index m_mapDisplayIndex;               // display name -> its first entry
  Index m_mapFamilyIndex;                // output family -> its first entry
  std::vector<CFontAlias> m_vecAliases;  // family pairs for MapFontFace
  std::wstring m_strDefaultFamily;       // "Times New Roman"
  std::wstring m_strEmpty;               // MapFontFace's answer when no alias applies
};
