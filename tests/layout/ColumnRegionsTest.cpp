#include <gtest/gtest.h>

#include "BandBuilder.h"
#include "layout/BuildColumnRegions.h"

namespace {

using namespace band_builder;

struct RegionCase {
  const char* m_szName;
  std::vector<RowDesc> m_vecRows;
  std::string m_strExpected;  // Describe() of the page after the pass
};

// gtest names the failing case instead of dumping its bytes.
void PrintTo(const RegionCase& c, std::ostream* os) { *os << c.m_szName; }

// Columns at 50..250 and 300..500 unless a case says otherwise; page width 600.
const RegionCase kRegionCases[] = {
    {"RaggedSingleColumnLinesBecomeOneColumnWhateverTheirSpacingAndOrder",
     {{0, {{"a", 5, 50, 250}}}, {14, {{"b", 1, 50, 230}}}, {200, {{"c", 9, 60, 190}}}, {214, {{"d", 2, 50, 70}}}},
     "[a|b|c|d]"},
    {"ArticleDrawnColumnByColumnBecomesOneBlockWithTwoColumns",
     {{0, {{"L0", 0, 50, 200}, {"R0", 3, 300, 200}}},
      {12, {{"L1", 1, 50, 190}, {"R1", 4, 300, 200}}},
      {24, {{"L2", 2, 50, 200}, {"R2", 5, 300, 150}}}},
     "[L0|L1|L2][R0|R1|R2]"},
    {"TableDrawnRowByRowFlattensEveryRow",
     {{0, {{"a0", 0, 50, 60}, {"b0", 1, 200, 60}, {"c0", 2, 350, 60}}},
      {12, {{"a1", 3, 50, 60}, {"b1", 4, 200, 60}, {"c1", 5, 350, 60}}},
      {24, {{"a2", 6, 50, 60}, {"b2", 7, 200, 60}, {"c2", 8, 350, 60}}}},
     "[a0 b0 c0] / [a1 b1 c1] / [a2 b2 c2]"},
    {"BandWhoseTextDoesNotContinueEndsTheRun",
     {{0, {{"L0", 0, 50, 200}, {"R0", 10, 300, 200}}},
      {12, {{"L1", 1, 50, 200}, {"R1", 11, 300, 200}}},
      {24, {{"L2", 20, 50, 200}, {"R2", 21, 300, 200}}}},
     "[L0|L1][R0|R1] / [L2 R2]"},
    {"HeadingOverTwoColumnsStaysApart",
     {{0, {{"H", 0, 200, 200}}},
      {12, {{"L1", 1, 50, 200}, {"R1", 3, 300, 200}}},
      {24, {{"L2", 2, 50, 200}, {"R2", 4, 300, 200}}}},
     "[H] / [L1|L2][R1|R2]"},
    // Two narrow gaps of the lower band both overlap the upper band's wide gap: four
    // matched pairs for four gaps, so the band joins and the region gets three columns.
    {"BandWithMoreColumnsJoinsWhenEveryGapIsMatched",
     {{0, {{"L", 0, 50, 200}, {"R", 10, 350, 200}}},
      {12, {{"A", 1, 50, 210}, {"B", 5, 280, 40}, {"C", 11, 340, 210}}}},
     "[L|A][B][R|C]"},
    // The middle gaps only touch (250..300 and 300..350), so an interval centre falls on
    // the edges of R0 and L1; both keep their text in the interval they overlap most.
    {"ColumnOnAnIntervalCentreKeepsItsText",
     {{0, {{"L0", 0, 50, 200}, {"R0", 2, 300, 200}}}, {12, {{"L1", 1, 50, 250}, {"R1", 3, 350, 150}}}},
     "[L0|L1][R0|R1]"},
    {"OnlyBandOfOneLineCellsBecomesOneLine",
     {{0, {{"Name", 0, 50, 100}, {"Page", 1, 400, 100}, {"7", 2, 520, 10}}}},
     "[Name Page 7]"},
};

class ColumnRegions : public testing::TestWithParam<RegionCase> {};

TEST_P(ColumnRegions, GroupsBandsAndKeepsEveryWordOnce) {
  CTextPage page;
  InitPage(page, GetParam().m_vecRows);
  const auto before = AllTexts(page);
  layout::BuildColumnRegions(page);
  EXPECT_EQ(Describe(page), GetParam().m_strExpected);
  EXPECT_EQ(AllTexts(page), before);
}

INSTANTIATE_TEST_SUITE_P(Pages, ColumnRegions, testing::ValuesIn(kRegionCases),
                         [](const testing::TestParamInfo<RegionCase>& info) { return info.param.m_szName; });

TEST(ColumnRegions, RegionBlockGetsTheBoxOfItsColumns) {
  CTextPage page;
  InitPage(page, std::vector<RowDesc>{{0, {{"L0", 0, 50, 200}, {"R0", 2, 300, 200}}},
                                      {12, {{"L1", 1, 50, 180}, {"R1", 3, 300, 190}}}});
  layout::BuildColumnRegions(page);
  ASSERT_EQ(page.m_lstTextLines.size(), 1u);
  const auto* block = layout::AsLine(page.m_lstTextLines.front());
  EXPECT_EQ(block->m_bColumn, 1);  // created by the pass: construction value
  EXPECT_FLOAT_EQ(block->m_fX, 50);
  EXPECT_FLOAT_EQ(block->m_fY, 0);
  EXPECT_FLOAT_EQ(block->m_fWidth, 450);
  EXPECT_FLOAT_EQ(block->m_fHeight, 22);
  const auto* right = layout::AsLine(block->m_lstTextLines.back());
  EXPECT_FLOAT_EQ(right->m_fX, 300);
  EXPECT_FLOAT_EQ(right->m_fWidth, 200);
}

TEST(FlattenSingleLineBlock, JoinsTheCellsIntoTheFirstLine) {
  CTextLine* block = MakeRow(5, {{"a", 0, 50, 40}, {"b", 1, 200, 40}, {"c", 2, 300, 60}});
  CTextLine* firstColumn = layout::AsLine(block->m_lstTextLines.front());
  CTextLine* line = layout::AsLine(firstColumn->m_lstTextLines.front());
  layout::FlattenSingleLineBlock(*block);
  ASSERT_EQ(block->m_lstTextLines.size(), 1u);
  EXPECT_EQ(block->m_lstTextLines.front(), firstColumn);
  ASSERT_EQ(firstColumn->m_lstTextLines.size(), 1u);
  EXPECT_EQ(LineText(*line), "a b c");
  EXPECT_FLOAT_EQ(line->m_fWidth, 310);
  EXPECT_FLOAT_EQ(firstColumn->m_fX, 50);
  EXPECT_FLOAT_EQ(firstColumn->m_fWidth, 310);
  delete block;
}

TEST(FlattenSingleLineBlock, LeavesBlocksWithALongerColumnOrOneColumnAlone) {
  const BlockDesc twoLines = {{{"a", 0, 50, 40, 40}}, {{"b", 1, 200, 40, 40}, {"c", 2, 200, 52, 40}}};
  const BlockDesc oneColumn = {{{"a", 0, 50, 40, 40}, {"b", 1, 50, 52, 40}}};
  const BlockDesc emptyFirst = {{}, {{"a", 0, 200, 40, 40}}};
  for (const BlockDesc* desc : {&twoLines, &oneColumn, &emptyFirst}) {
    CTextPage page;
    InitPage(page, std::vector<CTextLine*>{MakeBlock(*desc)});
    const std::string before = Describe(page);
    layout::FlattenSingleLineBlock(*layout::AsLine(page.m_lstTextLines.front()));
    EXPECT_EQ(Describe(page), before);
  }
}

struct ContinuityCase {
  const char* m_szName;
  std::vector<layout::CColumnOrder> m_vecRun;
  std::vector<CellDesc> m_vecBand;
  bool m_bExpected;
};

// gtest names the failing case instead of dumping its bytes.
void PrintTo(const ContinuityCase& c, std::ostream* os) { *os << c.m_szName; }

// Run columns at 50..250 and 300..500; intervals (20, 275) and (275, 600).
const layout::CColumnOrder kLeft{{50, 0, 200, 10}, {0, 4}};
const layout::CColumnOrder kRight{{300, 0, 200, 10}, {5, 9}};

const ContinuityCase kContinuityCases[] = {
    {"EveryColumnContinues", {kLeft, kRight}, {{"l", 5, 50, 200}, {"r", 10, 300, 200}}, true},
    {"OneColumnJumps", {kLeft, kRight}, {{"l", 5, 50, 200}, {"r", 12, 300, 200}}, false},
    {"OneColumnRestarts", {kLeft, kRight}, {{"l", 0, 50, 200}, {"r", 10, 300, 200}}, false},
    {"BandWithoutColumnInAnIntervalPasses", {kLeft, kRight}, {{"l", 5, 50, 200}}, true},
    {"RunWithoutColumnInAnIntervalPasses", {kLeft}, {{"l", 5, 50, 200}, {"r", 77, 300, 200}}, true},
};

class OrderContinuity : public testing::TestWithParam<ContinuityCase> {};

TEST_P(OrderContinuity, ComparesEachIntervalWithTheRunsLastWord) {
  const std::vector<layout::CBox> intersections = {{-10, 0, 60, 0}, {250, 0, 50, 0}, {500, 0, 200, 0}};
  CTextLine* band = MakeRow(20, GetParam().m_vecBand);
  EXPECT_EQ(layout::CheckOrderContinuity(GetParam().m_vecRun, intersections, *band), GetParam().m_bExpected);
  delete band;
}

INSTANTIATE_TEST_SUITE_P(Intervals, OrderContinuity, testing::ValuesIn(kContinuityCases),
                         [](const testing::TestParamInfo<ContinuityCase>& info) { return info.param.m_szName; });

// The leftmost column's lines move first, at the end of the target's list; a later
// column's lines then find their places by height, joining a line they overlap.
TEST(MergeColumnsInto, LeftmostColumnFirstThenLinesByHeight) {
  CTextLine* block = MakeBlock({{{"t", 0, 50, 100, 40}}, {{"q", 3, 300, 0, 40}}, {{"p1", 1, 50, 0, 40}, {"p2", 2, 50, 20, 40}}});
  auto it = block->m_lstTextLines.begin();
  CTextLine* target = layout::AsLine(*it++);
  CTextLine* right = layout::AsLine(*it++);
  CTextLine* left = layout::AsLine(*it);
  layout::MergeColumnsInto({right, left}, *target);
  std::string lines;
  for (CTextBase* node : target->m_lstTextLines) lines += LineText(*layout::AsLine(node)) + "|";
  EXPECT_EQ(lines, "p1 q|p2|t|");
  EXPECT_TRUE(left->m_lstTextLines.empty());
  delete block;
}

TEST(MergeColumnsInto, EmptyListLeavesTheTargetAlone) {
  CTextLine* block = MakeBlock({{{"t", 0, 50, 100, 40}}});
  CTextLine* target = layout::AsLine(block->m_lstTextLines.front());
  layout::MergeColumnsInto({}, *target);
  EXPECT_EQ(target->m_lstTextLines.size(), 1u);
  delete block;
}

}  // namespace
