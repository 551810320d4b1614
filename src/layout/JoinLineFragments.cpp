#include "layout/JoinLineFragments.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>

#include "layout/FindContainedText.h"
#include "layout/LayoutBoxes.h"
#include "layout/MergeDuplicateWords.h"

namespace layout {

using nsPDFData::CTextBase;
using nsPDFData::CTextLine;
using nsPDFData::TextList;

namespace {

CTextLine* FirstColumn(CTextLine& block) {
  return block.m_lstTextLines.empty() ? nullptr : AsLine(block.m_lstTextLines.front());
}

CTextLine* FirstTextLine(CTextLine& block) {
  CTextLine* column = FirstColumn(block);
  if (!column || column->m_lstTextLines.empty()) return nullptr;
  return AsLine(column->m_lstTextLines.front());
}

// Content-order key: the first word of the first text line of the first column. A block
// without one (capture never makes it) sorts after every block with words.
int32_t OrderKey(CTextBase* node) {
  CTextLine* block = AsLine(node);
  CTextLine* line = block ? FirstTextLine(*block) : nullptr;
  const nsPDFData::CTextWord* word =
      line && !line->m_lstTextWords.empty() ? AsWord(line->m_lstTextWords.front()) : nullptr;
  return word ? word->m_nOrder : std::numeric_limits<int32_t>::max();
}

// Ratio of two heights; a zero divisor gives infinity (or NaN for 0/0, which compares false).
double Ratio(float numerator, float denominator) {
  return static_cast<double>(numerator) / static_cast<double>(denominator);
}

}  // namespace

void JoinLineFragments(nsPDFData::CTextPage& page) {
  TextList& blocks = page.m_lstTextLines;
  blocks.sort([](CTextBase* a, CTextBase* b) { return OrderKey(a) < OrderKey(b); });
  if (blocks.size() < 2) return;

  auto itP = blocks.begin();
  auto itC = std::next(itP);
  bool refresh = true;
  COrderRange rangeP;
  while (itC != blocks.end()) {
    CTextLine* p = AsLine(*itP);
    CTextLine* c = AsLine(*itC);
    if (!p || !c) {  // the page model holds only lines here; never touch anything else
      refresh = true;
      itP = itC++;
      continue;
    }
    if (refresh) {
      rangeP = GetOrderRange(*p);
      refresh = false;
    }
    const CBox boxP = BoxOf(*p), boxC = BoxOf(*c);
    const CBox overlap = IntersectBox(boxP, boxC);

    // Not on the same line.
    if (overlap.m_fHeight <= 0.8 * std::min(boxP.m_fHeight, boxC.m_fHeight)) {
      refresh = true;
      itP = itC++;
      continue;
    }
    if (MergeDuplicateBlockWords(*p, *c)) {
      delete c;
      itC = blocks.erase(itC);
      refresh = true;
      continue;
    }
    const EContainedResult contained = FindContainedBlockText(*p, *c);
    if (contained == EContainedResult::DropC) {
      delete c;
      itC = blocks.erase(itC);
      refresh = true;
      continue;
    }
    if (contained == EContainedResult::DropP) {
      delete p;
      blocks.erase(itP);
      refresh = true;
      itP = itC++;
      continue;
    }

    CTextLine* lineP = FirstTextLine(*p);
    CTextLine* lineC = FirstTextLine(*c);
    const float minWidth = std::min(boxP.m_fWidth, boxC.m_fWidth);
    const bool continues = lineP && lineC && overlap.m_fWidth < 0.2 * minWidth &&
                           overlap.m_fWidth < 10.0f && boxC.m_fX > boxP.m_fX &&
                           GetOrderRange(*c).m_nSmallest == rangeP.m_nLargest + 1;
    if (!continues) {
      refresh = true;
      itP = itC++;
      continue;
    }

    const float heightP = lineP->m_fHeight, heightC = lineC->m_fHeight;
    if (heightC < heightP && Ratio(heightP, heightC) > 2.5) {
      // An oversized initial: it leaves the flow and its block goes.
      FirstColumn(*p)->m_lstTextLines.pop_front();
      FloatLine(page, lineP);
      delete p;
      blocks.erase(itP);
      refresh = true;
      itP = itC++;
      continue;
    }
    if (heightC >= heightP && Ratio(heightC, heightP) > 2.5) {
      FirstColumn(*c)->m_lstTextLines.pop_front();
      FloatLine(page, lineC);
      delete c;
      itC = blocks.erase(itC);
      continue;
    }

    // Join: C's words follow P's; P, its column and its line take the union box.
    const int32_t largestC = GetOrderRange(*c).m_nLargest;
    lineP->m_lstTextWords.splice(lineP->m_lstTextWords.end(), lineC->m_lstTextWords);
    const CBox joined = UnionBox(BoxOf(*lineC), BoxOf(*lineP));
    SetBox(*lineP, joined);
    SetBox(*FirstColumn(*p), joined);
    SetBox(*p, joined);
    delete c;
    itC = blocks.erase(itC);
    rangeP.m_nLargest = largestC;
  }
}

}  // namespace layout
