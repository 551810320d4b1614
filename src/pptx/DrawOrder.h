#pragma once
// The back-to-front order of a slide's paths and pictures: white fills without an outline
// go first (they are page backgrounds that would hide what was drawn before them), every
// other path and picture follows by the order in which the page drew it.

#include <cstdint>
#include <vector>

namespace nsPDFData {
class CTextPage;
struct CImageObj;
struct CPathObj;
}  // namespace nsPDFData

struct CDrawOrderEntry {
  int32_t m_nZ = 0;                            // sort key
  bool m_bIsPath = false;                      // true for a path, false for a picture
  const nsPDFData::CImageObj* m_pImage = nullptr;  // the picture, or null
  const nsPDFData::CPathObj* m_pPath = nullptr;    // the path, or null
};

// True for a filled path whose first segment is not stroked and whose fill channels all
// truncate to 255. A path without segments is not white-filled. Never fails.
bool IsWhiteFillWithoutOutline(const nsPDFData::CPathObj& path);

// One entry per path (key 1 when white-filled without outline, else its drawing order)
// and per picture (its drawing order), sorted by key. Entries with equal keys keep the
// order paths-then-pictures in which they were listed. Never fails.
std::vector<CDrawOrderEntry> BuildDrawOrder(const nsPDFData::CTextPage& page);
