#pragma once
// Hand-made page models for the layout pass tests: words, text lines, columns and blocks
// from boxes, texts and orders; a compact text picture of a tree; and a word census that
// proves a pass neither lost nor duplicated a word.

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "capture/TextPage.h"
#include "layout/LayoutBoxes.h"

namespace layout_test {

using nsPDFData::CFloatText;
using nsPDFData::CTextBase;
using nsPDFData::CTextLine;
using nsPDFData::CTextPage;
using nsPDFData::CTextWord;

struct WordSpec {
  const wchar_t* m_szText;
  float m_fX, m_fY, m_fWidth, m_fHeight;  // box, points
  int m_nOrder;                           // content order
};

inline CTextWord* NewWord(const WordSpec& wordSpec) {
  auto* word = new CTextWord;
  word->m_strText = wordSpec.m_szText;
  word->m_fX = wordSpec.m_fX;
  word->m_fY = wordSpec.m_fY;
  word->m_fWidth = wordSpec.m_fWidth;
  word->m_fHeight = wordSpec.m_fHeight;
  word->m_nOrder = wordSpec.m_nOrder;
  word->m_dAlpha = 255.0;
  return word;
}

inline void SetBoxToChildren(CTextLine& line, const nsPDFData::TextList& children) {
  bool first = true;
  layout::CBox box;
  for (CTextBase* child : children) {
    box = first ? layout::BoxOf(*child) : layout::UnionBox(box, layout::BoxOf(*child));
    first = false;
  }
  if (!first) layout::SetBox(line, box);
}

// A text line as capture makes it: the union box of its words, the first word's order.
inline CTextLine* NewTextLine(std::initializer_list<WordSpec> words) {
  auto* line = new CTextLine;
  line->m_bColumn = 0;
  for (const WordSpec& wordSpec : words) line->m_lstTextWords.push_back(NewWord(wordSpec));
  SetBoxToChildren(*line, line->m_lstTextWords);
  if (!line->m_lstTextWords.empty()) line->m_nOrder = layout::AsWord(line->m_lstTextWords.front())->m_nOrder;
  return line;
}

inline CTextLine* NewColumn(std::initializer_list<CTextLine*> lines) {
  auto* column = new CTextLine;  // m_bColumn keeps its construction value 1
  for (CTextLine* line : lines) column->m_lstTextLines.push_back(line);
  SetBoxToChildren(*column, column->m_lstTextLines);
  return column;
}

inline CTextLine* NewBlock(std::initializer_list<CTextLine*> columns) {
  auto* block = new CTextLine;
  block->m_bColumn = 0;
  for (CTextLine* column : columns) block->m_lstTextLines.push_back(column);
  SetBoxToChildren(*block, block->m_lstTextLines);
  return block;
}

// A block as capture leaves it: one column holding one text line, all three boxes equal.
inline CTextLine* NewCaptureBlock(std::initializer_list<WordSpec> words) {
  return NewBlock({NewColumn({NewTextLine(words)})});
}

inline const CTextLine& LineAt(const nsPDFData::TextList& list, std::size_t index) {
  auto it = list.begin();
  std::advance(it, index);
  return *layout::AsLine(*it);
}

// Words of a text line separated by spaces.
inline std::string WordsOf(const CTextLine& line) {
  std::string out;
  for (CTextBase* node : line.m_lstTextWords) {
    if (!out.empty()) out += ' ';
    for (wchar_t ch : layout::AsWord(node)->m_strText) out += static_cast<char>(ch);
  }
  return out;
}

// Lines of a column separated by "; ".
inline std::string ColumnPicture(const CTextLine& column) {
  std::string out;
  for (CTextBase* node : column.m_lstTextLines) {
    if (!out.empty()) out += "; ";
    out += WordsOf(*layout::AsLine(node));
  }
  return out;
}

// Columns of a block separated by " | ".
inline std::string BlockPicture(const CTextLine& block) {
  std::string out;
  for (CTextBase* node : block.m_lstTextLines) {
    if (!out.empty()) out += " | ";
    out += ColumnPicture(*layout::AsLine(node));
  }
  return out;
}

// The page's blocks separated by " / ".
inline std::string PagePicture(const CTextPage& page) {
  std::string out;
  for (CTextBase* node : page.m_lstTextLines) {
    if (!out.empty()) out += " / ";
    out += BlockPicture(*layout::AsLine(node));
  }
  return out;
}

// The page's floating lines separated by " / ".
inline std::string FloatPicture(const CTextPage& page) {
  std::string out;
  for (const CFloatText* record : page.m_vecFloatTexts) {
    if (!out.empty()) out += " / ";
    out += WordsOf(*record->m_pLine);
  }
  return out;
}

inline void CollectWords(const CTextLine& line, std::vector<CTextWord*>& out) {
  for (CTextBase* node : line.m_lstTextWords) out.push_back(layout::AsWord(node));
  for (CTextBase* node : line.m_lstTextLines) CollectWords(*layout::AsLine(node), out);
}

// Every word reachable from the page: the layout tree, then the floating lines.
inline std::vector<CTextWord*> AllWords(const CTextPage& page) {
  std::vector<CTextWord*> out;
  for (CTextBase* node : page.m_lstTextLines) CollectWords(*layout::AsLine(node), out);
  for (const CFloatText* record : page.m_vecFloatTexts) CollectWords(*record->m_pLine, out);
  return out;
}

// The words of a page before a pass, by identity, with their texts (read before the pass,
// so that destroyed words are never touched).
class CWordCensus {
 public:
  explicit CWordCensus(const CTextPage& page) {
    for (CTextWord* word : AllWords(page)) m_mapText[word] = word->m_strText;
  }

  // Every word is still reachable exactly once, and no word came from elsewhere.
  void ExpectAllKept(const CTextPage& page) const {
    std::vector<CTextWord*> after = AllWords(page);
    EXPECT_EQ(after.size(), m_mapText.size()) << "a word was lost or duplicated";
    std::sort(after.begin(), after.end());
    EXPECT_TRUE(std::adjacent_find(after.begin(), after.end()) == after.end()) << "a word is reachable twice";
    for (CTextWord* word : after) EXPECT_EQ(m_mapText.count(word), 1u) << "a word came from nowhere";
  }

  // Survivors are reachable once each; exactly `removed` words went, and each of them
  // left a surviving word with the same text.
  void ExpectOnlyDuplicatesRemoved(const CTextPage& page, std::size_t removed) const {
    std::vector<CTextWord*> after = AllWords(page);
    EXPECT_EQ(after.size() + removed, m_mapText.size());
    std::sort(after.begin(), after.end());
    EXPECT_TRUE(std::adjacent_find(after.begin(), after.end()) == after.end()) << "a word is reachable twice";
    std::map<std::wstring, int> surviving;
    for (CTextWord* word : after) {
      EXPECT_EQ(m_mapText.count(word), 1u) << "a word came from nowhere";
      ++surviving[word->m_strText];
    }
    for (const auto& [word, text] : m_mapText) {
      if (!std::binary_search(after.begin(), after.end(), word)) {
        EXPECT_GT(surviving[text], 0) << "the last copy of a text was destroyed";
      }
    }
  }

 private:
  std::map<CTextWord*, std::wstring> m_mapText;
};

}  // namespace layout_test
