#include "layout/LayoutBoxes.h"

#include <gtest/gtest.h>

#include "layout/LayoutAnalysis.h"

namespace {

using namespace nsPDFData;
using layout::CBox;

CTextWord* Word(float x, float y, float w, float h, int order) {
  auto* word = new CTextWord;
  word->m_strText = L"w";
  word->m_fX = x;
  word->m_fY = y;
  word->m_fWidth = w;
  word->m_fHeight = h;
  word->m_nOrder = order;
  return word;
}

TEST(LayoutBoxes, UnionAndIntersection) {
  const CBox a{0, 0, 10, 10}, apart{15, 2, 5, 5}, touching{10, 0, 5, 5};
  const CBox u = layout::UnionBox(a, apart);
  EXPECT_FLOAT_EQ(u.m_fX, 0);
  EXPECT_FLOAT_EQ(u.m_fWidth, 20);
  EXPECT_FLOAT_EQ(u.m_fHeight, 10);
  EXPECT_FLOAT_EQ(layout::IntersectBox(a, apart).m_fWidth, -5);
  EXPECT_FLOAT_EQ(layout::IntersectBox(a, touching).m_fWidth, 0);
  EXPECT_FLOAT_EQ(layout::IntersectBox(a, touching).m_fHeight, 5);
}

TEST(LayoutBoxes, RecomputeStoresOnBlocksAndColumnsButNotOnTextLines) {
  CTextLine block;
  auto* column = new CTextLine;
  auto* line = new CTextLine;
  line->m_fX = 99;  // a text line's stored box stays as it was
  line->m_lstTextWords.push_back(Word(10, 20, 5, 5, 3));
  line->m_lstTextWords.push_back(Word(30, 18, 5, 5, 70000));
  column->m_lstTextLines.push_back(line);
  auto* empty = new CTextLine;  // a child without content contributes its stored box
  empty->m_fX = 0;
  empty->m_fY = 100;
  empty->m_fWidth = 1;
  empty->m_fHeight = 1;
  column->m_lstTextLines.push_back(empty);
  block.m_lstTextLines.push_back(column);

  const CBox box = layout::RecomputeBox(block);
  EXPECT_FLOAT_EQ(box.m_fX, 0);
  EXPECT_FLOAT_EQ(box.m_fY, 18);
  EXPECT_FLOAT_EQ(box.m_fWidth, 35);
  EXPECT_FLOAT_EQ(box.m_fHeight, 83);
  EXPECT_FLOAT_EQ(block.m_fWidth, 35);
  EXPECT_FLOAT_EQ(column->m_fY, 18);
  EXPECT_FLOAT_EQ(line->m_fX, 99);

  const auto range = layout::GetOrderRange(block);
  EXPECT_EQ(range.m_nSmallest, 3);
  EXPECT_EQ(range.m_nLargest, 70000);
  const auto none = layout::GetOrderRange(*empty);
  EXPECT_EQ(none.m_nSmallest, 0xFFFF);
  EXPECT_EQ(none.m_nLargest, -1);
}

TEST(LayoutBoxes, OrderRangeStartsAt65535) {
  CTextLine column;
  auto* line = new CTextLine;
  line->m_lstTextWords.push_back(Word(0, 0, 1, 1, 70000));
  column.m_lstTextLines.push_back(line);
  EXPECT_EQ(layout::GetOrderRange(column).m_nSmallest, 0xFFFF);
}

TEST(LayoutAnalysis, EmptyPageStaysEmpty) {
  CTextPage page;
  AnalyzeTextLayout(page);
  AnalyzeSlideLayout(page);
  EXPECT_TRUE(page.m_lstTextLines.empty());
  EXPECT_TRUE(page.m_vecFloatTexts.empty());
}

}  // namespace
