#pragma once
// Hand-made page models for the band passes: blocks of columns of one-word text lines,
// described by tables, and a compact text picture of the resulting tree.

#include <algorithm>
#include <string>
#include <vector>

#include "capture/TextPage.h"
#include "layout/LayoutBoxes.h"

namespace band_builder {

using namespace nsPDFData;

constexpr float kLineHeight = 10;
constexpr float kPageWidth = 600;

// One text line holding one word; texts are unique within a test so that they identify words.
struct LineDesc {
  std::string m_strText;
  int m_nOrder;
  float m_fLeft;
  float m_fTop;
  float m_fWidth;
};
using ColumnDesc = std::vector<LineDesc>;
using BlockDesc = std::vector<ColumnDesc>;

// One cell of a band of single-line columns at one height.
struct CellDesc {
  std::string m_strText;
  int m_nOrder;
  float m_fLeft;
  float m_fWidth;
};

inline CTextLine* MakeLine(const LineDesc& desc) {
  auto* word = new CTextWord;
  word->m_strText.assign(desc.m_strText.begin(), desc.m_strText.end());
  word->m_nOrder = desc.m_nOrder;
  word->m_fX = desc.m_fLeft;
  word->m_fY = desc.m_fTop;
  word->m_fWidth = desc.m_fWidth;
  word->m_fHeight = kLineHeight;
  auto* line = new CTextLine;
  line->m_bColumn = 0;
  line->m_nOrder = desc.m_nOrder;
  line->m_lstTextWords.push_back(word);
  layout::SetBox(*line, layout::BoxOf(*word));
  return line;
}

// A block with its columns and lines, boxes as the capture leaves them (unions).
inline CTextLine* MakeBlock(const BlockDesc& desc) {
  auto* block = new CTextLine;
  block->m_bColumn = 0;
  for (const ColumnDesc& columnDesc : desc) {
    auto* column = new CTextLine;
    for (const LineDesc& lineDesc : columnDesc) column->m_lstTextLines.push_back(MakeLine(lineDesc));
    block->m_lstTextLines.push_back(column);
  }
  layout::RecomputeBox(*block);
  return block;
}

// A band at `top`: one column per cell, each holding one line of one word.
inline CTextLine* MakeRow(float top, const std::vector<CellDesc>& cells) {
  BlockDesc desc;
  for (const CellDesc& cell : cells) desc.push_back({{cell.m_strText, cell.m_nOrder, cell.m_fLeft, top, cell.m_fWidth}});
  return MakeBlock(desc);
}

// A band of single-line cells at one height.
struct RowDesc {
  float m_fTop;
  std::vector<CellDesc> m_vecCells;
};

inline void InitPage(CTextPage& page, const std::vector<CTextLine*>& blocks) {
  page.m_fWidth = kPageWidth;
  page.m_fHeight = 800;
  for (CTextLine* block : blocks) page.m_lstTextLines.push_back(block);
}

// The page's blocks, one per row, in the rows' order; returns them for identity checks.
inline std::vector<CTextLine*> InitPage(CTextPage& page, const std::vector<RowDesc>& rows) {
  std::vector<CTextLine*> blocks;
  for (const RowDesc& row : rows) blocks.push_back(MakeRow(row.m_fTop, row.m_vecCells));
  InitPage(page, blocks);
  return blocks;
}

inline std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// Words of a line separated by spaces.
inline std::string LineText(const CTextLine& line) {
  std::string out;
  for (const CTextBase* node : line.m_lstTextWords) {
    if (!out.empty()) out += ' ';
    out += Narrow(dynamic_cast<const CTextWord*>(node)->m_strText);
  }
  return out;
}

// "[a|b][c] / [d e]": blocks separated by " / ", each column in brackets, lines by "|".
inline std::string Describe(const CTextPage& page) {
  std::string out;
  for (const CTextBase* blockNode : page.m_lstTextLines) {
    if (!out.empty()) out += " / ";
    for (const CTextBase* columnNode : dynamic_cast<const CTextLine*>(blockNode)->m_lstTextLines) {
      out += '[';
      bool first = true;
      for (const CTextBase* lineNode : dynamic_cast<const CTextLine*>(columnNode)->m_lstTextLines) {
        if (!first) out += '|';
        out += LineText(*dynamic_cast<const CTextLine*>(lineNode));
        first = false;
      }
      out += ']';
    }
  }
  return out;
}

inline void CollectTexts(const CTextLine& line, std::vector<std::string>& out) {
  for (const CTextBase* word : line.m_lstTextWords) out.push_back(Narrow(dynamic_cast<const CTextWord*>(word)->m_strText));
  for (const CTextBase* child : line.m_lstTextLines) CollectTexts(*dynamic_cast<const CTextLine*>(child), out);
}

// Every word's text on the page (tree and floating lines), sorted: equal before and
// after a pass when no word was lost or duplicated.
inline std::vector<std::string> AllTexts(const CTextPage& page) {
  std::vector<std::string> out;
  for (const CTextBase* block : page.m_lstTextLines) CollectTexts(*dynamic_cast<const CTextLine*>(block), out);
  for (const CFloatText* record : page.m_vecFloatTexts) CollectTexts(*record->m_pLine, out);
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace band_builder
