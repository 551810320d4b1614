#include "pptx/DrawOrder.h"

#include <algorithm>

#include "capture/TextPage.h"

bool IsWhiteFillWithoutOutline(const nsPDFData::CPathObj& path) {
  if (!path.m_bFilled || path.m_vecSegs.empty() || !path.m_vecSegs.front()) return false;
  if (path.m_vecSegs.front()->m_bStroked) return false;
  // Truncated to an integer: 255.9 counts as white, 254.99 does not.
  const auto isFull = [](double channel) { return channel >= 255 && channel < 256; };
  return isFull(path.m_dRed) && isFull(path.m_dGreen) && isFull(path.m_dBlue);
}

std::vector<CDrawOrderEntry> BuildDrawOrder(const nsPDFData::CTextPage& page) {
  std::vector<CDrawOrderEntry> entries;
  entries.reserve(page.m_vecPaths.size() + page.m_lstImages.size());
  for (const nsPDFData::CPathObj* path : page.m_vecPaths) {
    if (!path) continue;
    CDrawOrderEntry entry;
    entry.m_nZ = IsWhiteFillWithoutOutline(*path) ? 1 : path->m_nOrder;
    entry.m_bIsPath = true;
    entry.m_pPath = path;
    entries.push_back(entry);
  }
  for (const nsPDFData::CImageObj* image : page.m_lstImages) {
    if (!image) continue;
    CDrawOrderEntry entry;
    entry.m_nZ = image->m_nOrder;
    entry.m_pImage = image;
    entries.push_back(entry);
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const CDrawOrderEntry& a, const CDrawOrderEntry& b) { return a.m_nZ < b.m_nZ; });
  return entries;
}
