// Bands, columns and line cleanup: MergeOverlappingBlocks, MergeOverlappingColumns and CleanColumnLines.

#include <gtest/gtest.h>

#include <memory>

#include "LayoutTreeBuilder.h"
#include "layout/CleanColumnLines.h"
#include "layout/MergeOverlappingBlocks.h"
#include "layout/MergeOverlappingColumns.h"

namespace {

using namespace layout_test;

// ---- MergeOverlappingBlocks ------------------------------------------------------------

struct BandCase {
  const char* m_szName;
  float m_fTopP, m_fHeightP, m_fTopC, m_fHeightC;
  bool m_bMerged;
};

TEST(MergeOverlappingBlocks, MergesAbove21PercentOverlap) {
  const BandCase cases[] = {
      {"21% of 100", 0, 100, 79, 100, false},
      {"22% of 100", 0, 100, 78, 100, true},
      {"touching", 0, 100, 100, 100, false},
      {"touching, tiny heights", 0, 1, 1, 1, false},
      {"apart", 0, 10, 15, 10, false},
      {"small inside large", 0, 100, 40, 10, true},
      {"21% of the smaller height 50", 0, 100, 89.5f, 50, false},
      {"22% of the smaller height 50", 0, 100, 89, 50, true},
  };
  for (const BandCase& test : cases) {
    CTextPage page;
    page.m_lstTextLines.push_back(NewCaptureBlock({{L"p", 0, test.m_fTopP, 50, test.m_fHeightP, 0}}));
    page.m_lstTextLines.push_back(NewCaptureBlock({{L"c", 100, test.m_fTopC, 50, test.m_fHeightC, 1}}));
    const CWordCensus census(page);
    layout::MergeOverlappingBlocks(page);
    EXPECT_EQ(PagePicture(page), test.m_bMerged ? "p | c" : "p / c") << test.m_szName;
    census.ExpectAllKept(page);
    if (test.m_bMerged) {
      const CTextLine& band = LineAt(page.m_lstTextLines, 0);
      EXPECT_FLOAT_EQ(band.m_fX, 0) << test.m_szName;
      EXPECT_FLOAT_EQ(band.m_fWidth, 150) << test.m_szName;
      EXPECT_FLOAT_EQ(band.m_fY, 0) << test.m_szName;
      EXPECT_FLOAT_EQ(band.m_fHeight, std::max(test.m_fHeightP, test.m_fTopC + test.m_fHeightC)) << test.m_szName;
    }
  }
}

TEST(MergeOverlappingBlocks, BandGrowsAlongAChain) {
  CTextPage page;  // a and c are apart, but each overlaps b by 3 of 10 points
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"c", 200, 14, 50, 10, 2}}));
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"a", 0, 0, 50, 10, 0}}));
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"b", 100, 7, 50, 10, 1}}));
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"d", 0, 30, 50, 10, 3}}));
  layout::MergeOverlappingBlocks(page);
  EXPECT_EQ(PagePicture(page), "a | b | c / d");
}

TEST(MergeOverlappingBlocks, EqualTopsKeepTheirOrder) {
  CTextPage page;
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"x", 0, 50, 10, 10, 0}}));
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"b", 100, 0, 10, 10, 1}}));
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"a", 0, 0, 10, 10, 2}}));
  layout::MergeOverlappingBlocks(page);
  EXPECT_EQ(PagePicture(page), "b | a / x");  // columns are sorted by left only later
}

// ---- MergeOverlappingColumns -----------------------------------------------------------

struct ColumnCase {
  const char* m_szName;
  float m_fLeftC;
  bool m_bMerged;
};

TEST(MergeOverlappingColumns, MergesOnlyHorizontalOverlaps) {
  const ColumnCase cases[] = {
      {"touching", 100, false},
      {"overlap 0.5", 99.5f, true},
      {"apart", 105, false},
  };
  for (const ColumnCase& test : cases) {
    std::unique_ptr<CTextLine> block(NewBlock({
        NewColumn({NewTextLine({{L"c1", test.m_fLeftC, 0, 100, 10, 2}}), NewTextLine({{L"c2", test.m_fLeftC, 12, 100, 10, 3}})}),
        NewColumn({NewTextLine({{L"p1", 0, 30, 100, 10, 0}}), NewTextLine({{L"p2", 0, 42, 100, 10, 1}})}),
    }));
    layout::MergeOverlappingColumns(*block);
    EXPECT_EQ(BlockPicture(*block), test.m_bMerged ? "p1; p2; c1; c2" : "p1; p2 | c1; c2") << test.m_szName;
    if (test.m_bMerged) {
      const CTextLine& column = LineAt(block->m_lstTextLines, 0);
      EXPECT_FLOAT_EQ(column.m_fX, 0);
      EXPECT_FLOAT_EQ(column.m_fY, 0);
      EXPECT_FLOAT_EQ(column.m_fWidth, test.m_fLeftC + 100);
      EXPECT_FLOAT_EQ(column.m_fHeight, 52);
    }
  }
}

TEST(MergeOverlappingColumns, ColumnGrowsAlongAChain) {
  std::unique_ptr<CTextLine> block(NewBlock({
      NewColumn({NewTextLine({{L"c", 180, 0, 100, 10, 2}})}),
      NewColumn({NewTextLine({{L"a", 0, 0, 100, 10, 0}})}),
      NewColumn({NewTextLine({{L"b", 90, 0, 100, 10, 1}})}),
      NewColumn({NewTextLine({{L"d", 290, 0, 100, 10, 3}})}),
  }));
  layout::MergeOverlappingColumns(*block);
  EXPECT_EQ(BlockPicture(*block), "a; b; c | d");
}

// ---- CleanColumnLines ------------------------------------------------------------------

// A page with one block holding one column with the given lines.
std::unique_ptr<CTextPage> ColumnPage(std::initializer_list<CTextLine*> lines) {
  auto page = std::make_unique<CTextPage>();
  page->m_lstTextLines.push_back(NewBlock({NewColumn(lines)}));
  return page;
}

struct CleanCase {
  const char* m_szName;
  WordSpec m_P, m_C;
  const char* m_szColumn;  // the column's lines afterwards
  const char* m_szFloats;  // the floating lines afterwards
  std::size_t m_nRemoved;  // words destroyed as duplicates or contained text
};

TEST(CleanColumnLines, ResolvesOverlappingNeighbours) {
  const CleanCase cases[] = {
      {"overlap 20% is separate", {L"aa", 0, 0, 100, 10, 0}, {L"bb", 0, 8, 100, 10, 1}, "aa; bb", "", 0},
      {"overlap 30%: narrower C floats", {L"aa", 0, 0, 100, 10, 0}, {L"bb", 0, 7, 50, 10, 1}, "aa", "bb", 0},
      {"overlap 30%: narrower P floats", {L"aa", 0, 0, 50, 10, 0}, {L"bb", 0, 7, 100, 10, 1}, "bb", "aa", 0},
      {"overlap 30%: equal widths, C floats", {L"aa", 0, 0, 100, 10, 0}, {L"bb", 0, 7, 100, 10, 1}, "aa", "bb", 0},
      {"overlap 80% is partial", {L"aa", 0, 0, 100, 10, 0}, {L"bb", 150, 2, 50, 10, 1}, "aa", "bb", 0},
      {"overlap 90% side by side joins", {L"aa", 0, 0, 100, 10, 0}, {L"bb", 150, 1, 50, 10, 1}, "aa bb", "", 0},
      {"overlap 90%, 100% across: collide", {L"aa", 0, 0, 100, 10, 0}, {L"bb", 0, 1, 100, 10, 1}, "aa", "bb", 0},
      {"duplicate lines", {L"aa", 0, 0, 100, 10, 0}, {L"aa", 0.5f, 0.5f, 100, 10, 1}, "aa", "", 1},
      {"duplicate only half across collides", {L"aa", 0, 0, 100, 10, 0}, {L"aa", 50, 0, 100, 10, 1}, "aa", "aa", 0},
      {"C contained", {L"abc", 0, 0, 100, 10, 0}, {L"b", 10, 0, 60, 10, 1}, "abc", "", 1},
      {"P contained", {L"b", 10, 0, 60, 10, 0}, {L"abc", 0, 0.5f, 100, 10, 1}, "abc", "", 1},
      {"pieces of one line", {L"world", 100, 0, 30, 10, 0}, {L"hello", 0, 0.5f, 30, 10, 1}, "world hello", "", 0},
      {"large over small: large floats", {L"BIG", 0, 0, 100, 30, 0}, {L"small", 0, 10, 100, 10, 1}, "small", "BIG", 0},
      {"small then large: large floats", {L"small", 0, 0, 100, 10, 0}, {L"BIG", 0, 0.5f, 100, 30, 1}, "small", "BIG", 0},
      {"height ratio 2.5 is no collision", {L"aa", 0, 0, 100, 25, 0}, {L"bb", 80, 10, 100, 10, 1}, "aa bb", "", 0},
      {"height ratio 2.6 collides", {L"aa", 0, 0, 100, 26, 0}, {L"bb", 80, 10, 100, 10, 1}, "bb", "aa", 0},
      {"across 30% joins", {L"aa", 0, 0, 100, 10, 0}, {L"bb", 70, 0, 100, 10, 1}, "aa bb", "", 0},
      {"across 31% collides", {L"aa", 0, 0, 100, 10, 0}, {L"bb", 69, 0, 100, 10, 1}, "aa", "bb", 0},
      {"across 10% joins whatever the heights", {L"aa", 0, 0, 100, 30, 0}, {L"bb", 90, 10, 100, 10, 1}, "aa bb", "", 0},
      {"across 11% with ratio 3 collides", {L"aa", 0, 0, 100, 30, 0}, {L"bb", 89, 10, 100, 10, 1}, "bb", "aa", 0},
  };
  for (const CleanCase& test : cases) {
    auto page = ColumnPage({NewTextLine({test.m_P}), NewTextLine({test.m_C})});
    const CWordCensus census(*page);
    layout::CleanColumnLines(*page);
    EXPECT_EQ(PagePicture(*page), test.m_szColumn) << test.m_szName;
    EXPECT_EQ(FloatPicture(*page), test.m_szFloats) << test.m_szName;
    if (test.m_nRemoved == 0)
      census.ExpectAllKept(*page);
    else
      EXPECT_EQ(AllWords(*page).size(), 2 - test.m_nRemoved) << test.m_szName;
  }
}

TEST(CleanColumnLines, SimulatedBoldLineCollapsesWordByWord) {
  auto page = ColumnPage({NewTextLine({{L"Bold", 0, 0, 30, 10, 0}, {L"title", 35, 0, 30, 10, 1}}),
                          NewTextLine({{L"Bold", 0.4f, 0, 30, 10, 2}, {L"title", 35.4f, 0, 30, 10, 3}})});
  const CWordCensus census(*page);
  layout::CleanColumnLines(*page);
  EXPECT_EQ(PagePicture(*page), "Bold title");
  census.ExpectOnlyDuplicatesRemoved(*page, 2);
}

TEST(CleanColumnLines, PiecesOfOneLineJoinIntoTheUnionBox) {
  auto page = ColumnPage({NewTextLine({{L"hello", 0, 0.5f, 30, 10, 1}}), NewTextLine({{L"world", 100, 0, 30, 10, 0}}),
                          NewTextLine({{L"again", 40, 0, 30, 10, 2}})});
  const CWordCensus census(*page);
  layout::CleanColumnLines(*page);
  EXPECT_EQ(PagePicture(*page), "world again hello");  // top order, then stable: world, again
  const CTextLine& line = LineAt(LineAt(LineAt(page->m_lstTextLines, 0).m_lstTextLines, 0).m_lstTextLines, 0);
  EXPECT_FLOAT_EQ(line.m_fX, 0);
  EXPECT_FLOAT_EQ(line.m_fY, 0);
  EXPECT_FLOAT_EQ(line.m_fWidth, 130);
  EXPECT_FLOAT_EQ(line.m_fHeight, 10.5f);
  census.ExpectAllKept(*page);
}

TEST(CleanColumnLines, SortsLinesByTopFirst) {
  auto page = ColumnPage({NewTextLine({{L"third", 0, 40, 50, 10, 0}}), NewTextLine({{L"first", 0, 0, 50, 10, 1}}),
                          NewTextLine({{L"second", 0, 20, 50, 10, 2}})});
  layout::CleanColumnLines(*page);
  EXPECT_EQ(PagePicture(*page), "first; second; third");
}

TEST(CleanColumnLines, FloatingRefreshesTheColumnAndBlockBoxes) {
  auto page = ColumnPage({NewTextLine({{L"aa", 0, 0, 100, 10, 0}}), NewTextLine({{L"bb", 20, 7, 200, 10, 1}}),
                          NewTextLine({{L"cc", 0, 40, 100, 10, 2}})});
  layout::CleanColumnLines(*page);
  EXPECT_EQ(PagePicture(*page), "bb; cc");  // aa was the narrower one
  const CTextLine& block = LineAt(page->m_lstTextLines, 0);
  const CTextLine& column = LineAt(block.m_lstTextLines, 0);
  for (const CTextLine* node : {&block, &column}) {
    EXPECT_FLOAT_EQ(node->m_fX, 0);
    EXPECT_FLOAT_EQ(node->m_fY, 7);
    EXPECT_FLOAT_EQ(node->m_fWidth, 220);
    EXPECT_FLOAT_EQ(node->m_fHeight, 43);
  }
  ASSERT_EQ(page->m_vecFloatTexts.size(), 1u);
  EXPECT_FLOAT_EQ(page->m_vecFloatTexts[0]->m_fY, 0);
  EXPECT_FLOAT_EQ(page->m_vecFloatTexts[0]->m_fWidth, 100);
}

TEST(CleanColumnLines, AfterPFloatsTheWalkGoesOnFromC) {
  auto page = ColumnPage({NewTextLine({{L"aa", 0, 0, 50, 10, 0}}), NewTextLine({{L"bb", 0, 7, 100, 10, 1}}),
                          NewTextLine({{L"cc", 200, 7.5f, 50, 10, 2}})});
  const CWordCensus census(*page);
  layout::CleanColumnLines(*page);
  EXPECT_EQ(PagePicture(*page), "bb cc");
  EXPECT_EQ(FloatPicture(*page), "aa");
  census.ExpectAllKept(*page);
}

TEST(CleanColumnLines, EveryColumnOfEveryBlockIsCleaned) {
  CTextPage page;
  page.m_lstTextLines.push_back(NewBlock({
      NewColumn({NewTextLine({{L"l1", 0, 0, 50, 10, 0}}), NewTextLine({{L"l2", 60, 0.5f, 30, 10, 1}})}),
      NewColumn({NewTextLine({{L"r", 200, 0, 50, 10, 2}}), NewTextLine({{L"r", 200, 0, 50, 10, 3}})}),
  }));
  page.m_lstTextLines.push_back(NewBlock({NewColumn({NewTextLine({{L"x", 0, 50, 50, 10, 4}}),
                                                     NewTextLine({{L"y", 0, 53, 40, 10, 5}})})}));
  layout::CleanColumnLines(page);
  EXPECT_EQ(PagePicture(page), "l1 l2 | r / x");
  EXPECT_EQ(FloatPicture(page), "y");
}

}  // namespace
