#include "layout/MergeBlocksByGaps.h"

#include "layout/BuildGaps.h"
#include "layout/LayoutBoxes.h"

namespace layout {

using nsPDFData::CGapBox;
using nsPDFData::CTextBase;
using nsPDFData::CTextLine;
using nsPDFData::TextList;

namespace {

// Gaps that only touch do not overlap here: the slide keeps text boxes apart.
bool Overlaps(const CBox& a, const CBox& b) { return IntersectBox(a, b).m_fWidth > 0; }

// True when every gap of `cover`, in order, overlaps exactly one gap of `covered`.
bool CoversOneToOne(const std::vector<CGapBox*>& cover, const std::vector<CGapBox*>& covered) {
  for (const CGapBox* gap : cover) {
    int overlapping = 0;
    for (const CGapBox* other : covered)
      if (Overlaps(*gap, *other) && ++overlapping > 1) return false;
    if (overlapping == 0) return false;
  }
  return true;
}

CTextLine* FirstOverlappingColumn(const CTextLine& column, CTextLine& block) {
  for (CTextBase* node : block.m_lstTextLines) {
    CTextLine* candidate = AsLine(node);
    if (candidate && IntersectBox(BoxOf(column), BoxOf(*candidate)).m_fWidth > 0) return candidate;
  }
  return nullptr;
}

// Moves the lines of every column of `source` into the first column of `target` that it
// overlaps. A column that overlaps none, and still holds lines, becomes a column of
// `target` of its own so that its text stays on the slide. `source` is left without
// text for its caller to destroy.
void MoveColumns(CTextLine& source, CTextLine& target) {
  TextList orphans;
  TextList& columns = source.m_lstTextLines;
  for (auto it = columns.begin(); it != columns.end();) {
    CTextLine* column = AsLine(*it);
    CTextLine* host = column ? FirstOverlappingColumn(*column, target) : nullptr;
    if (host) {
      host->m_lstTextLines.splice(host->m_lstTextLines.end(), column->m_lstTextLines);
      delete column;
      it = columns.erase(it);
    } else if (column && !column->m_lstTextLines.empty()) {
      auto moved = it++;
      orphans.splice(orphans.end(), columns, moved);
    } else {
      ++it;
    }
  }
  target.m_lstTextLines.splice(target.m_lstTextLines.end(), orphans);
}

// Merges the block at `source` into `target`, erases the source node and returns the
// node after it.
TextList::iterator MergeBlockInto(TextList& blocks, TextList::iterator source, CTextLine& target, float width) {
  if (CTextLine* block = AsLine(*source)) MoveColumns(*block, target);
  delete *source;
  auto next = blocks.erase(source);
  RecomputeBox(target);
  BuildGaps(target, width);
  return next;
}

}  // namespace

void MergeBlocksByGaps(nsPDFData::CTextPage& page) {
  TextList& blocks = page.m_lstTextLines;
  for (CTextBase* node : blocks)
    if (CTextLine* block = AsLine(node)) BuildGaps(*block, page.m_fWidth);
  blocks.sort([](const CTextBase* a, const CTextBase* b) { return a->m_fY < b->m_fY; });
  if (blocks.empty()) return;
  auto upper = blocks.begin();
  auto lower = std::next(upper);
  while (lower != blocks.end()) {
    CTextLine* p = AsLine(*upper);
    CTextLine* c = AsLine(*lower);
    if (!p || !c) {
      upper = lower++;
    } else if (p->m_vecGaps.size() < c->m_vecGaps.size()) {
      // The band with fewer gaps goes into the one with more.
      if (CoversOneToOne(c->m_vecGaps, p->m_vecGaps)) MergeBlockInto(blocks, upper, *c, page.m_fWidth);
      upper = lower++;
    } else if (CoversOneToOne(p->m_vecGaps, c->m_vecGaps)) {
      lower = MergeBlockInto(blocks, lower, *p, page.m_fWidth);
    } else {
      upper = lower++;
    }
  }
}

}  // namespace layout
