#include "driver/PageLinkTargets.h"

#include <gtest/gtest.h>

#include "capture/TextPage.h"

namespace {

using namespace nsPDFData;

CTextWord* LinkedWord(int32_t type, const wchar_t* target) {
  auto* word = new CTextWord;
  word->m_strText = L"w";
  word->m_nLinkType = type;
  word->m_strLinkTarget = target;
  return word;
}

// Page links follow the job's page order; web links stay; links to pages left out go.
TEST(PageLinkTargets, PageLinksNameTheSlideThatShowsThePage) {
  struct Case {
    int32_t type;
    const wchar_t* target;
    int32_t wantType;
    const wchar_t* wantTarget;
  };
  const Case cases[] = {
      {3, L"5", 3, L"1"},   // page 5 is the first slide
      {3, L"2", 3, L"2"},
      {3, L"9", 3, L"3"},   // page 9 appears twice: its first slide
      {3, L"7", -1, L""},   // not converted
      {3, L"x", -1, L""},   // not a page number
      {1, L"http://a.example/9", 1, L"http://a.example/9"},
      {-1, L"", -1, L""},
  };
  CTextPage page;
  auto* line = new CTextLine;
  for (const auto& c : cases) line->m_lstTextWords.push_back(LinkedWord(c.type, c.target));
  auto* column = new CTextLine;
  column->m_lstTextLines.push_back(line);
  auto* block = new CTextLine;
  block->m_lstTextLines.push_back(column);
  page.m_lstTextLines.push_back(block);
  auto* floating = new CFloatText;
  floating->m_pLine = new CTextLine;
  floating->m_pLine->m_lstTextWords.push_back(LinkedWord(3, L"2"));
  page.m_vecFloatTexts.push_back(floating);
  auto* image = new CImageObj;
  image->m_nLinkType = 3;
  image->m_strLinkTarget = L"9";
  page.m_lstImages.push_back(image);

  RetargetPageLinks(page, {5, 2, 9, 9});

  size_t i = 0;
  for (auto* base : line->m_lstTextWords) {
    auto* word = static_cast<CTextWord*>(base);
    EXPECT_EQ(word->m_nLinkType, cases[i].wantType) << i;
    EXPECT_EQ(word->m_strLinkTarget, cases[i].wantTarget) << i;
    ++i;
  }
  EXPECT_EQ(static_cast<CTextWord*>(floating->m_pLine->m_lstTextWords.front())->m_strLinkTarget, L"2");
  EXPECT_EQ(image->m_strLinkTarget, L"3");
}

}  // namespace
