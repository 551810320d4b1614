#include "layout/LayoutBoxes.h"

#include <algorithm>

namespace layout {

using nsPDFData::CTextBase;
using nsPDFData::CTextLine;

CBox UnionBox(const CBox& a, const CBox& b) {
  CBox out;
  out.m_fX = std::min(a.m_fX, b.m_fX);
  out.m_fY = std::min(a.m_fY, b.m_fY);
  out.m_fWidth = std::max(a.m_fX + a.m_fWidth, b.m_fX + b.m_fWidth) - out.m_fX;
  out.m_fHeight = std::max(a.m_fY + a.m_fHeight, b.m_fY + b.m_fHeight) - out.m_fY;
  return out;
}

CBox IntersectBox(const CBox& a, const CBox& b) {
  CBox out;
  out.m_fX = std::max(a.m_fX, b.m_fX);
  out.m_fY = std::max(a.m_fY, b.m_fY);
  out.m_fWidth = std::min(a.m_fX + a.m_fWidth, b.m_fX + b.m_fWidth) - out.m_fX;
  out.m_fHeight = std::min(a.m_fY + a.m_fHeight, b.m_fY + b.m_fHeight) - out.m_fY;
  return out;
}

CBox RecomputeBox(CTextLine& line) {
  if (!line.m_lstTextLines.empty()) {
    bool first = true;
    CBox box;
    for (CTextBase* node : line.m_lstTextLines) {
      CTextLine* child = AsLine(node);
      if (!child) continue;
      const bool hasContent = !child->m_lstTextLines.empty() || !child->m_lstTextWords.empty();
      const CBox contribution = hasContent ? RecomputeBox(*child) : BoxOf(*child);
      box = first ? contribution : UnionBox(box, contribution);
      first = false;
    }
    if (!first) SetBox(line, box);
    return first ? BoxOf(line) : box;
  }
  if (!line.m_lstTextWords.empty()) {
    CBox box = BoxOf(*line.m_lstTextWords.front());
    for (CTextBase* word : line.m_lstTextWords) box = UnionBox(box, BoxOf(*word));
    return box;
  }
  return BoxOf(line);
}

namespace {

void WidenRange(const CTextLine& node, COrderRange& range) {
  for (const CTextBase* base : node.m_lstTextWords)
    if (const auto* word = AsWord(base)) {
      range.m_nSmallest = std::min(range.m_nSmallest, word->m_nOrder);
      range.m_nLargest = std::max(range.m_nLargest, word->m_nOrder);
    }
  for (const CTextBase* base : node.m_lstTextLines)
    if (const auto* child = AsLine(base)) WidenRange(*child, range);
}

}  // namespace

COrderRange GetOrderRange(const CTextLine& node) {
  COrderRange range;
  WidenRange(node, range);
  return range;
}

void FloatLine(nsPDFData::CTextPage& page, CTextLine* line) {
  auto* record = new nsPDFData::CFloatText;
  record->m_pLine = line;
  record->m_fX = line->m_fX;
  record->m_fY = line->m_fY;
  record->m_fWidth = line->m_fWidth;
  record->m_fHeight = line->m_fHeight;
  page.m_vecFloatTexts.push_back(record);
}

}  // namespace layout
