#pragma once
// Page finishing: the last tidying of a page's captured paths and pictures before links
// and export. Tiny and page-covering paths go, complex drawings become pictures, paths
// lying on a picture are absorbed by it, and a page with too much graphics becomes one
// whole-page picture.

namespace nsPDFData {
class CTextPage;
}

namespace capture {

// Works on page.m_vecPaths and page.m_lstImages (boxes in points) in place; on return the
// paths are in drawing order and so are the pictures (when they were tidied). Never fails.
void FinishPage(nsPDFData::CTextPage& page);

}  // namespace capture
