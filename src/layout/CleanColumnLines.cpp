#include "layout/CleanColumnLines.h"

#include <algorithm>
#include <iterator>

#include "layout/FindContainedText.h"
#include "layout/LayoutBoxes.h"
#include "layout/MergeDuplicateWords.h"

namespace layout {

using nsPDFData::CTextBase;
using nsPDFData::CTextLine;
using nsPDFData::TextList;

namespace {

// The column's box from its remaining lines' stored boxes, then the block's boxes from words.
void RefreshBoxes(CTextLine& block, CTextLine& column) {
  bool first = true;
  CBox box;
  for (const CTextBase* line : column.m_lstTextLines) {
    box = first ? BoxOf(*line) : UnionBox(box, BoxOf(*line));
    first = false;
  }
  if (!first) SetBox(column, box);
  RecomputeBox(block);
}

void CleanColumn(nsPDFData::CTextPage& page, CTextLine& block, CTextLine& column) {
  TextList& lines = column.m_lstTextLines;
  lines.sort([](const CTextBase* a, const CTextBase* b) { return a->m_fY < b->m_fY; });
  if (lines.empty()) return;

  auto itP = lines.begin();
  for (auto itC = std::next(itP); itC != lines.end();) {
    CTextLine* p = AsLine(*itP);
    CTextLine* c = AsLine(*itC);
    if (!p || !c) {
      itP = itC++;
      continue;
    }
    const CBox boxP = BoxOf(*p), boxC = BoxOf(*c);
    const CBox overlap = IntersectBox(boxP, boxC);
    const float mh = std::min(boxP.m_fHeight, boxC.m_fHeight);
    const float mw = std::min(boxP.m_fWidth, boxC.m_fWidth);

    if (overlap.m_fHeight <= 0.2 * mh) {  // separate lines
      itP = itC++;
      continue;
    }

    bool floatP = false;  // which line leaves the flow when the lines collide
    if (overlap.m_fHeight <= 0.8 * mh) {
      floatP = boxC.m_fWidth > boxP.m_fWidth;  // a partial overlap: the narrower one goes
    } else {
      if (overlap.m_fWidth > 0.5 * mw) {
        if (MergeDuplicateWords(*p, *c)) {
          delete c;
          itC = lines.erase(itC);
          continue;
        }
        const EContainedResult contained = FindContainedText(*p, *c);
        if (contained == EContainedResult::DropC) {
          delete c;
          itC = lines.erase(itC);
          continue;
        }
        if (contained == EContainedResult::DropP) {
          delete p;
          lines.erase(itP);
          itP = itC++;
          continue;
        }
      }
      const bool j = overlap.m_fWidth > 0.1 * mw;
      const bool k = static_cast<double>(std::max(boxP.m_fHeight, boxC.m_fHeight)) / mh > 2.5;
      if (!(j && (k || overlap.m_fWidth > 0.3 * mw))) {
        // Pieces of one line: C's words follow P's.
        p->m_lstTextWords.splice(p->m_lstTextWords.end(), c->m_lstTextWords);
        SetBox(*p, UnionBox(boxC, boxP));
        delete c;
        itC = lines.erase(itC);
        continue;
      }
      floatP = k ? boxC.m_fHeight < boxP.m_fHeight : boxC.m_fWidth > boxP.m_fWidth;
    }

    if (floatP) {
      FloatLine(page, p);
      lines.erase(itP);
      itP = itC++;
    } else {
      FloatLine(page, c);
      itC = lines.erase(itC);
    }
    RefreshBoxes(block, column);
  }
}

}  // namespace

void CleanColumnLines(nsPDFData::CTextPage& page) {
  for (CTextBase* blockNode : page.m_lstTextLines) {
    CTextLine* block = AsLine(blockNode);
    if (!block) continue;
    for (CTextBase* columnNode : block->m_lstTextLines)
      if (CTextLine* column = AsLine(columnNode)) CleanColumn(page, *block, *column);
  }
}

}  // namespace layout
