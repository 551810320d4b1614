// The fragment, band, column and gap passes in the order the analysis runs them, on whole pages: typical layouts, and
// generated pages on which every pass must keep every word exactly once.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "LayoutTreeBuilder.h"
#include "layout/BuildGaps.h"
#include "layout/CleanColumnLines.h"
#include "layout/JoinLineFragments.h"
#include "layout/MergeOverlappingBlocks.h"
#include "layout/MergeOverlappingColumns.h"

namespace {

using namespace layout_test;

void MergeColumnsOfEveryBlock(CTextPage& page) {
  for (CTextBase* block : page.m_lstTextLines) layout::MergeOverlappingColumns(*layout::AsLine(block));
}

void BuildGapsOfEveryBlock(CTextPage& page) {
  for (CTextBase* block : page.m_lstTextLines) layout::BuildGaps(*layout::AsLine(block), page.m_fWidth);
}

// The text variant up to its column regions (fragments, bands, columns, line cleanup), then the gaps.
void RunTextPasses(CTextPage& page) {
  layout::JoinLineFragments(page);
  layout::MergeOverlappingBlocks(page);
  MergeColumnsOfEveryBlock(page);
  layout::CleanColumnLines(page);
  BuildGapsOfEveryBlock(page);
}

// The slide variant up to its block merging, then the gaps.
void RunSlidePasses(CTextPage& page) {
  layout::MergeOverlappingBlocks(page);
  MergeColumnsOfEveryBlock(page);
  layout::CleanColumnLines(page);
  BuildGapsOfEveryBlock(page);
}

std::wstring Text(const char* prefix, int index) {
  std::string text = prefix + std::to_string(index);
  return std::wstring(text.begin(), text.end());
}

// Lines drawn in the order given, of three words unless said otherwise; words are 30 wide
// and 10 high with gaps of 5.
struct LineSpec {
  const char* m_szPrefix;
  float m_fLeft, m_fTop;
  int m_nWords = 3;
};

void AddCapturedLines(CTextPage& page, const std::vector<LineSpec>& lines, std::vector<std::wstring>& texts) {
  int order = static_cast<int>(texts.size());
  for (const LineSpec& lineSpec : lines) {
    auto* line = new CTextLine;
    line->m_bColumn = 0;
    for (int i = 0; i < lineSpec.m_nWords; ++i) {
      texts.push_back(Text(lineSpec.m_szPrefix, i));
      line->m_lstTextWords.push_back(NewWord({texts.back().c_str(), lineSpec.m_fLeft + 35 * i, lineSpec.m_fTop, 30, 10, order++}));
    }
    SetBoxToChildren(*line, line->m_lstTextWords);
    line->m_nOrder = layout::AsWord(line->m_lstTextWords.front())->m_nOrder;
    auto* column = NewColumn({line});
    page.m_lstTextLines.push_back(NewBlock({column}));
  }
}

CTextPage* NewPage() {
  auto* page = new CTextPage;
  page->m_fWidth = 600;
  page->m_fHeight = 800;
  return page;
}

TEST(PassSequence, TwoColumnArticleDrawnColumnByColumnGivesBandsOfTwoColumns) {
  for (bool slide : {false, true}) {
    std::unique_ptr<CTextPage> page(NewPage());
    std::vector<std::wstring> texts;
    AddCapturedLines(*page, {{"l0_", 50, 100}, {"l1_", 50, 114}, {"l2_", 50, 128}, {"r0_", 350, 100}, {"r1_", 350, 114}, {"r2_", 350, 128}},
                     texts);
    const CWordCensus census(*page);
    slide ? RunSlidePasses(*page) : RunTextPasses(*page);
    EXPECT_EQ(PagePicture(*page), "l0_0 l0_1 l0_2 | r0_0 r0_1 r0_2 / l1_0 l1_1 l1_2 | r1_0 r1_1 r1_2 / "
                                  "l2_0 l2_1 l2_2 | r2_0 r2_1 r2_2");
    census.ExpectAllKept(*page);
    for (CTextBase* node : page->m_lstTextLines) {
      const CTextLine& block = *layout::AsLine(node);
      ASSERT_EQ(block.m_vecGaps.size(), 3u);
      EXPECT_FLOAT_EQ(block.m_vecGaps[1]->m_fX, 150);
      EXPECT_FLOAT_EQ(block.m_vecGaps[1]->m_fWidth, 200);
    }
  }
}

TEST(PassSequence, TableDrawnRowByRowFlattensRowsForTextAndKeepsCellsForSlides) {
  const std::vector<LineSpec> cells = {{"a1_", 50, 100}, {"b1_", 200, 100}, {"c1_", 350, 100},
                                       {"a2_", 50, 120}, {"b2_", 200, 120}, {"c2_", 350, 120}};
  {
    std::unique_ptr<CTextPage> page(NewPage());
    std::vector<std::wstring> texts;
    AddCapturedLines(*page, cells, texts);
    const CWordCensus census(*page);
    RunTextPasses(*page);
    EXPECT_EQ(PagePicture(*page), "a1_0 a1_1 a1_2 b1_0 b1_1 b1_2 c1_0 c1_1 c1_2 / a2_0 a2_1 a2_2 b2_0 b2_1 b2_2 c2_0 c2_1 c2_2");
    census.ExpectAllKept(*page);
  }
  {
    std::unique_ptr<CTextPage> page(NewPage());
    std::vector<std::wstring> texts;
    AddCapturedLines(*page, cells, texts);
    RunSlidePasses(*page);
    EXPECT_EQ(PagePicture(*page), "a1_0 a1_1 a1_2 | b1_0 b1_1 b1_2 | c1_0 c1_1 c1_2 / a2_0 a2_1 a2_2 | b2_0 b2_1 b2_2 | c2_0 c2_1 c2_2");
  }
}

TEST(PassSequence, HeadingOverTwoColumnsStaysABandOfItsOwn) {
  std::unique_ptr<CTextPage> page(NewPage());
  std::vector<std::wstring> texts;
  AddCapturedLines(*page, {{"h_", 200, 60}, {"l0_", 50, 100}, {"l1_", 50, 114}, {"r0_", 350, 100}, {"r1_", 350, 114}}, texts);
  RunTextPasses(*page);
  EXPECT_EQ(PagePicture(*page), "h_0 h_1 h_2 / l0_0 l0_1 l0_2 | r0_0 r0_1 r0_2 / l1_0 l1_1 l1_2 | r1_0 r1_1 r1_2");
}

TEST(PassSequence, RaggedSingleColumnGivesOneBandPerLine) {
  std::unique_ptr<CTextPage> page(NewPage());
  std::vector<std::wstring> texts;
  AddCapturedLines(*page, {{"a", 50, 100, 3}, {"b", 50, 114, 1}, {"c", 50, 128, 2}}, texts);
  const CWordCensus census(*page);
  RunTextPasses(*page);
  EXPECT_EQ(PagePicture(*page), "a0 a1 a2 / b0 / c0 c1");
  EXPECT_TRUE(page->m_vecFloatTexts.empty());
  census.ExpectAllKept(*page);
}

// ---- Generated pages -------------------------------------------------------------------

// Lines of 1 to 4 words with unique texts anywhere on a 300 x 200 page, some overlapping,
// some continuing each other's content order. Unique texts mean no duplicate or contained
// text, so every pass must keep every word exactly once.
CTextPage* NewGeneratedPage(uint32_t seed, std::vector<std::wstring>& texts) {
  std::mt19937 rng(seed);
  auto number = [&](uint32_t range) { return static_cast<float>(rng() % range); };
  CTextPage* page = NewPage();
  page->m_fWidth = 300;
  const int lineCount = 1 + static_cast<int>(rng() % 40);
  texts.reserve(lineCount * 4);
  int order = 0;
  for (int l = 0; l < lineCount; ++l) {
    auto* line = new CTextLine;
    line->m_bColumn = 0;
    float x = number(3000) / 10;
    const float y = number(2000) / 10;
    const float height = 2 + number(300) / 10;
    const int wordCount = 1 + static_cast<int>(rng() % 4);
    if (rng() % 4 == 0) order += 1 + static_cast<int>(rng() % 3);  // sometimes the order jumps
    for (int w = 0; w < wordCount; ++w) {
      texts.push_back(L"<" + std::to_wstring(texts.size()) + L">");
      const float width = 1 + number(400) / 10;
      line->m_lstTextWords.push_back(NewWord({texts.back().c_str(), x, y + number(20) / 10, width, height, order++}));
      x += width + number(100) / 10;
    }
    SetBoxToChildren(*line, line->m_lstTextWords);
    line->m_nOrder = layout::AsWord(line->m_lstTextWords.front())->m_nOrder;
    page->m_lstTextLines.push_back(NewBlock({NewColumn({line})}));
  }
  // Capture order is not content order everywhere: shuffle some neighbours.
  for (int swaps = static_cast<int>(rng() % 5); swaps > 0; --swaps) {
    auto a = page->m_lstTextLines.begin();
    std::advance(a, rng() % page->m_lstTextLines.size());
    auto b = page->m_lstTextLines.begin();
    std::advance(b, rng() % page->m_lstTextLines.size());
    std::iter_swap(a, b);
  }
  return page;
}

void ExpectWellFormed(const CTextPage& page, uint32_t seed, const char* after) {
  for (CTextBase* blockNode : page.m_lstTextLines) {
    const CTextLine& block = *layout::AsLine(blockNode);
    EXPECT_FALSE(block.m_lstTextLines.empty()) << "seed " << seed << " after " << after;
    for (CTextBase* columnNode : block.m_lstTextLines) {
      const CTextLine& column = *layout::AsLine(columnNode);
      EXPECT_FALSE(column.m_lstTextLines.empty()) << "seed " << seed << " after " << after;
      for (CTextBase* lineNode : column.m_lstTextLines)
        EXPECT_FALSE(layout::AsLine(lineNode)->m_lstTextWords.empty()) << "seed " << seed << " after " << after;
    }
  }
  for (const CFloatText* record : page.m_vecFloatTexts)
    EXPECT_FALSE(record->m_pLine->m_lstTextWords.empty()) << "seed " << seed << " after " << after;
}

TEST(PassSequence, EveryPassKeepsEveryWordExactlyOnce) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    for (bool slide : {false, true}) {
      std::vector<std::wstring> texts;
      std::unique_ptr<CTextPage> page(NewGeneratedPage(seed, texts));
      const CWordCensus census(*page);
      auto check = [&](const char* after) {
        census.ExpectAllKept(*page);
        ExpectWellFormed(*page, seed, after);
      };
      if (!slide) {
        layout::JoinLineFragments(*page);
        check("JoinLineFragments");
      }
      layout::MergeOverlappingBlocks(*page);
      check("MergeOverlappingBlocks");
      for (auto it = page->m_lstTextLines.begin(); it != page->m_lstTextLines.end(); ++it) {
        const layout::CBox band = layout::BoxOf(**it);
        if (std::next(it) != page->m_lstTextLines.end()) {
          const layout::CBox next = layout::BoxOf(**std::next(it));
          const float overlap = layout::IntersectBox(band, next).m_fHeight;
          EXPECT_FALSE(overlap > 0 && overlap > 0.21 * std::min(band.m_fHeight, next.m_fHeight)) << "seed " << seed;
        }
      }
      MergeColumnsOfEveryBlock(*page);
      check("MergeOverlappingColumns");
      for (CTextBase* blockNode : page->m_lstTextLines) {
        const auto& columns = layout::AsLine(blockNode)->m_lstTextLines;
        for (auto it = columns.begin(); std::next(it) != columns.end(); ++it)
          EXPECT_LE(layout::IntersectBox(layout::BoxOf(**it), layout::BoxOf(**std::next(it))).m_fWidth, 0) << "seed " << seed;
      }
      layout::CleanColumnLines(*page);
      check("CleanColumnLines");
      BuildGapsOfEveryBlock(*page);
      check("BuildGaps");
      for (CTextBase* blockNode : page->m_lstTextLines) {
        const CTextLine& block = *layout::AsLine(blockNode);
        EXPECT_EQ(block.m_vecGaps.size(), block.m_lstTextLines.size() + 1) << "seed " << seed;
        for (std::size_t i = 1; i + 1 < block.m_vecGaps.size(); ++i) EXPECT_GT(block.m_vecGaps[i]->m_fWidth, 1) << "seed " << seed;
      }
      if (testing::Test::HasFailure()) return;  // one reported seed is enough
    }
  }
}

}  // namespace
