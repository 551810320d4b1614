#include "layout/BuildGaps.h"

#include <iterator>

#include "layout/LayoutBoxes.h"

namespace layout {

using nsPDFData::CGapBox;
using nsPDFData::CTextBase;
using nsPDFData::CTextLine;
using nsPDFData::TextList;

namespace {

void SortByTop(TextList& lines) {
  lines.sort([](const CTextBase* a, const CTextBase* b) { return a->m_fY < b->m_fY; });
}

float Right(const CTextBase& node) { return node.m_fX + node.m_fWidth; }
float Bottom(const CTextBase& node) { return node.m_fY + node.m_fHeight; }

float OverlapHeight(const CTextBase& a, const CTextBase& b) {
  return IntersectBox(BoxOf(a), BoxOf(b)).m_fHeight;
}

// M's words follow X's; X takes the union box. M stays where it is, empty.
void JoinInto(CTextLine& m, CTextBase& xNode) {
  CTextLine* x = AsLine(&xNode);
  if (!x) return;
  x->m_lstTextWords.splice(x->m_lstTextWords.end(), m.m_lstTextWords);
  SetBox(*x, UnionBox(BoxOf(m), BoxOf(*x)));
}

void AppendGap(CTextLine& block, float left, float width) {
  auto* gap = new CGapBox;
  gap->m_fX = left;
  gap->m_fWidth = width;
  block.m_vecGaps.push_back(gap);
}

}  // namespace

void MergeColumnLines(CTextLine& source, CTextLine& target) {
  TextList& from = source.m_lstTextLines;
  TextList& to = target.m_lstTextLines;
  if (from.empty()) return;
  if (to.empty()) {
    // An empty target takes the source's lines whole: the caller destroys the source
    // column afterwards, and its text must not go with it.
    SortByTop(from);
    to.splice(to.end(), from);
    return;
  }
  SortByTop(to);
  SortByTop(from);

  for (auto itM = from.begin(); itM != from.end();) {
    const auto next = std::next(itM);
    CTextLine* m = AsLine(*itM);
    if (!m) {
      itM = next;
      continue;
    }
    auto itc = to.begin();
    bool placed = false;
    for (auto ith = std::next(itc); ith != to.end(); ++ith) {
      const float o = OverlapHeight(*m, **itc);
      const float u = OverlapHeight(*m, **ith);
      if (o > 0) {
        JoinInto(*m, u > o ? **ith : **itc);
      } else if (u > 0) {
        JoinInto(*m, **ith);
      } else if (m->m_fY < Bottom(**itc)) {
        to.splice(itc, from, itM);
      } else if (m->m_fY < Bottom(**ith)) {
        to.splice(ith, from, itM);
      } else {
        itc = ith;
        continue;
      }
      placed = true;
      break;
    }
    if (!placed) {  // c is the target's last line
      if (OverlapHeight(*m, **itc) > 0)
        JoinInto(*m, **itc);
      else if (m->m_fY < Bottom(**itc))
        to.splice(itc, from, itM);
      else
        to.splice(to.end(), from, itM);
    }
    itM = next;
  }
}

void BuildGaps(CTextLine& block, float width) {
  TextList& columns = block.m_lstTextLines;
  if (columns.empty()) return;
  for (CGapBox* gap : block.m_vecGaps) delete gap;
  block.m_vecGaps.clear();
  columns.sort([](const CTextBase* a, const CTextBase* b) { return a->m_fX < b->m_fX; });

  AppendGap(block, -10.0f, columns.front()->m_fX + 10.0f);
  auto itP = columns.begin();
  for (auto itC = std::next(itP); itC != columns.end();) {
    const float d = (*itC)->m_fX - Right(**itP);
    CTextLine* p = AsLine(*itP);
    CTextLine* c = AsLine(*itC);
    if (d <= 1.0f && p && c) {
      MergeColumnLines(*c, *p);
      SetBox(*p, UnionBox(BoxOf(*c), BoxOf(*p)));
      delete c;
      itC = columns.erase(itC);
    } else {
      AppendGap(block, Right(**itP), d);
      itP = itC++;
    }
  }
  const float trailing = width - Right(**itP) + 100.0f;
  AppendGap(block, Right(**itP), trailing < 0 ? 0.0f : trailing);
}

}  // namespace layout
