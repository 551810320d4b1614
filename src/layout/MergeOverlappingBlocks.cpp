#include "layout/MergeOverlappingBlocks.h"

#include <algorithm>
#include <iterator>

#include "layout/LayoutBoxes.h"

namespace layout {

using nsPDFData::CTextBase;
using nsPDFData::CTextLine;

void MergeOverlappingBlocks(nsPDFData::CTextPage& page) {
  auto& blocks = page.m_lstTextLines;
  blocks.sort([](const CTextBase* a, const CTextBase* b) { return a->m_fY < b->m_fY; });
  if (blocks.empty()) return;
  auto itP = blocks.begin();
  for (auto itC = std::next(itP); itC != blocks.end();) {
    CTextLine* p = AsLine(*itP);
    CTextLine* c = AsLine(*itC);
    const float overlap = IntersectBox(BoxOf(**itP), BoxOf(**itC)).m_fHeight;
    const float smaller = std::min((*itP)->m_fHeight, (*itC)->m_fHeight);
    if (p && c && overlap > 0 && overlap > 0.21 * smaller) {
      p->m_lstTextLines.splice(p->m_lstTextLines.end(), c->m_lstTextLines);
      SetBox(*p, UnionBox(BoxOf(*c), BoxOf(*p)));
      delete c;
      itC = blocks.erase(itC);
    } else {
      itP = itC++;
    }
  }
}

}  // namespace layout
