#include "layout/MergeDuplicateWords.h"

#include <cstddef>
#include <iterator>
#include <string>
#include <vector>

#include "layout/LayoutBoxes.h"

namespace layout {

using nsPDFData::CTextBase;
using nsPDFData::CTextLine;
using nsPDFData::TextList;

namespace {

const std::wstring& TextOf(CTextBase* node) {
  static const std::wstring empty;
  const nsPDFData::CTextWord* word = AsWord(node);
  return word ? word->m_strText : empty;
}

// The first text line of the first column of a block, or null.
CTextLine* FirstTextLine(CTextLine& block) {
  if (block.m_lstTextLines.empty()) return nullptr;
  CTextLine* column = AsLine(block.m_lstTextLines.front());
  if (!column || column->m_lstTextLines.empty()) return nullptr;
  return AsLine(column->m_lstTextLines.front());
}

}  // namespace

bool MergeDuplicateWords(CTextLine& p, CTextLine& c) {
  // Decide on a pool of references first, so that a failed test leaves both lines untouched.
  std::vector<CTextBase*> pool(p.m_lstTextWords.begin(), p.m_lstTextWords.end());
  pool.insert(pool.end(), c.m_lstTextWords.begin(), c.m_lstTextWords.end());
  const std::size_t count = pool.size();
  std::vector<bool> taken(count, false);
  std::vector<bool> dropped(count, false);
  std::vector<std::size_t> kept;  // pool indices in the order they were kept
  kept.reserve(count);

  std::vector<std::size_t> matches;
  for (std::size_t r = 0; r < count; ++r) {
    if (taken[r]) continue;
    taken[r] = true;  // R leaves the pool
    const std::wstring& text = TextOf(pool[r]);
    matches.clear();
    for (std::size_t i = r + 1; i < count; ++i)
      if (!taken[i] && TextOf(pool[i]) == text) matches.push_back(i);

    if (matches.empty()) {
      if (kept.size() < 2) return false;
      kept.push_back(r);
      continue;
    }
    std::size_t partner = matches.back();
    if (matches.size() > 1) {
      const CBox boxR = BoxOf(*pool[r]);
      float best = -4095.0f;
      for (std::size_t m : matches) {
        const float width = IntersectBox(boxR, BoxOf(*pool[m])).m_fWidth;
        if (width > best) {
          best = width;
          partner = m;
        }
      }
    }
    taken[partner] = true;
    const bool keepPartner = pool[partner]->m_fX < pool[r]->m_fX;
    kept.push_back(keepPartner ? partner : r);
    dropped[keepPartner ? r : partner] = true;
  }

  // Relink: every word node into one list, then the kept ones out in kept order.
  std::vector<TextList::iterator> nodes;
  nodes.reserve(count);
  for (auto it = p.m_lstTextWords.begin(); it != p.m_lstTextWords.end(); ++it) nodes.push_back(it);
  for (auto it = c.m_lstTextWords.begin(); it != c.m_lstTextWords.end(); ++it) nodes.push_back(it);
  TextList all;
  all.splice(all.end(), p.m_lstTextWords);
  all.splice(all.end(), c.m_lstTextWords);  // list iterators stay valid across splices
  TextList survivors;
  for (std::size_t k : kept) survivors.splice(survivors.end(), all, nodes[k]);
  for (std::size_t i = 0; i < count; ++i)
    if (dropped[i]) delete pool[i];
  all.clear();  // now only the dropped words' nodes, already destroyed
  survivors.sort([](const CTextBase* a, const CTextBase* b) { return a->m_fX < b->m_fX; });
  p.m_lstTextWords.splice(p.m_lstTextWords.end(), survivors);
  return true;
}

bool MergeDuplicateBlockWords(CTextLine& p, CTextLine& c) {
  CTextLine* lineP = FirstTextLine(p);
  CTextLine* lineC = FirstTextLine(c);
  if (!lineP || !lineC) return false;
  return MergeDuplicateWords(*lineP, *lineC);
}

}  // namespace layout
