#pragma once
// Tidying of a page's pictures before export: each picture is cut at the page's top and
// left edges and to the page's size, overlapping pictures of one horizontal band become one,
// and the list ends in drawing order.

namespace nsPDFData {
class CTextPage;
}

namespace capture {

// Rewrites page.m_lstImages in place (boxes in points). Deletes pictures that another
// picture absorbed and pictures left thinner than 0.1 points. Never fails.
void TidyPictures(nsPDFData::CTextPage& page);

}  // namespace capture
