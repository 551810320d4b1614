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

// The block whose stored boxes are what RecomputeBox would leave on it. Merging into it
// only widens its boxes by what moves in, so that a page of many one-line bands merging
// into one block costs one walk over its words, not one per merge.
struct CFreshBlock {
  const CTextLine* m_pBlock = nullptr;
};

// RecomputeBox ignores the stored box of a column once it holds lines, so a column that
// is empty now cannot be widened from its stored box.
bool HasEmptyColumn(const CTextLine& block) {
  for (const CTextBase* node : block.m_lstTextLines) {
    const auto* column = AsLine(node);
    if (column && column->m_lstTextLines.empty() && column->m_lstTextWords.empty()) return true;
  }
  return false;
}

// Widens a fresh column and its block by the boxes of lines about to move into the column.
void WidenByLines(const TextList& lines, CTextLine& column, CTextLine& block) {
  for (CTextBase* node : lines)
    if (CTextLine* line = AsLine(node)) {
      const CBox box = RecomputeBox(*line);
      SetBox(column, UnionBox(BoxOf(column), box));
      SetBox(block, UnionBox(BoxOf(block), box));
    }
}

// Moves the lines of every column of `source` into the first column of `target` that it
// overlaps. A column that overlaps none, and still holds lines, becomes a column of
// `target` of its own so that its text stays on the slide. `source` is left without
// text for its caller to destroy. A fresh target has its boxes widened as it goes.
void MoveColumns(CTextLine& source, CTextLine& target, bool fresh) {
  TextList orphans;
  TextList& columns = source.m_lstTextLines;
  for (auto it = columns.begin(); it != columns.end();) {
    CTextLine* column = AsLine(*it);
    CTextLine* host = column ? FirstOverlappingColumn(*column, target) : nullptr;
    if (host) {
      if (fresh) WidenByLines(column->m_lstTextLines, *host, target);
      host->m_lstTextLines.splice(host->m_lstTextLines.end(), column->m_lstTextLines);
      delete column;
      it = columns.erase(it);
    } else if (column && !column->m_lstTextLines.empty()) {
      if (fresh) SetBox(target, UnionBox(BoxOf(target), RecomputeBox(*column)));
      auto moved = it++;
      orphans.splice(orphans.end(), columns, moved);
    } else {
      ++it;
    }
  }
  target.m_lstTextLines.splice(target.m_lstTextLines.end(), orphans);
}

// Merges the block at `source` into `target`, erases the source node and returns the
// node after it. The target's boxes are refreshed, then its gaps rebuilt.
TextList::iterator MergeBlockInto(TextList& blocks, TextList::iterator source, CTextLine& target, float width,
                                  CFreshBlock& fresh) {
  const bool targetFresh = fresh.m_pBlock == &target && !HasEmptyColumn(target);
  if (CTextLine* block = AsLine(*source)) MoveColumns(*block, target, targetFresh);
  if (fresh.m_pBlock == *source) fresh.m_pBlock = nullptr;
  delete *source;
  auto next = blocks.erase(source);
  if (!targetFresh) RecomputeBox(target);
  fresh.m_pBlock = &target;
  BuildGaps(target, width);  // fusing columns keeps the boxes fresh: a fused column takes the union
  return next;
}

}  // namespace

void MergeBlocksByGaps(nsPDFData::CTextPage& page) {
  TextList& blocks = page.m_lstTextLines;
  for (CTextBase* node : blocks)
    if (CTextLine* block = AsLine(node)) BuildGaps(*block, page.m_fWidth);
  blocks.sort([](const CTextBase* a, const CTextBase* b) { return a->m_fY < b->m_fY; });
  if (blocks.empty()) return;
  CFreshBlock fresh;
  auto upper = blocks.begin();
  auto lower = std::next(upper);
  while (lower != blocks.end()) {
    CTextLine* p = AsLine(*upper);
    CTextLine* c = AsLine(*lower);
    if (!p || !c) {
      upper = lower++;
    } else if (p->m_vecGaps.size() < c->m_vecGaps.size()) {
      // The band with fewer gaps goes into the one with more.
      if (CoversOneToOne(c->m_vecGaps, p->m_vecGaps)) MergeBlockInto(blocks, upper, *c, page.m_fWidth, fresh);
      upper = lower++;
    } else if (CoversOneToOne(p->m_vecGaps, c->m_vecGaps)) {
      lower = MergeBlockInto(blocks, lower, *p, page.m_fWidth, fresh);
    } else {
      upper = lower++;
    }
  }
}

}  // namespace layout
