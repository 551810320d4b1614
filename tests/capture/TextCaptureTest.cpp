#include <gtest/gtest.h>

#include "TestSupport.h"
#include "capture/TextPage.h"
#include "driver/OutputKind.h"
#include "pdf/MuInterface.h"

namespace {

using namespace nsPDFData;
using fixtures::TextRun;
using testing_support::TempDir;

struct CapturedWord {
  std::wstring text;
  const CTextWord* word;
  int block;  // index of the block that holds it
};

// Captures page 1 of a one-page document made of `runs`, as the capture leaves it.
class TextCaptureTest : public ::testing::Test {
 protected:
  CTextPage* Capture(std::vector<TextRun> runs, double width = 400, double height = 300) {
    fixtures::DocSpec docSpec;
    fixtures::PageSpec page;
    page.m_dWidth = width;
    page.m_dHeight = height;
    page.m_vecTexts = std::move(runs);
    docSpec.m_vecPages.push_back(page);
    const auto path = m_dir / ("page" + std::to_string(m_nFiles++) + ".pdf");
    EXPECT_TRUE(fixtures::WritePdf(path, docSpec));
    m_doc.CloseDocument();
    m_doc.m_nOutputKind = KIND_CSV;  // a kind without layout analysis: the tree as captured
    EXPECT_EQ(m_doc.OpenDocument(platform::FromPath(path), "", ""), 1);
    return m_doc.LoadPage(1);
  }

  static std::vector<CapturedWord> Words(const CTextPage& page) {
    std::vector<CapturedWord> out;
    int blockIndex = 0;
    for (auto* block : page.m_lstTextLines) {
      for (auto* column : static_cast<CTextLine*>(block)->m_lstTextLines)
        for (auto* line : static_cast<CTextLine*>(column)->m_lstTextLines)
          for (auto* base : static_cast<CTextLine*>(line)->m_lstTextWords) {
            auto* word = static_cast<CTextWord*>(base);
            out.push_back({word->m_strText, word, blockIndex});
          }
      ++blockIndex;
    }
    return out;
  }

  static std::vector<std::wstring> Texts(const CTextPage& page) {
    std::vector<std::wstring> out;
    for (const auto& w : Words(page)) out.push_back(w.text);
    return out;
  }

  TempDir m_dir;
  CMuInterface m_doc;
  int m_nFiles = 0;
};

TEST_F(TextCaptureTest, SpacesSplitWordsAndOrdersFollowTheDrawing) {
  CTextPage* page = Capture({{50, 100, "Hello world"}, {50, 130, "Second line"}});
  ASSERT_NE(page, nullptr);
  auto words = Words(*page);
  ASSERT_EQ(words.size(), 4u);
  EXPECT_EQ(Texts(*page), (std::vector<std::wstring>{L"Hello", L"world", L"Second", L"line"}));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(words[i].word->m_nOrder, i);
  EXPECT_EQ(words[0].block, words[1].block);  // one line, one block
  const CTextWord& hello = *words[0].word;
  EXPECT_NEAR(hello.m_fX, 50, 0.01);
  EXPECT_NEAR(hello.m_fY + hello.m_fHeight, 100 + 12 * 0.225, 1.0);  // descender below the baseline
  EXPECT_DOUBLE_EQ(hello.m_dFontSize, 12);
  EXPECT_EQ(hello.m_strFontName.empty(), false);
  EXPECT_DOUBLE_EQ(hello.m_dAlpha, 255.0);
  auto* line = static_cast<CTextLine*>(
      static_cast<CTextLine*>(static_cast<CTextLine*>(page->m_lstTextLines.front())->m_lstTextLines.front())
          ->m_lstTextLines.front());
  EXPECT_EQ(line->m_nOrder, 0);
  EXPECT_EQ(line->m_bColumn, 0);
}

TEST_F(TextCaptureTest, SpansNeverCrossTextOperatorsAndGapsInsertSpaces) {
  // "Hal" and "ves" drawn by two operators, the second starting where the first ended.
  CTextPage* page = Capture({{50, 100, "Hal"}, {50 + 12 * (0.722 + 0.556 + 0.222), 100, "ves"},
                             {50, 150, "", "Helvetica", 12, {1, 0, 0, 1}, 0, {0, 0, 0}, "WinAnsiEncoding",
                              "[(ab) -500 (cd) -100 (ef)] TJ"}});
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(Texts(*page), (std::vector<std::wstring>{L"Hal", L"ves", L"ab", L"cdef"}));
}

TEST_F(TextCaptureTest, AGlyphFarFromThePreviousOneStartsANewLine) {
  CTextPage* page = Capture({{50, 100, "", "Helvetica", 12, {1, 0, 0, 1}, 0, {0, 0, 0}, "WinAnsiEncoding",
                              "[(left) -20000 (right)] TJ"}});
  ASSERT_NE(page, nullptr);
  auto words = Words(*page);
  ASSERT_EQ(words.size(), 2u);
  EXPECT_NE(words[0].block, words[1].block);
}

TEST_F(TextCaptureTest, LigaturesSplitIntoTheirLettersWithEqualShares) {
  // Code 0256 is the fi ligature in the standard encoding of the base-14 fonts.
  TextRun run{50, 100, "", "Times-Roman", 20};
  run.m_strEncoding = "";
  run.m_strShow = "(\\256nd) Tj";
  CTextPage* page = Capture({run});
  ASSERT_NE(page, nullptr);
  auto words = Words(*page);
  ASSERT_EQ(words.size(), 1u);
  EXPECT_EQ(words[0].text, L"find");
}

TEST_F(TextCaptureTest, RotatedTextFloatsAndDropCapitalsLeaveTheLine) {
  TextRun rotated{200, 250, "Up"};
  rotated.m_adMatrix[0] = 0;
  rotated.m_adMatrix[1] = 1;
  rotated.m_adMatrix[2] = -1;
  rotated.m_adMatrix[3] = 0;
  TextRun capital{50, 100, "D", "Times-Roman", 40};
  TextRun rest{50 + 40 * 0.722, 100, "rop", "Times-Roman", 12};
  CTextPage* page = Capture({rotated, capital, rest});
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(Texts(*page), (std::vector<std::wstring>{L"rop"}));
  ASSERT_EQ(page->m_vecFloatTexts.size(), 2u);
  const CFloatText& up = *page->m_vecFloatTexts[0];
  EXPECT_EQ(static_cast<CTextWord*>(up.m_pLine->m_lstTextWords.front())->m_strText, L"Up");
  EXPECT_NEAR(up.m_afTransform[1], -12, 1e-4);  // b of the 12-point text matrix, negated
  const CFloatText& drop = *page->m_vecFloatTexts[1];
  EXPECT_EQ(static_cast<CTextWord*>(drop.m_pLine->m_lstTextWords.front())->m_strText, L"D");
  EXPECT_FLOAT_EQ(drop.m_afTransform[4], 1);
  EXPECT_GT(drop.m_fHeight, 30);
  // The line keeps the drop capital's order number.
  auto* block = static_cast<CTextLine*>(page->m_lstTextLines.front());
  auto* line = static_cast<CTextLine*>(static_cast<CTextLine*>(block->m_lstTextLines.front())->m_lstTextLines.front());
  EXPECT_EQ(line->m_nOrder, static_cast<CTextWord*>(drop.m_pLine->m_lstTextWords.front())->m_nOrder);
}

TEST_F(TextCaptureTest, TextOffThePageIsDropped) {
  CTextPage* page = Capture({{-200, 100, "left"}, {50, -50, "above"}, {450, 100, "right"}, {50, 350, "below"},
                             {50, 100, "inside"}});
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(Texts(*page), (std::vector<std::wstring>{L"inside"}));
}

TEST_F(TextCaptureTest, ColoursSizesAndInvisibleText) {
  TextRun red{50, 100, "Red", "Helvetica", 3};
  red.m_adColor[0] = 1;
  TextRun invisible{50, 200, "Hidden", "Helvetica", 3};
  invisible.m_nRenderMode = 3;
  TextRun lone{50, 250, "Alone", "Courier", 14};
  lone.m_nRenderMode = 3;
  CTextPage* page = Capture({red, invisible, lone});
  ASSERT_NE(page, nullptr);
  auto words = Words(*page);
  ASSERT_EQ(words.size(), 3u);
  EXPECT_DOUBLE_EQ(words[0].word->m_dFontSize, 5);  // 3 points report 5
  EXPECT_NEAR(words[0].word->m_dRed, 254.0 * 255 / 256 / 255 * 255 / 255, 0.01);
  EXPECT_NEAR(words[0].word->m_dGreen, 0, 1e-9);
  // Invisible text takes the colour of filled text captured before in the same font and size.
  EXPECT_DOUBLE_EQ(words[1].word->m_dRed, words[0].word->m_dRed);
  EXPECT_DOUBLE_EQ(words[2].word->m_dRed, 0);
}

TEST_F(TextCaptureTest, BoldAndItalicComeFromTheFontName) {
  CTextPage* page = Capture({{50, 100, "a", "Helvetica-Bold"}, {50, 130, "b", "Times-Italic"},
                             {50, 160, "c", "Courier-BoldOblique"}, {50, 190, "d", "Times-Roman"}});
  ASSERT_NE(page, nullptr);
  auto words = Words(*page);
  ASSERT_EQ(words.size(), 4u);
  EXPECT_TRUE(words[0].word->m_bBold && !words[0].word->m_bItalic);
  EXPECT_TRUE(!words[1].word->m_bBold && words[1].word->m_bItalic);
  EXPECT_TRUE(words[2].word->m_bBold && words[2].word->m_bItalic);
  EXPECT_TRUE(!words[3].word->m_bBold && !words[3].word->m_bItalic);
}

}  // namespace
