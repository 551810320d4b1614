#include "capture/TextPage.h"

#include <gtest/gtest.h>

namespace {

using namespace nsPDFData;

CTextWord* NewWord(const wchar_t* text, int order) {
  auto* word = new CTextWord;
  word->m_strText = text;
  word->m_nOrder = order;
  return word;
}

// A block holding one column holding one line of `words` words, as the capture leaves it.
CTextLine* NewBlock(int words, int& order) {
  auto* line = new CTextLine;
  line->m_bColumn = 0;
  for (int i = 0; i < words; ++i) line->m_lstTextWords.push_back(NewWord(L"w", order++));
  auto* column = new CTextLine;
  column->m_lstTextLines.push_back(line);
  auto* block = new CTextLine;
  block->m_bColumn = 0;
  block->m_lstTextLines.push_back(column);
  block->m_vecGaps.push_back(new CGapBox{1, 2, 3, 4});
  return block;
}

TEST(TextPage, ConstructionValues) {
  CTextPage page;
  CTextLine line;
  CTextWord word;
  CPathObj path;
  CPathSeg seg;
  CImageObj image;
  EXPECT_EQ(page.m_nType, 4);
  EXPECT_EQ(line.m_nType, 1);
  EXPECT_EQ(line.m_bColumn, 1);
  EXPECT_EQ(word.m_nLinkType, -1);
  EXPECT_DOUBLE_EQ(word.m_dAlpha, 1.0);
  EXPECT_DOUBLE_EQ(path.m_dFillAlpha, 1.0);
  EXPECT_EQ(path.m_bFilled, 1);
  EXPECT_FLOAT_EQ(seg.m_fLineWidth, 1.0f);
  EXPECT_EQ(image.m_pData, nullptr);
  EXPECT_EQ(image.m_nDataSize, 0);
  EXPECT_FLOAT_EQ(path.m_afTransform[4], 1.0f);
}

// Splicing moves nodes between containers; deleting the page must free each object once
// (the sanitizer build reports a double free or a leak otherwise).
TEST(TextPage, DeletingAPageAfterSplicingFreesEveryObjectOnce) {
  auto* page = new CTextPage;
  int order = 0;
  for (int i = 0; i < 4; ++i) page->m_lstTextLines.push_back(NewBlock(3, order));

  // Move the column of the second block into the first, then drop the emptied block.
  auto first = static_cast<CTextLine*>(page->m_lstTextLines.front());
  auto secondIt = std::next(page->m_lstTextLines.begin());
  auto second = static_cast<CTextLine*>(*secondIt);
  first->m_lstTextLines.splice(first->m_lstTextLines.end(), second->m_lstTextLines);
  page->m_lstTextLines.erase(secondIt);
  delete second;
  // Move one text line of the third block into a floating record.
  auto third = static_cast<CTextLine*>(*std::next(page->m_lstTextLines.begin()));
  auto column = static_cast<CTextLine*>(third->m_lstTextLines.front());
  auto* floating = new CFloatText;
  floating->m_pLine = static_cast<CTextLine*>(column->m_lstTextLines.front());
  column->m_lstTextLines.pop_front();
  page->m_vecFloatTexts.push_back(floating);

  auto* path = new CPathObj;
  path->m_vecSegs.push_back(new CPathSeg);
  page->m_vecPaths.push_back(path);
  auto* image = new CImageObj;
  image->m_pData = new uint8_t[16];
  image->m_nDataSize = 16;
  page->m_lstImages.push_back(image);

  EXPECT_EQ(first->m_lstTextLines.size(), 2u);
  EXPECT_EQ(page->m_lstTextLines.size(), 3u);
  delete page;
}

}  // namespace
