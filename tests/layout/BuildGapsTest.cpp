// BuildGaps and MergeColumnLines.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "LayoutTreeBuilder.h"
#include "layout/BuildGaps.h"

namespace {

using namespace layout_test;
using nsPDFData::CGapBox;

struct GapSpec {
  float m_fX, m_fWidth;
};

void ExpectGaps(const CTextLine& block, const std::vector<GapSpec>& expected, const char* name) {
  ASSERT_EQ(block.m_vecGaps.size(), expected.size()) << name;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_FLOAT_EQ(block.m_vecGaps[i]->m_fX, expected[i].m_fX) << name << " gap " << i;
    EXPECT_FLOAT_EQ(block.m_vecGaps[i]->m_fWidth, expected[i].m_fWidth) << name << " gap " << i;
    EXPECT_EQ(block.m_vecGaps[i]->m_fY, 0) << name;
    EXPECT_EQ(block.m_vecGaps[i]->m_fHeight, 0) << name;
  }
}

CTextLine* ColumnOfOneLine(const wchar_t* text, float left, float width, float top = 0) {
  return NewColumn({NewTextLine({{text, left, top, width, 10, 0}})});
}

// ---- BuildGaps -------------------------------------------------------------------------

TEST(BuildGaps, OneColumnHasALeadingAndATrailingGap) {
  std::unique_ptr<CTextLine> block(NewBlock({ColumnOfOneLine(L"a", 50, 250)}));
  layout::BuildGaps(*block, 600);
  ExpectGaps(*block, {{-10, 60}, {300, 400}}, "one column");
}

struct FuseCase {
  const char* m_szName;
  float m_fLeftC;  // the left column spans 0 to 100
  const char* m_szPicture;
  std::vector<GapSpec> m_vecGaps;
};

TEST(BuildGaps, FusesColumnsAtMostOnePointApart) {
  const FuseCase cases[] = {
      {"1.5 apart", 101.5f, "a | b", {{-10, 10}, {100, 1.5f}, {151.5f, 548.5f}}},
      {"1 apart", 101, "a b", {{-10, 10}, {151, 549}}},
      {"touching", 100, "a b", {{-10, 10}, {150, 550}}},
      {"overlapping", 99, "a b", {{-10, 10}, {149, 551}}},
  };
  for (const FuseCase& test : cases) {
    std::unique_ptr<CTextLine> block(NewBlock({ColumnOfOneLine(L"b", test.m_fLeftC, 50), ColumnOfOneLine(L"a", 0, 100)}));
    layout::BuildGaps(*block, 600);
    EXPECT_EQ(BlockPicture(*block), test.m_szPicture) << test.m_szName;
    ExpectGaps(*block, test.m_vecGaps, test.m_szName);
  }
}

TEST(BuildGaps, FusingJoinsLinesAtTheSameHeightAndInsertsTheOthersInTopOrder) {
  std::unique_ptr<CTextLine> block(NewBlock({
      NewColumn({NewTextLine({{L"a3", 0, 40, 100, 10, 2}}), NewTextLine({{L"a1", 0, 0, 100, 10, 0}})}),
      NewColumn({NewTextLine({{L"b1", 100.5f, 0.5f, 50, 10, 1}}), NewTextLine({{L"b2", 100.5f, 20, 50, 10, 3}}),
                 NewTextLine({{L"b4", 100.5f, 60, 50, 10, 4}})}),
  }));
  layout::BuildGaps(*block, 600);
  EXPECT_EQ(BlockPicture(*block), "a1 b1; b2; a3; b4");
  const CTextLine& column = LineAt(block->m_lstTextLines, 0);
  EXPECT_FLOAT_EQ(column.m_fX, 0);
  EXPECT_FLOAT_EQ(column.m_fWidth, 150.5f);
  EXPECT_FLOAT_EQ(column.m_fHeight, 70);
  const CTextLine& joined = LineAt(column.m_lstTextLines, 0);
  EXPECT_FLOAT_EQ(joined.m_fWidth, 150.5f);
  EXPECT_FLOAT_EQ(joined.m_fHeight, 10.5f);
  ExpectGaps(*block, {{-10, 10}, {150.5f, 549.5f}}, "fused");
}

TEST(BuildGaps, FusedColumnGivesTheNextGapItsRightEdge) {
  std::unique_ptr<CTextLine> block(NewBlock({ColumnOfOneLine(L"c", 300, 100), ColumnOfOneLine(L"a", 0, 100),
                                             ColumnOfOneLine(L"b", 100.5f, 100)}));
  layout::BuildGaps(*block, 600);
  EXPECT_EQ(BlockPicture(*block), "a b | c");
  ExpectGaps(*block, {{-10, 10}, {200.5f, 99.5f}, {400, 300}}, "three columns");
}

TEST(BuildGaps, LeadingGapIsNotClampedAndTrailingGapIs) {
  std::unique_ptr<CTextLine> block(NewBlock({ColumnOfOneLine(L"a", -20, 770)}));
  layout::BuildGaps(*block, 600);
  ExpectGaps(*block, {{-10, -10}, {750, 0}}, "wide column");
}

TEST(BuildGaps, BlockWithoutColumnsKeepsItsOldGaps) {
  std::unique_ptr<CTextLine> block(NewBlock({}));
  auto* gap = new CGapBox{5, 0, 7, 0};
  block->m_vecGaps.push_back(gap);
  layout::BuildGaps(*block, 600);
  ASSERT_EQ(block->m_vecGaps.size(), 1u);
  EXPECT_EQ(block->m_vecGaps[0], gap);
}

TEST(BuildGaps, RebuildingFreesThePreviousGaps) {
  std::unique_ptr<CTextLine> block(NewBlock({ColumnOfOneLine(L"a", 0, 100), ColumnOfOneLine(L"b", 200, 100)}));
  layout::BuildGaps(*block, 600);
  layout::BuildGaps(*block, 600);  // LeakSanitizer reports the first set if it is not freed
  ExpectGaps(*block, {{-10, 10}, {100, 100}, {300, 400}}, "rebuilt");
}

// ---- MergeColumnLines ------------------------------------------------------------------

struct MergeCase {
  const char* m_szName;
  float m_fTopM, m_fHeightM;  // the source line "m"
  const char* m_szTarget;     // the target afterwards; lines "c" at 0..10 and "h" at 20..30
};

TEST(MergeColumnLines, PlacesEachSourceLineByItsOverlap) {
  const MergeCase cases[] = {
      {"overlaps h more", 9, 14, "c; h m"},
      {"overlaps c more", 7, 14, "c m; h"},
      {"overlaps both equally", 8, 14, "c m; h"},
      {"overlaps h only", 11, 14, "c; h m"},
      {"between, touching c", 10, 5, "c; m; h"},
      {"between, touching h", 15, 5, "c; m; h"},
      {"above everything", -20, 5, "m; c; h"},
      {"touching c from above", -5, 5, "m; c; h"},
      {"overlaps only the last line", 28, 5, "c; h m"},
      {"below everything", 40, 5, "c; h; m"},
      {"touches the last line's bottom", 30, 5, "c; h; m"},
  };
  for (const MergeCase& test : cases) {
    std::unique_ptr<CTextLine> target(NewColumn({NewTextLine({{L"h", 0, 20, 50, 10, 1}}), NewTextLine({{L"c", 0, 0, 50, 10, 0}})}));
    std::unique_ptr<CTextLine> source(NewColumn({NewTextLine({{L"m", 60, test.m_fTopM, 20, test.m_fHeightM, 2}})}));
    const layout::CBox before = layout::BoxOf(*target);
    layout::MergeColumnLines(*source, *target);
    EXPECT_EQ(ColumnPicture(*target), test.m_szTarget) << test.m_szName;
    EXPECT_FLOAT_EQ(target->m_fY, before.m_fY) << test.m_szName;  // the target's own box stays
    EXPECT_FLOAT_EQ(target->m_fHeight, before.m_fHeight) << test.m_szName;
    for (CTextBase* node : source->m_lstTextLines)  // what stays behind is empty
      EXPECT_TRUE(layout::AsLine(node)->m_lstTextWords.empty()) << test.m_szName;
  }
}

TEST(MergeColumnLines, WalksDownToTheLineItOverlaps) {
  std::unique_ptr<CTextLine> target(NewColumn({NewTextLine({{L"t0", 0, 0, 50, 10, 0}}), NewTextLine({{L"t1", 0, 20, 50, 10, 1}}),
                                               NewTextLine({{L"t2", 0, 40, 50, 10, 2}}), NewTextLine({{L"t3", 0, 60, 50, 10, 3}})}));
  std::unique_ptr<CTextLine> source(NewColumn({NewTextLine({{L"m", 60, 45, 20, 7, 4}}), NewTextLine({{L"n", 60, 32, 20, 5, 5}})}));
  layout::MergeColumnLines(*source, *target);
  EXPECT_EQ(ColumnPicture(*target), "t0; t1; n; t2 m; t3");
  const CTextLine& joined = LineAt(target->m_lstTextLines, 3);
  EXPECT_FLOAT_EQ(joined.m_fX, 0);
  EXPECT_FLOAT_EQ(joined.m_fY, 40);
  EXPECT_FLOAT_EQ(joined.m_fWidth, 80);
  EXPECT_FLOAT_EQ(joined.m_fHeight, 12);
}

TEST(MergeColumnLines, LaterSourceLinesSeeEarlierInsertions) {
  std::unique_ptr<CTextLine> target(NewColumn({NewTextLine({{L"c", 0, 0, 50, 10, 0}}), NewTextLine({{L"h", 0, 30, 50, 10, 1}})}));
  std::unique_ptr<CTextLine> source(NewColumn({NewTextLine({{L"n", 60, 14, 20, 6, 3}}), NewTextLine({{L"m", 60, 12, 20, 6, 2}})}));
  layout::MergeColumnLines(*source, *target);
  EXPECT_EQ(ColumnPicture(*target), "c; m n; h");  // m (higher) goes in first, n joins it
}

TEST(MergeColumnLines, SingleTargetLine) {
  const struct {
    float m_fTopM;
    const char* m_szTarget;
  } cases[] = {{2, "c m"}, {-10, "m; c"}, {10, "c; m"}, {5, "c m"}};
  for (const auto& test : cases) {
    std::unique_ptr<CTextLine> target(NewColumn({NewTextLine({{L"c", 0, 0, 50, 10, 0}})}));
    std::unique_ptr<CTextLine> source(NewColumn({NewTextLine({{L"m", 60, test.m_fTopM, 20, 7, 1}})}));
    layout::MergeColumnLines(*source, *target);
    EXPECT_EQ(ColumnPicture(*target), test.m_szTarget) << test.m_fTopM;
  }
}

TEST(MergeColumnLines, EmptySourceChangesNothing) {
  std::unique_ptr<CTextLine> target(NewColumn({NewTextLine({{L"b", 0, 20, 50, 10, 1}}), NewTextLine({{L"a", 0, 0, 50, 10, 0}})}));
  std::unique_ptr<CTextLine> source(NewColumn({}));
  layout::MergeColumnLines(*source, *target);
  EXPECT_EQ(ColumnPicture(*target), "b; a");  // not even sorted
}

TEST(MergeColumnLines, EmptyTargetTakesTheSourceLinesWhole) {
  // The caller destroys the source afterwards, so its lines must all have moved.
  std::unique_ptr<CTextLine> target(NewColumn({}));
  std::unique_ptr<CTextLine> source(NewColumn({NewTextLine({{L"b", 0, 20, 50, 10, 1}}), NewTextLine({{L"a", 0, 0, 50, 10, 0}})}));
  layout::MergeColumnLines(*source, *target);
  EXPECT_EQ(ColumnPicture(*target), "a; b");
  EXPECT_TRUE(source->m_lstTextLines.empty());
}

TEST(BuildGaps, FusingIntoAnEmptyColumnKeepsTheText) {
  CTextPage page;
  auto* empty = new CTextLine;
  empty->m_fX = 0;
  empty->m_fWidth = 100;
  page.m_lstTextLines.push_back(NewBlock({empty, ColumnOfOneLine(L"text", 100.5f, 50)}));
  const CWordCensus census(page);
  layout::BuildGaps(*layout::AsLine(page.m_lstTextLines.front()), 600);
  EXPECT_EQ(PagePicture(page), "text");
  census.ExpectAllKept(page);
}

}  // namespace
