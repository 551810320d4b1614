#pragma once
// Link capture: the page's link annotations attached to the words they cover, or failing
// that to the pictures inside them, so that the presentation writer can make hyperlinks.
// Runs after the layout analysis (lines are final) and before picture export (picture
// boxes still in points).

#include <cstdint>
#include <string>
#include <vector>

struct fz_context;
struct fz_page;

namespace nsPDFData {
class CTextPage;
}

// Link kinds, the codes stored in m_nLinkType of words and pictures.
enum LinkKind : int32_t {
  LINK_NONE = -1,
  LINK_WEB = 1,    // target: the address as the document gives it
  LINK_EMAIL = 2,  // target: the address after "mailto:"
  LINK_PAGE = 3,   // target: the 1-based page number of this document, decimal
};

// One usable link of the page, kept only while the page's links are attached.
struct CLinkRecord {
  float m_fX = 0, m_fY = 0, m_fWidth = 0, m_fHeight = 0;  // link rectangle, points, display space
  int32_t m_nKind = LINK_WEB;  // LinkKind other than LINK_NONE
  std::wstring m_strTarget;    // the text stored in m_strLinkTarget
  bool m_bUsed = false;        // given to at least one word
};

// The link of a link annotation whose action is `uri` (the /URI string's bytes): kind
// e-mail with the text after the first "mailto:" when it holds one, else kind web with the
// whole text. Bytes are read as UTF-8 (invalid sequences become U+FFFD); a text string that
// starts with a UTF-16 byte-order mark is decoded as UTF-16BE. Never fails.
CLinkRecord UriLinkRecord(const std::string& uri);

// Attaches `links` in order to the page: a word of a text line or floating line takes a
// link that spans it horizontally and covers at least 0.9 of its height (the line then
// gets m_bHasLink, floating lines excepted); a link that no word took goes to every
// picture lying wholly inside it. When several links qualify, the last one wins. Marks
// the records that words took. Never fails.
void AttachLinks(nsPDFData::CTextPage& page, std::vector<CLinkRecord>& links);

// Reads the link annotations of `enginePage` in the page's annotation order (links to a
// page of this document, URI links; named actions, launches and links into other files
// are ignored) and attaches them with AttachLinks. `enginePage` must be a page of a PDF
// document; anything else has no links. An annotation the engine cannot read is skipped.
// Never fails.
void CaptureLinks(fz_context* ctx, fz_page* enginePage, nsPDFData::CTextPage& page);
