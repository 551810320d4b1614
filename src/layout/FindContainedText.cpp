#include "layout/FindContainedText.h"

#include <string>

#include "layout/LayoutBoxes.h"

namespace layout {

using nsPDFData::CTextBase;
using nsPDFData::CTextLine;

namespace {

std::wstring TextOf(const CTextLine* line) {
  std::wstring text;
  if (!line) return text;
  for (const CTextBase* node : line->m_lstTextWords)
    if (const auto* word = AsWord(node)) text += word->m_strText;
  return text;
}

const CTextLine* FirstTextLine(const CTextLine& block) {
  if (block.m_lstTextLines.empty()) return nullptr;
  const auto* column = AsLine(block.m_lstTextLines.front());
  if (!column || column->m_lstTextLines.empty()) return nullptr;
  return AsLine(column->m_lstTextLines.front());
}

EContainedResult Compare(const CTextLine* p, const CTextLine* c) {
  const std::wstring textP = TextOf(p);
  const std::wstring textC = TextOf(c);
  if (textP.find(textC) != std::wstring::npos) return EContainedResult::DropC;
  if (textC.find(textP) != std::wstring::npos) return EContainedResult::DropP;
  return EContainedResult::None;
}

}  // namespace

EContainedResult FindContainedText(const CTextLine& p, const CTextLine& c) { return Compare(&p, &c); }

EContainedResult FindContainedBlockText(const CTextLine& p, const CTextLine& c) {
  return Compare(FirstTextLine(p), FirstTextLine(c));
}

}  // namespace layout
