#pragma once
// Box operations shared by every layout pass. A box is left, top, width, height in points.

#include <cstdint>
#include <typeinfo>

#include "capture/TextPage.h"

namespace layout {

using CBox = nsPDFData::CGapBox;

// The box stored on any object of the page model (text, path, picture), and storing one back.
template <typename Boxed>
CBox BoxOf(const Boxed& node) {
  return CBox{node.m_fX, node.m_fY, node.m_fWidth, node.m_fHeight};
}
template <typename Boxed>
void SetBox(Boxed& node, const CBox& box) {
  node.m_fX = box.m_fX;
  node.m_fY = box.m_fY;
  node.m_fWidth = box.m_fWidth;
  node.m_fHeight = box.m_fHeight;
}

// The smallest box holding both.
CBox UnionBox(const CBox& a, const CBox& b);

// The overlap of both; width and height are negative when the boxes are apart (their
// magnitude is the distance) and 0 when they touch. Never clamped.
CBox IntersectBox(const CBox& a, const CBox& b);

// Refreshes the stored boxes of a block or column from its words and returns the line's
// box: lines with children take the union of their children's boxes (stored on the line);
// a text line returns the union of its words without storing it; an empty line its own box.
CBox RecomputeBox(nsPDFData::CTextLine& line);

// The smallest and the largest m_nOrder of the words under a block or a column;
// (65535, -1) when there are none.
struct COrderRange {
  int32_t m_nSmallest = 0xFFFF;
  int32_t m_nLargest = -1;
};
COrderRange GetOrderRange(const nsPDFData::CTextLine& node);

// Checked downcasts for walking the tree. The model's classes are final in practice, so an
// exact type comparison does the check at a fraction of a dynamic_cast's cost (the passes
// test every word of a page several times).
inline nsPDFData::CTextLine* AsLine(nsPDFData::CTextBase* node) {
  return node && typeid(*node) == typeid(nsPDFData::CTextLine) ? static_cast<nsPDFData::CTextLine*>(node) : nullptr;
}
inline const nsPDFData::CTextLine* AsLine(const nsPDFData::CTextBase* node) {
  return AsLine(const_cast<nsPDFData::CTextBase*>(node));
}
inline nsPDFData::CTextWord* AsWord(nsPDFData::CTextBase* node) {
  return node && typeid(*node) == typeid(nsPDFData::CTextWord) ? static_cast<nsPDFData::CTextWord*>(node) : nullptr;
}
inline const nsPDFData::CTextWord* AsWord(const nsPDFData::CTextBase* node) {
  return AsWord(const_cast<nsPDFData::CTextBase*>(node));
}

// Moves a text line out of the flow: appends a floating record with the line, a copy of
// its box and the matrix 1, 0, 0, 1, 1, 1 to the page. The caller unlinks the line.
void FloatLine(nsPDFData::CTextPage& page, nsPDFData::CTextLine* line);

}  // namespace layout
