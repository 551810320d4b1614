#include "capture/FontMap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Strings.h"

namespace {

struct NameCase {
  const wchar_t* m_szName;    // PDF font name
  const wchar_t* m_szFamily;  // expected output family
};

void ExpectMaps(const CFontMap& map, const std::vector<NameCase>& cases) {
  for (const NameCase& c : cases)
    EXPECT_EQ(platform::WideToUtf8Lossy(map.MapFontName(c.m_szName)),
              platform::WideToUtf8Lossy(c.m_szFamily))
        << "name: " << platform::WideToUtf8Lossy(c.m_szName);
}

// The lookup walks the entries in order, so a row out of place changes results: check the
// count, the ends, repeated names and the rows with unusual names.
TEST(FontMap, BuiltInTableKeepsItsRowsInOrder) {
  const CFontMap map(std::vector<std::wstring>{});
  const auto& entries = map.GetEntries();
  ASSERT_EQ(entries.size(), CFontMap::kBuiltInCount);
  struct Row {
    size_t m_nIndex;
    const wchar_t* m_szDisplay;
    const wchar_t* m_szMatch;
    const wchar_t* m_szFamily;
  };
  const Row rows[] = {
      {0, L"Helvetica", L"Helvetica", L"Helvetica"},
      {5, L"Adobe Myungjo Std M", L"", L"Adobe Myungjo Std M"},
      {8, L"Adobe 黑体 Std R", L"AdobeHeitiStd-Regular", L"黑体"},
      {10, L"Adobe Ming Std L", L"AdobeMingStd-Light", L"Adobe 明體 Std L"},
      {14, L"Minion Pro", L"MinionPro-Regular", L"Minion Pro"},
      {15, L"Minion Pro", L"MinionPro-Regular", L"Minion Pro"},
      {31, L"Baskerville Old Face", L"BaskervilleOldFace", L"Baskerville Old Face"},
      {44, L"Baskerville Old Face", L"BaskOldFace", L"Baskerville Old Face"},
      {48, L"Bookshelf Symbol 7", L"BookshelfSymbol7", L"Bookself Symbol 7"},
      {137, L"Modern No. 20", L"Modern", L"Modern No. 20"},
      {175, L"Times New Roman", L"TimesNewRoman", L"Times New Roman"},
      {232, L"宋体-方正超大字符集", L"FZSY", L"宋体-方正超大字符集"},
      {243, L"金梅美工愛心字形", L"\uE056宾\uE117\uE61B稲み\uE6D8\uE7AC", L"金梅美工愛心字形"},
      {248, L"Zdingbats", L"ZDingbat-Medium", L"Zdingbats"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.m_nIndex);
    const CFontEntry& entry = entries.at(row.m_nIndex);
    EXPECT_EQ(entry.m_strDisplayName, row.m_szDisplay);
    EXPECT_EQ(entry.m_strMatchName, row.m_szMatch);
    EXPECT_EQ(entry.m_strFamily, row.m_szFamily);
  }
  for (const CFontEntry& entry : entries) EXPECT_TRUE(entry.m_strExtraName.empty());
}

TEST(FontMap, MapsPdfNamesThroughTheBuiltInTable) {
  const CFontMap map(std::vector<std::wstring>{});
  ExpectMaps(map, {
      {L"ABCDEF+ArialMT", L"Arial"},          // prefix removed; matching name of "Arial MT"
      {L"Arial-BoldMT", L"Arial"},            // the row "Arial" by substring
      {L"Helvetica-Bold", L"Helvetica"},      // the first row by substring
      {L"XYZABC+SimSun", L"宋体"},
      {L"STFangsong", L"华文仿宋"},
      {L"AdobeMingStd-Light", L"Adobe 明體 Std L"},
      {L"微软雅黑", L"微软雅黑"},              // exact display name
      {L"Bodoni MT,Bold", L"Bodoni MT"},      // display name found as a substring
      {L"Times-Roman", L"Times New Roman"},
      {L"Adobe Myungjo Std M", L"Adobe Myungjo Std M"},
  });
}

// Exact display names are looked up before the walk, and a repeated display name is
// indexed by its first row; the later rows are still reached through the walk.
TEST(FontMap, ExactDisplayNameWinsAndTheFirstOfRepeatedNamesIsIndexed) {
  const CFontMap map(std::vector<std::wstring>{});
  ExpectMaps(map, {
      // The walk would stop at the earlier row "Simplified Arabic".
      {L"Simplified Arabic Fixed", L"Simplified Arabic Fixed"},
      {L"ABCDEF+Simplified Arabic Fixed", L"Simplified Arabic Fixed"},
      // Six characters before the plus sign: no subset prefix, so no exact hit.
      {L"ABCDE+Simplified Arabic Fixed", L"Simplified Arabic"},
      {L"Leelawadee", L"Leelawadee"},  // row 118, not row 119 ("Levenim MT")
      {L"LevenimMT", L"Levenim MT"},
      {L"Zdingbats", L"Times New Roman"},  // row 190, not row 248
      {L"ABCDEF+Zdingbats", L"Times New Roman"},
      {L"ZDingbat-Medium", L"Zdingbats"},
  });
}

// An empty matching name must not match every key (row 5 has one), and matching is
// case-sensitive.
TEST(FontMap, UnknownNamesGiveTheDefaultFamily) {
  const CFontMap map(std::vector<std::wstring>{});
  ExpectMaps(map, {
      {L"Nothing Known", L"Times New Roman"},
      {L"", L"Times New Roman"},
      {L"ABCDEF+", L"Times New Roman"},  // exactly the prefix: kept as the key
      {L"arialmt", L"Times New Roman"},
      {L"AdobeMyungjoStd-Medium", L"Times New Roman"},
      {L"LiberationSans-Bold", L"Times New Roman"},
  });
}

TEST(FontMap, InstalledFamilyIsFoundByItsNameWithoutSpaces) {
  const CFontMap map(std::vector<std::wstring>{L"Liberation Sans"});
  ASSERT_EQ(map.GetEntries().size(), CFontMap::kBuiltInCount + 1);
  const CFontEntry& added = map.GetEntries().back();
  EXPECT_EQ(added.m_strDisplayName, L"Liberation Sans");
  EXPECT_EQ(added.m_strMatchName, L"LiberationSans");
  EXPECT_EQ(added.m_strExtraName, L"");
  EXPECT_EQ(added.m_strFamily, L"Liberation Sans");
  ExpectMaps(map, {
      {L"LiberationSans-Bold", L"Liberation Sans"},
      {L"QWERTY+LiberationSans-Italic", L"Liberation Sans"},
      {L"Liberation Sans", L"Liberation Sans"},
  });
}

// The families are given shortest first; the longer one must still be tried first.
TEST(FontMap, LongerInstalledFamiliesAreTriedFirst) {
  const CFontMap map(std::vector<std::wstring>{L"DejaVu Sans", L"DejaVu Sans Mono", L"Noto"});
  const auto& entries = map.GetEntries();
  ASSERT_EQ(entries.size(), CFontMap::kBuiltInCount + 3);
  EXPECT_EQ(entries[CFontMap::kBuiltInCount].m_strDisplayName, L"DejaVu Sans Mono");
  EXPECT_EQ(entries[CFontMap::kBuiltInCount + 2].m_strDisplayName, L"Noto");
  ExpectMaps(map, {
      {L"DejaVuSansMono-Oblique", L"DejaVu Sans Mono"},
      {L"DejaVuSans-Bold", L"DejaVu Sans"},
  });
}

TEST(FontMap, BuiltInRowsComeBeforeInstalledFamilies) {
  const CFontMap map(std::vector<std::wstring>{L"Arial Special"});
  ExpectMaps(map, {{L"ArialSpecial-Bold", L"Arial"}});  // the row "Arial" matches first
}

// A family is skipped when its name without spaces is already an output family; a family
// the table names with spaces is added, which lets other styles of it be found.
TEST(FontMap, InstalledFamiliesAlreadyGivenAsOutputFamiliesAreSkipped) {
  struct Case {
    std::vector<std::wstring> m_vecFamilies;
    size_t m_nAdded;
  };
  const Case cases[] = {
      {{L"Arial", L"Tahoma"}, 0},
      {{L"", L"Arial"}, 0},                  // empty names are no families
      {{L"Agency FB"}, 1},                   // "AgencyFB" is not an output family
      {{L"Foundry", L"Foundry"}, 1},         // the second is now an output family
  };
  for (const Case& c : cases) {
    const CFontMap map(c.m_vecFamilies);
    EXPECT_EQ(map.GetEntries().size(), CFontMap::kBuiltInCount + c.m_nAdded);
  }
  EXPECT_EQ(CFontMap(std::vector<std::wstring>{}).MapFontName(L"AgencyFB-Bold"),
            L"Times New Roman");
  EXPECT_EQ(CFontMap(std::vector<std::wstring>{L"Agency FB"}).MapFontName(L"AgencyFB-Bold"),
            L"Agency FB");
}

// The default constructor reads the machine's families; the setup script installs DejaVu.
TEST(FontMap, DefaultConstructionAddsTheMachinesFamilies) {
  const CFontMap map;
  EXPECT_GT(map.GetEntries().size(), CFontMap::kBuiltInCount);
  EXPECT_EQ(map.MapFontName(L"ABCDEF+DejaVuSerif-Bold"), L"DejaVu Serif");
}

TEST(FontMap, MapFontFaceGivesTheAliasOnlyForItsExactFamily) {
  const CFontMap map(std::vector<std::wstring>{});
  EXPECT_EQ(map.MapFontFace(L"华文仿宋"), L"STFangsong");
  EXPECT_EQ(map.MapFontFace(map.MapFontName(L"ABCDEF+STFangsong")), L"STFangsong");
  for (const wchar_t* other : {L"STFangsong", L"华文仿宋 ", L"华文", L"Times New Roman", L""})
    EXPECT_EQ(map.MapFontFace(other), L"") << platform::WideToUtf8Lossy(other);
}

}  // namespace
