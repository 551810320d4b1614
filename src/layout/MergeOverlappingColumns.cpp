#include "layout/MergeOverlappingColumns.h"

#include <iterator>

#include "layout/LayoutBoxes.h"

namespace layout {

using nsPDFData::CTextBase;
using nsPDFData::CTextLine;

void MergeOverlappingColumns(CTextLine& block) {
  auto& columns = block.m_lstTextLines;
  columns.sort([](const CTextBase* a, const CTextBase* b) { return a->m_fX < b->m_fX; });
  if (columns.empty()) return;
  auto itP = columns.begin();
  for (auto itC = std::next(itP); itC != columns.end();) {
    CTextLine* p = AsLine(*itP);
    CTextLine* c = AsLine(*itC);
    if (p && c && IntersectBox(BoxOf(*p), BoxOf(*c)).m_fWidth > 0) {
      p->m_lstTextLines.splice(p->m_lstTextLines.end(), c->m_lstTextLines);
      SetBox(*p, UnionBox(BoxOf(*c), BoxOf(*p)));
      delete c;
      itC = columns.erase(itC);
    } else {
      itP = itC++;
    }
  }
}

}  // namespace layout
