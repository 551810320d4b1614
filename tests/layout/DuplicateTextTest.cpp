// Duplicate text: the duplicate-word and contained-text tests, and JoinLineFragments.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "LayoutTreeBuilder.h"
#include "layout/FindContainedText.h"
#include "layout/JoinLineFragments.h"
#include "layout/MergeDuplicateWords.h"

namespace {

using namespace layout_test;
using layout::EContainedResult;

std::vector<CTextBase*> Nodes(const CTextLine& line) {
  return {line.m_lstTextWords.begin(), line.m_lstTextWords.end()};
}

// ---- MergeDuplicateWords ---------------------------------------------------------------

TEST(MergeDuplicateWords, SimulatedBoldCollapsesToOneCopySortedByLeft) {
  std::unique_ptr<CTextLine> p(NewTextLine({{L"Hello", 10, 0, 25, 10, 0}, {L"world", 40, 0, 25, 10, 1}}));
  std::unique_ptr<CTextLine> c(NewTextLine({{L"Hello", 10.5f, 0, 25, 10, 2}, {L"world", 40.5f, 0, 25, 10, 3}}));
  const std::vector<CTextBase*> wordsP = Nodes(*p);
  const layout::CBox boxP = layout::BoxOf(*p);

  ASSERT_TRUE(layout::MergeDuplicateWords(*p, *c));
  EXPECT_EQ(WordsOf(*p), "Hello world");
  EXPECT_EQ(Nodes(*p), wordsP);  // the left copy of each pair survives
  EXPECT_TRUE(c->m_lstTextWords.empty());
  EXPECT_FLOAT_EQ(p->m_fX, boxP.m_fX);  // no box changes
  EXPECT_FLOAT_EQ(p->m_fWidth, boxP.m_fWidth);
}

TEST(MergeDuplicateWords, TheLeftCopySurvivesEvenFromTheLaterLine) {
  std::unique_ptr<CTextLine> p(NewTextLine({{L"A", 10.5f, 0, 5, 10, 0}, {L"B", 20, 0, 5, 10, 1}}));
  std::unique_ptr<CTextLine> c(NewTextLine({{L"A", 10, 0, 5, 10, 2}, {L"B", 20, 0, 5, 10, 3}}));
  CTextBase* leftA = c->m_lstTextWords.front();
  CTextBase* levelB = p->m_lstTextWords.back();  // level copies: the earlier one survives
  ASSERT_TRUE(layout::MergeDuplicateWords(*p, *c));
  EXPECT_EQ(Nodes(*p), (std::vector<CTextBase*>{leftA, levelB}));
}

TEST(MergeDuplicateWords, UnmatchedFirstWordFailsAtOnceAndChangesNothing) {
  std::unique_ptr<CTextLine> p(NewTextLine({{L"X", 0, 0, 5, 10, 0}, {L"A", 10, 0, 5, 10, 1}}));
  std::unique_ptr<CTextLine> c(NewTextLine({{L"A", 10, 0, 5, 10, 2}}));
  const std::vector<CTextBase*> wordsP = Nodes(*p), wordsC = Nodes(*c);
  EXPECT_FALSE(layout::MergeDuplicateWords(*p, *c));
  EXPECT_EQ(Nodes(*p), wordsP);
  EXPECT_EQ(Nodes(*c), wordsC);
}

TEST(MergeDuplicateWords, FailsWhenAnUnmatchedWordComesWithOnlyOneKept) {
  std::unique_ptr<CTextLine> p(NewTextLine({{L"A", 0, 0, 5, 10, 0}, {L"X", 10, 0, 5, 10, 1}}));
  std::unique_ptr<CTextLine> c(NewTextLine({{L"A", 0, 0, 5, 10, 2}, {L"B", 20, 0, 5, 10, 3}}));
  const std::vector<CTextBase*> wordsP = Nodes(*p), wordsC = Nodes(*c);
  EXPECT_FALSE(layout::MergeDuplicateWords(*p, *c));
  EXPECT_EQ(Nodes(*p), wordsP);
  EXPECT_EQ(Nodes(*c), wordsC);
}

TEST(MergeDuplicateWords, UnmatchedWordsSurviveOnceTwoAreKept) {
  // Kept in pool order a, b, then the unmatched z (left of everything) and c: sorted by left.
  std::unique_ptr<CTextLine> p(NewTextLine({{L"a", 10, 0, 5, 10, 0}, {L"b", 20, 0, 5, 10, 1}, {L"c", 30, 0, 5, 10, 2}}));
  std::unique_ptr<CTextLine> c(NewTextLine({{L"a", 10, 0, 5, 10, 3}, {L"b", 20, 0, 5, 10, 4}, {L"z", 0, 0, 5, 10, 5}}));
  ASSERT_TRUE(layout::MergeDuplicateWords(*p, *c));
  EXPECT_EQ(WordsOf(*p), "z a b c");
  EXPECT_TRUE(c->m_lstTextWords.empty());
}

TEST(MergeDuplicateWords, WordsRepeatedInsideOneLinePairWithEachOther) {
  std::unique_ptr<CTextLine> p(NewTextLine({{L"a", 0, 0, 5, 10, 0}, {L"a", 10, 0, 5, 10, 1}}));
  std::unique_ptr<CTextLine> c(NewTextLine({{L"b", 20, 0, 5, 10, 2}, {L"b", 30, 0, 5, 10, 3}}));
  ASSERT_TRUE(layout::MergeDuplicateWords(*p, *c));
  EXPECT_EQ(WordsOf(*p), "a b");
}

TEST(MergeDuplicateWords, SingleWordTwinsMerge) {
  std::unique_ptr<CTextLine> p(NewTextLine({{L"5", 100, 0, 5, 10, 0}}));
  std::unique_ptr<CTextLine> c(NewTextLine({{L"5", 300, 0, 5, 10, 1}}));
  ASSERT_TRUE(layout::MergeDuplicateWords(*p, *c));
  EXPECT_EQ(WordsOf(*p), "5");
  EXPECT_FLOAT_EQ(layout::AsWord(p->m_lstTextWords.front())->m_fX, 100);
}

TEST(MergeDuplicateWords, PartnerIsTheMatchWithTheWidestOverlap) {
  std::unique_ptr<CTextLine> p(NewTextLine({{L"x", 0, 0, 10, 10, 0}, {L"y", 200, 0, 10, 10, 1}}));
  std::unique_ptr<CTextLine> c(NewTextLine({{L"x", 100, 0, 10, 10, 2}, {L"x", 1, 0, 10, 10, 3}, {L"y", 201, 0, 10, 10, 4}}));
  CTextBase* far = c->m_lstTextWords.front();  // x at 100 overlaps by -90, x at 1 by 9
  ASSERT_TRUE(layout::MergeDuplicateWords(*p, *c));
  EXPECT_EQ(WordsOf(*p), "x x y");
  EXPECT_EQ(Nodes(*p)[1], far);  // the unmatched far copy survives; the near one was the partner
  EXPECT_FLOAT_EQ(p->m_lstTextWords.front()->m_fX, 0);
}

TEST(MergeDuplicateWords, FirstOfEqualOverlapsIsThePartner) {
  std::unique_ptr<CTextLine> p(NewTextLine({{L"a", 0, 0, 10, 10, 0}, {L"x", 20, 0, 10, 10, 1}}));
  std::unique_ptr<CTextLine> c(NewTextLine({{L"a", 0, 0, 10, 10, 2}, {L"x", 20, 0, 10, 10, 3}, {L"x", 20, 0, 10, 10, 4}}));
  CTextBase* second = c->m_lstTextWords.back();
  ASSERT_TRUE(layout::MergeDuplicateWords(*p, *c));
  const std::vector<CTextBase*> survivors = Nodes(*p);
  ASSERT_EQ(survivors.size(), 3u);
  EXPECT_EQ(survivors[2], second);
}

TEST(MergeDuplicateWords, LastMatchIsThePartnerWhenNoOverlapExceedsMinus4095) {
  std::unique_ptr<CTextLine> p(NewTextLine({{L"a", 0, 0, 10, 10, 0}, {L"x", 20, 0, 10, 10, 1}}));
  std::unique_ptr<CTextLine> c(NewTextLine({{L"a", 0, 0, 10, 10, 2}, {L"x", 5000, 0, 10, 10, 3}, {L"x", 6000, 0, 10, 10, 4}}));
  CTextBase* at5000 = *std::next(c->m_lstTextWords.begin());
  ASSERT_TRUE(layout::MergeDuplicateWords(*p, *c));
  const std::vector<CTextBase*> survivors = Nodes(*p);
  ASSERT_EQ(survivors.size(), 3u);
  EXPECT_EQ(survivors[2], at5000);  // x at 6000 was the partner and went
}

TEST(MergeDuplicateWords, BothLinesEmptyMergeTrivially) {
  CTextLine p, c;
  EXPECT_TRUE(layout::MergeDuplicateWords(p, c));
  EXPECT_TRUE(p.m_lstTextWords.empty());
}

TEST(MergeDuplicateWords, BlockLevelWorksOnTheFirstLineOfTheFirstColumn) {
  std::unique_ptr<CTextLine> p(NewCaptureBlock({{L"Total", 0, 0, 20, 10, 0}, {L"12", 30, 0, 10, 10, 1}}));
  std::unique_ptr<CTextLine> c(NewCaptureBlock({{L"Total", 0.5f, 0, 20, 10, 2}, {L"12", 30.5f, 0, 10, 10, 3}}));
  ASSERT_TRUE(layout::MergeDuplicateBlockWords(*p, *c));
  EXPECT_EQ(BlockPicture(*p), "Total 12");
  EXPECT_EQ(BlockPicture(*c), "");

  std::unique_ptr<CTextLine> empty(NewBlock({}));
  EXPECT_FALSE(layout::MergeDuplicateBlockWords(*p, *empty));
}

// ---- FindContainedText -----------------------------------------------------------------

struct ContainedCase {
  std::vector<const wchar_t*> m_vecP, m_vecC;
  EContainedResult m_eExpected;
};

CTextLine* LineOfTexts(const std::vector<const wchar_t*>& texts) {
  auto* line = new CTextLine;
  float x = 0;
  for (const wchar_t* text : texts) {
    line->m_lstTextWords.push_back(NewWord({text, x, 0, 10, 10, 0}));
    x += 15;
  }
  return line;
}

TEST(FindContainedText, ComparesConcatenatedTextsWithoutSeparators) {
  const ContainedCase cases[] = {
      {{L"Page", L"1", L"of", L"3"}, {L"1"}, EContainedResult::DropC},
      {{L"1"}, {L"Page", L"1", L"of", L"3"}, EContainedResult::DropP},
      {{L"ab", L"cd"}, {L"bc"}, EContainedResult::DropC},  // across a word boundary
      {{L"same"}, {L"same"}, EContainedResult::DropC},      // equal: C goes first
      {{L"A"}, {L"a"}, EContainedResult::None},             // no case folding
      {{L"left"}, {L"right"}, EContainedResult::None},
      {{L"x"}, {}, EContainedResult::DropC},                // an empty text always occurs
  };
  for (const ContainedCase& test : cases) {
    std::unique_ptr<CTextLine> p(LineOfTexts(test.m_vecP)), c(LineOfTexts(test.m_vecC));
    EXPECT_EQ(layout::FindContainedText(*p, *c), test.m_eExpected) << WordsOf(*p) << " vs " << WordsOf(*c);
    std::unique_ptr<CTextLine> blockP(NewBlock({NewColumn({LineOfTexts(test.m_vecP)})}));
    std::unique_ptr<CTextLine> blockC(NewBlock({NewColumn({LineOfTexts(test.m_vecC)})}));
    EXPECT_EQ(layout::FindContainedBlockText(*blockP, *blockC), test.m_eExpected);
  }
}

// ---- JoinLineFragments -----------------------------------------------------------------

TEST(JoinLineFragments, ThreeFragmentsInSequenceJoinInDrawingOrder) {
  CTextPage page;
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"fox", 130, 0, 15, 10, 3}}));
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"The", 0, 0, 20, 10, 0}}));
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"quick", 30, 0.5f, 30, 10, 1}, {L"brown", 70, 0.5f, 30, 10, 2}}));
  const CWordCensus census(page);

  layout::JoinLineFragments(page);
  EXPECT_EQ(PagePicture(page), "The quick brown fox");
  census.ExpectAllKept(page);
  const CTextLine& block = LineAt(page.m_lstTextLines, 0);
  const CTextLine& column = LineAt(block.m_lstTextLines, 0);
  const CTextLine& line = LineAt(column.m_lstTextLines, 0);
  for (const CTextLine* node : {&block, &column, &line}) {
    EXPECT_FLOAT_EQ(node->m_fX, 0);
    EXPECT_FLOAT_EQ(node->m_fY, 0);
    EXPECT_FLOAT_EQ(node->m_fWidth, 145);
    EXPECT_FLOAT_EQ(node->m_fHeight, 10.5f);
  }
  EXPECT_TRUE(page.m_vecFloatTexts.empty());
}

TEST(JoinLineFragments, SortsBlocksByContentOrderStably) {
  CTextPage page;  // three separate lines; the two blocks with order 5 keep their order
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"c", 0, 40, 5, 10, 5}}));
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"a", 0, 0, 5, 10, -3}}));
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"d", 0, 20, 5, 10, 5}}));
  layout::JoinLineFragments(page);
  EXPECT_EQ(PagePicture(page), "a / c / d");
}

struct JoinCase {
  const char* m_szName;
  WordSpec m_P, m_C;
  const char* m_szExpected;
};

TEST(JoinLineFragments, JoinsOnlyWhenEveryConditionHolds) {
  const JoinCase cases[] = {
      {"gap", {L"aa", 0, 0, 100, 10, 0}, {L"bb", 150, 0, 100, 10, 1}, "aa bb"},
      {"order does not continue", {L"aa", 0, 0, 100, 10, 0}, {L"bb", 150, 0, 100, 10, 2}, "aa / bb"},
      {"C not right of P", {L"aa", 150, 0, 100, 10, 0}, {L"bb", 0, 0, 100, 10, 1}, "aa / bb"},
      {"overlap 9.5 of width 100", {L"aa", 0, 0, 100, 10, 0}, {L"bb", 90.5f, 0, 100, 10, 1}, "aa bb"},
      {"overlap 10 points", {L"aa", 0, 0, 100, 10, 0}, {L"bb", 90, 0, 100, 10, 1}, "aa / bb"},
      {"overlap 7 of width 40", {L"aa", 0, 0, 40, 10, 0}, {L"bb", 33, 0, 40, 10, 1}, "aa bb"},
      {"overlap 8 of width 40 (0.2)", {L"aa", 0, 0, 40, 10, 0}, {L"bb", 32, 0, 40, 10, 1}, "aa / bb"},
      {"height overlap 9 of 10", {L"aa", 0, 0, 100, 10, 0}, {L"bb", 150, 1, 100, 10, 1}, "aa bb"},
      {"height overlap 8 of 10 (0.8)", {L"aa", 0, 0, 100, 10, 0}, {L"bb", 150, 2, 100, 10, 1}, "aa / bb"},
      {"heights 25 and 10 (ratio 2.5)", {L"aa", 0, 0, 100, 25, 0}, {L"bb", 150, 10, 100, 10, 1}, "aa bb"},
      {"heights 10 and 25 (ratio 2.5)", {L"aa", 0, 10, 100, 10, 0}, {L"bb", 150, 0, 100, 25, 1}, "aa bb"},
  };
  for (const JoinCase& test : cases) {
    CTextPage page;
    page.m_lstTextLines.push_back(NewCaptureBlock({test.m_P}));
    page.m_lstTextLines.push_back(NewCaptureBlock({test.m_C}));
    const CWordCensus census(page);
    layout::JoinLineFragments(page);
    EXPECT_EQ(PagePicture(page), test.m_szExpected) << test.m_szName;
    EXPECT_TRUE(page.m_vecFloatTexts.empty()) << test.m_szName;
    census.ExpectAllKept(page);
  }
}

TEST(JoinLineFragments, OversizedInitialFloats) {
  CTextPage page;
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"T", 0, 0, 30, 40, 0}}));
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"he", 35, 28, 10, 12, 1}, {L"end", 50, 28, 15, 12, 2}}));
  const CWordCensus census(page);
  layout::JoinLineFragments(page);
  EXPECT_EQ(PagePicture(page), "he end");
  ASSERT_EQ(page.m_vecFloatTexts.size(), 1u);
  const CFloatText& record = *page.m_vecFloatTexts.front();
  EXPECT_EQ(WordsOf(*record.m_pLine), "T");
  EXPECT_FLOAT_EQ(record.m_fWidth, 30);
  EXPECT_FLOAT_EQ(record.m_fHeight, 40);
  const float identity[6] = {1, 0, 0, 1, 1, 1};
  for (int i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(record.m_afTransform[i], identity[i]);
  census.ExpectAllKept(page);
}

TEST(JoinLineFragments, OversizedFollowerFloatsAndPStays) {
  CTextPage page;
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"small", 0, 28, 30, 10, 0}}));
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"BIG", 40, 0, 60, 40, 1}}));
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"more", 110, 28, 30, 10, 2}}));
  const CWordCensus census(page);
  layout::JoinLineFragments(page);
  // "more" does not continue P's range (it ended at 0), so it stays a block of its own.
  EXPECT_EQ(PagePicture(page), "small / more");
  EXPECT_EQ(FloatPicture(page), "BIG");
  census.ExpectAllKept(page);
}

TEST(JoinLineFragments, TwinBlocksOnOneLineCollapseWhereverTheyStand) {
  CTextPage page;  // a repeated value in two table cells: the left one survives
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"42", 300, 0, 10, 10, 0}}));
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"42", 100, 1, 10, 10, 7}}));
  const CWordCensus census(page);
  layout::JoinLineFragments(page);
  EXPECT_EQ(PagePicture(page), "42");
  census.ExpectOnlyDuplicatesRemoved(page, 1);
  const CTextLine& block = LineAt(page.m_lstTextLines, 0);
  EXPECT_FLOAT_EQ(block.m_fX, 300);  // boxes stay as they were
  const CTextLine& line = LineAt(LineAt(block.m_lstTextLines, 0).m_lstTextLines, 0);
  EXPECT_FLOAT_EQ(line.m_lstTextWords.front()->m_fX, 100);
}

TEST(JoinLineFragments, ContainedBlocksAreDropped) {
  {
    CTextPage page;
    page.m_lstTextLines.push_back(NewCaptureBlock({{L"Page", 0, 0, 20, 10, 0}, {L"1", 25, 0, 5, 10, 1}}));
    page.m_lstTextLines.push_back(NewCaptureBlock({{L"1", 200, 0, 5, 10, 2}}));
    layout::JoinLineFragments(page);
    EXPECT_EQ(PagePicture(page), "Page 1");
  }
  {
    CTextPage page;  // P's text inside C's: P goes and C becomes P
    page.m_lstTextLines.push_back(NewCaptureBlock({{L"1", 200, 0, 5, 10, 0}}));
    page.m_lstTextLines.push_back(NewCaptureBlock({{L"Page", 0, 0, 20, 10, 1}, {L"1", 25, 0, 5, 10, 2}}));
    page.m_lstTextLines.push_back(NewCaptureBlock({{L"next", 40, 0, 20, 10, 3}}));
    layout::JoinLineFragments(page);
    EXPECT_EQ(PagePicture(page), "Page 1 next");  // the range was refreshed from the new P
  }
}

TEST(JoinLineFragments, SeparateLinesAreLeftAlone) {
  CTextPage page;
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"one", 0, 0, 20, 10, 0}}));
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"two", 30, 12, 20, 10, 1}}));
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"one", 0, 24, 20, 10, 2}}));
  const CWordCensus census(page);
  layout::JoinLineFragments(page);
  EXPECT_EQ(PagePicture(page), "one / two / one");
  census.ExpectAllKept(page);
}

TEST(JoinLineFragments, SingleBlockAndEmptyPage) {
  CTextPage empty;
  layout::JoinLineFragments(empty);
  EXPECT_TRUE(empty.m_lstTextLines.empty());
  CTextPage page;
  page.m_lstTextLines.push_back(NewCaptureBlock({{L"only", 0, 0, 20, 10, 0}}));
  layout::JoinLineFragments(page);
  EXPECT_EQ(PagePicture(page), "only");
}

}  // namespace
