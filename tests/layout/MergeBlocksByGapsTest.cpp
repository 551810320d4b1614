#include "layout/MergeBlocksByGaps.h"

#include <gtest/gtest.h>

#include "BandBuilder.h"

namespace {

using namespace band_builder;

struct MergeCase {
  const char* m_szName;
  std::vector<RowDesc> m_vecRows;
  std::string m_strExpected;  // Describe() of the page after the pass
  int m_nSurvivor;            // index of the row whose block object comes first, or -1
};

// gtest names the failing case instead of dumping its bytes.
void PrintTo(const MergeCase& c, std::ostream* os) { *os << c.m_szName; }

// Two-column rows use columns at 50..250 and 300..500 unless a case says otherwise.
const MergeCase kMergeCases[] = {
    {"RaggedSingleColumnLinesBecomeOneColumn",
     {{0, {{"a", 5, 50, 250}}}, {14, {{"b", 1, 50, 230}}}, {28, {{"c", 9, 60, 190}}}, {200, {{"d", 2, 50, 70}}}},
     "[a|b|c|d]", 0},
    {"TwoColumnPageBecomesOneBlockWithTwoColumns",
     {{0, {{"L0", 0, 50, 200}, {"R0", 1, 300, 200}}},
      {12, {{"L1", 2, 50, 190}, {"R1", 3, 300, 180}}},
      {24, {{"L2", 4, 50, 200}, {"R2", 5, 300, 200}}}},
     "[L0|L1|L2][R0|R1|R2]", 0},
    // Equal gap counts: the lower block goes into the upper one.
    {"EqualCountsMergeTheLowerIntoTheUpper",
     {{0, {{"up", 0, 50, 250}}}, {12, {{"down", 1, 50, 240}}}}, "[up|down]", 0},
    // The upper line has fewer gaps: it goes into the lower block's first overlapping column.
    {"FewerGapsAboveGoIntoTheBlockBelow",
     {{0, {{"P", 0, 50, 150}}}, {12, {{"L0", 1, 50, 200}, {"R0", 2, 300, 200}}}}, "[L0|P][R0]", 1},
    {"FewerGapsBelowGoIntoTheBlockAbove",
     {{0, {{"L0", 0, 50, 200}, {"R0", 1, 300, 200}}}, {12, {{"C", 2, 50, 150}}}}, "[L0|C][R0]", 0},
    // The body's middle gap lies under the heading's text and overlaps none of its gaps.
    {"HeadingOverTwoColumnsStaysABlockOfItsOwn",
     {{0, {{"H", 0, 200, 200}}},
      {12, {{"L0", 1, 50, 200}, {"R0", 2, 300, 200}}},
      {24, {{"L1", 3, 50, 200}, {"R1", 4, 300, 200}}}},
     "[H] / [L0|L1][R0|R1]", 0},
    {"MiddleGapsThatOnlyTouchDoNotMerge",
     {{0, {{"L0", 0, 50, 200}, {"R0", 1, 300, 200}}}, {12, {{"L1", 2, 50, 150}, {"R1", 3, 250, 250}}}},
     "[L0][R0] / [L1][R1]", 0},
    // Overlapping by 2 points rather than 1: the merged columns end as far apart as the
    // overlap, and columns at most 1 point apart are fused.
    {"MiddleGapsOverlappingByTwoPointsMerge",
     {{0, {{"L0", 0, 50, 200}, {"R0", 1, 300, 200}}}, {12, {{"L1", 2, 50, 150}, {"R1", 3, 252, 248}}}},
     "[L0|L1][R0|R1]", 0},
    // X (10..50) only touches A and overlaps no column of the upper block, yet the gaps
    // correspond one to one: X stays as a column of its own, which then touches A and fuses.
    {"ColumnOverlappingNoColumnKeepsItsText",
     {{0, {{"A", 0, 50, 200}, {"B", 1, 300, 200}}}, {12, {{"X", 2, 10, 40}, {"Y", 3, 300, 200}}}},
     "[A|X][B|Y]", 0},
};

class MergeBlocksByGaps : public testing::TestWithParam<MergeCase> {};

TEST_P(MergeBlocksByGaps, MergesBandsWhoseGapsCorrespondAndKeepsEveryWordOnce) {
  CTextPage page;
  const std::vector<CTextLine*> blocks = InitPage(page, GetParam().m_vecRows);
  const auto before = AllTexts(page);
  layout::MergeBlocksByGaps(page);
  EXPECT_EQ(Describe(page), GetParam().m_strExpected);
  EXPECT_EQ(AllTexts(page), before);
  if (GetParam().m_nSurvivor >= 0) {
    ASSERT_FALSE(page.m_lstTextLines.empty());
    EXPECT_EQ(page.m_lstTextLines.front(), blocks.at(GetParam().m_nSurvivor));
  }
}

INSTANTIATE_TEST_SUITE_P(Pages, MergeBlocksByGaps, testing::ValuesIn(kMergeCases),
                         [](const testing::TestParamInfo<MergeCase>& info) { return info.param.m_szName; });

// The third band merges into a block that already took one merge: its boxes must still
// grow to hold everything, and its gaps follow the widened columns.
TEST(MergeBlocksByGapsBoxes, KeptBlockGetsTheUnionAndFreshGaps) {
  CTextPage page;
  InitPage(page, std::vector<RowDesc>{{0, {{"L0", 0, 50, 200}, {"R0", 1, 300, 200}}},
                                      {40, {{"L1", 2, 50, 150}, {"R1", 3, 300, 220}}},
                                      {60, {{"L2", 4, 40, 210}, {"R2", 5, 300, 180}}}});
  layout::MergeBlocksByGaps(page);
  ASSERT_EQ(page.m_lstTextLines.size(), 1u);
  const auto* block = layout::AsLine(page.m_lstTextLines.front());
  EXPECT_FLOAT_EQ(block->m_fX, 40);
  EXPECT_FLOAT_EQ(block->m_fY, 0);
  EXPECT_FLOAT_EQ(block->m_fWidth, 480);
  EXPECT_FLOAT_EQ(block->m_fHeight, 70);
  const auto* left = layout::AsLine(block->m_lstTextLines.front());
  const auto* right = layout::AsLine(block->m_lstTextLines.back());
  EXPECT_FLOAT_EQ(left->m_fX, 40);
  EXPECT_FLOAT_EQ(left->m_fHeight, 70);
  EXPECT_FLOAT_EQ(right->m_fWidth, 220);
  ASSERT_EQ(block->m_vecGaps.size(), 3u);
  EXPECT_FLOAT_EQ(block->m_vecGaps[0]->m_fWidth, 50);
  EXPECT_FLOAT_EQ(block->m_vecGaps[2]->m_fX, 520);
}

}  // namespace
