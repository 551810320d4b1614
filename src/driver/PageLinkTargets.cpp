#include "driver/PageLinkTargets.h"

#include <string>
#include <typeinfo>

#include "capture/TextPage.h"

namespace {

using nsPDFData::CTextBase;
using nsPDFData::CTextLine;
using nsPDFData::CTextWord;

constexpr int32_t kPageLink = 3;

// The slide that shows PDF page `target` first, or 0 when the job does not convert it.
int32_t SlideOf(const std::wstring& target, const std::vector<int32_t>& pages) {
  int32_t page = 0;
  for (wchar_t c : target) {
    if (c < L'0' || c > L'9' || page > 1000000) return 0;
    page = page * 10 + (c - L'0');
  }
  for (size_t i = 0; i < pages.size(); ++i)
    if (pages[i] == page) return static_cast<int32_t>(i + 1);
  return 0;
}

template <typename Linked>
void Retarget(Linked& item, const std::vector<int32_t>& pages) {
  if (item.m_nLinkType != kPageLink) return;
  const int32_t slide = SlideOf(item.m_strLinkTarget, pages);
  if (slide > 0) {
    item.m_strLinkTarget = std::to_wstring(slide);
  } else {
    item.m_nLinkType = -1;
    item.m_strLinkTarget.clear();
  }
}

void RetargetTree(CTextBase* node, const std::vector<int32_t>& pages) {
  if (!node) return;
  if (typeid(*node) == typeid(CTextWord)) {
    Retarget(static_cast<CTextWord&>(*node), pages);
    return;
  }
  if (typeid(*node) != typeid(CTextLine)) return;
  auto& line = static_cast<CTextLine&>(*node);
  for (CTextBase* word : line.m_lstTextWords) RetargetTree(word, pages);
  for (CTextBase* child : line.m_lstTextLines) RetargetTree(child, pages);
}

}  // namespace

void RetargetPageLinks(nsPDFData::CTextPage& page, const std::vector<int32_t>& pages) {
  for (CTextBase* block : page.m_lstTextLines) RetargetTree(block, pages);
  for (auto* floating : page.m_vecFloatTexts) RetargetTree(floating->m_pLine, pages);
  for (auto* image : page.m_lstImages) Retarget(*image, pages);
}
