#pragma once
// Page links name PDF page numbers; on slides they must name the slide that shows that
// page, which differs whenever a job converts a range or reorders pages.

#include <cstdint>
#include <vector>

namespace nsPDFData {
class CTextPage;
}

// Rewrites every page link (kind 3) of the page's words, floating words and pictures from
// a PDF page number to the 1-based position of that page's first slide in `pages` (the
// job's page list). A link to a page the job does not convert is removed; the text stays.
// Never fails.
void RetargetPageLinks(nsPDFData::CTextPage& page, const std::vector<int32_t>& pages);
