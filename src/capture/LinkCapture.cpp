#include "capture/LinkCapture.h"

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

#include <algorithm>
#include <string_view>

#include "capture/TextPage.h"
#include "platform/Strings.h"

namespace {

using nsPDFData::CTextLine;
using nsPDFData::CTextWord;

// ---- Reading the annotations (engine frames hold plain data only) ----

// One annotation as the engine frame reads it.
struct RawLink {
  fz_rect rect;            // display space
  int kind;                // LinkKind; LINK_NONE when the annotation is no usable link
  int page;                // 0-based target page of LINK_PAGE
  const char* uri;         // LINK_WEB: the /URI string's bytes, borrowed from the document
  size_t uriLength;
};

// Engine frame: the page's /Annots array, its length and the transform from PDF space to
// display space; null when the page has none or cannot be read.
pdf_obj* PageAnnots(fz_context* ctx, pdf_page* page, fz_matrix& ctm, int& count) {
  pdf_obj* annots = nullptr;
  count = 0;
  fz_var(annots);
  fz_try(ctx) {
    pdf_page_transform(ctx, page, nullptr, &ctm);
    annots = pdf_dict_get(ctx, page->obj, PDF_NAME(Annots));
    count = pdf_array_len(ctx, annots);
  }
  fz_catch(ctx) {
    count = 0;
    return nullptr;
  }
  return annots;
}

// Engine helper (throws): the 0-based page a go-to destination names (explicit or named),
// or -1 when it names none of this document.
int DestinationPage(fz_context* ctx, pdf_document* doc, pdf_obj* dest) {
  char* uri = pdf_parse_link_dest(ctx, doc, dest);
  int page = -1;
  fz_var(page);
  fz_try(ctx) {
    if (uri) page = pdf_resolve_link(ctx, doc, uri, nullptr, nullptr);
    if (page >= pdf_count_pages(ctx, doc)) page = -1;
  }
  fz_always(ctx) { fz_free(ctx, uri); }
  fz_catch(ctx) { fz_rethrow(ctx); }
  return page;
}

// Engine helper (throws): fills `out` from one annotation. A destination takes precedence
// over the action, as in the engine's own link list; only go-to and URI actions count.
void ReadLinkOrThrow(fz_context* ctx, pdf_document* doc, pdf_obj* annot, fz_matrix ctm, RawLink& out) {
  out.kind = LINK_NONE;
  if (!pdf_name_eq(ctx, pdf_dict_get(ctx, annot, PDF_NAME(Subtype)), PDF_NAME(Link))) return;
  pdf_obj* rect = pdf_dict_get(ctx, annot, PDF_NAME(Rect));
  if (!pdf_is_array(ctx, rect)) return;
  out.rect = fz_transform_rect(pdf_to_rect(ctx, rect), ctm);
  pdf_obj* dest = pdf_dict_get(ctx, annot, PDF_NAME(Dest));
  if (!dest) {
    pdf_obj* action = pdf_dict_get(ctx, annot, PDF_NAME(A));
    pdf_obj* type = pdf_dict_get(ctx, action, PDF_NAME(S));
    if (pdf_name_eq(ctx, type, PDF_NAME(URI))) {
      pdf_obj* uri = pdf_dict_get(ctx, action, PDF_NAME(URI));
      if (!pdf_is_string(ctx, uri)) return;
      out.uri = pdf_to_str_buf(ctx, uri);
      out.uriLength = pdf_to_str_len(ctx, uri);
      out.kind = LINK_WEB;
      return;
    }
    if (!pdf_name_eq(ctx, type, PDF_NAME(GoTo))) return;
    dest = pdf_dict_get(ctx, action, PDF_NAME(D));
  }
  out.page = DestinationPage(ctx, doc, dest);
  if (out.page >= 0) out.kind = LINK_PAGE;
}

// Engine frame: the link of annotation `index`; false when it gives none or cannot be read.
bool ReadAnnotLink(fz_context* ctx, pdf_document* doc, pdf_obj* annots, int index, fz_matrix ctm, RawLink& out) {
  out = RawLink{fz_empty_rect, LINK_NONE, -1, nullptr, 0};
  fz_try(ctx) { ReadLinkOrThrow(ctx, doc, pdf_array_get(ctx, annots, index), ctm, out); }
  fz_catch(ctx) { return false; }
  return out.kind != LINK_NONE;
}

// ---- Decoding the URI bytes ----

std::wstring Utf16BeToWide(std::string_view bytes) {
  std::wstring out;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto unit = static_cast<uint32_t>(static_cast<uint8_t>(bytes[i]) << 8 | static_cast<uint8_t>(bytes[i + 1]));
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    if (high && i + 3 < bytes.size()) {
      const auto low = static_cast<uint32_t>(static_cast<uint8_t>(bytes[i + 2]) << 8 | static_cast<uint8_t>(bytes[i + 3]));
      if (low >= 0xDC00 && low <= 0xDFFF) {
        out += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    out += (unit >= 0xD800 && unit <= 0xDFFF) ? L'\xFFFD' : static_cast<wchar_t>(unit);
  }
  return out;
}

std::wstring DecodeUri(std::string_view bytes) {
  if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') return Utf16BeToWide(bytes.substr(2));
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  return platform::Utf8ToWide(bytes);
}

// ---- Attaching records to the page model ----

bool Overlaps(const nsPDFData::CTextBase& box, const CLinkRecord& link) {
  const float width = std::min(box.m_fX + box.m_fWidth, link.m_fX + link.m_fWidth) - std::max(box.m_fX, link.m_fX);
  const float height = std::min(box.m_fY + box.m_fHeight, link.m_fY + link.m_fHeight) - std::max(box.m_fY, link.m_fY);
  return width > 0 && height > 0;
}

// The word lies horizontally within the link and the link covers 0.9 of its height: a
// link box much lower than the text belongs to the line above or below.
bool CoversWord(const CTextWord& word, const CLinkRecord& link) {
  if (word.m_fX < link.m_fX || word.m_fX + word.m_fWidth > link.m_fX + link.m_fWidth) return false;
  const float height =
      std::min(word.m_fY + word.m_fHeight, link.m_fY + link.m_fHeight) - std::max(word.m_fY, link.m_fY);
  return height >= 0.9 * word.m_fHeight;
}

// Gives `link` to the words of `line` it covers; true when one took it.
bool LinkWords(CTextLine& line, CLinkRecord& link) {
  bool taken = false;
  for (nsPDFData::CTextBase* base : line.m_lstTextWords) {
    auto* word = dynamic_cast<CTextWord*>(base);
    if (!word || !CoversWord(*word, link)) continue;
    word->m_nLinkType = link.m_nKind;
    word->m_strLinkTarget = link.m_strTarget;
    link.m_bUsed = true;
    taken = true;
  }
  return taken;
}

void LinkTextLines(nsPDFData::CTextPage& page, CLinkRecord& link) {
  for (nsPDFData::CTextBase* blockBase : page.m_lstTextLines) {
    auto* block = dynamic_cast<CTextLine*>(blockBase);
    if (!block) continue;
    for (nsPDFData::CTextBase* columnBase : block->m_lstTextLines) {
      auto* column = dynamic_cast<CTextLine*>(columnBase);
      if (!column) continue;
      for (nsPDFData::CTextBase* lineBase : column->m_lstTextLines) {
        auto* line = dynamic_cast<CTextLine*>(lineBase);
        if (line && Overlaps(*line, link) && LinkWords(*line, link)) line->m_bHasLink = 1;
      }
    }
  }
}

void LinkFloatingLines(nsPDFData::CTextPage& page, CLinkRecord& link) {
  for (nsPDFData::CFloatText* floating : page.m_vecFloatTexts)
    if (floating && floating->m_pLine && Overlaps(*floating->m_pLine, link)) LinkWords(*floating->m_pLine, link);
}

bool Inside(const nsPDFData::CImageObj& picture, const CLinkRecord& link) {
  return picture.m_fX >= link.m_fX && picture.m_fY >= link.m_fY &&
         picture.m_fX + picture.m_fWidth <= link.m_fX + link.m_fWidth &&
         picture.m_fY + picture.m_fHeight <= link.m_fY + link.m_fHeight;
}

}  // namespace

CLinkRecord UriLinkRecord(const std::string& uri) {
  CLinkRecord record;
  record.m_strTarget = DecodeUri(uri);
  static constexpr std::wstring_view kMailto = L"mailto:";
  const size_t at = record.m_strTarget.find(kMailto);
  if (at != std::wstring::npos) {
    record.m_nKind = LINK_EMAIL;
    record.m_strTarget.erase(0, at + kMailto.size());
  }
  return record;
}

void AttachLinks(nsPDFData::CTextPage& page, std::vector<CLinkRecord>& links) {
  for (CLinkRecord& link : links) LinkTextLines(page, link);
  for (CLinkRecord& link : links) LinkFloatingLines(page, link);
  for (const CLinkRecord& link : links) {
    if (link.m_bUsed) continue;
    for (nsPDFData::CImageObj* picture : page.m_lstImages) {
      if (!picture || !Inside(*picture, link)) continue;
      picture->m_nLinkType = link.m_nKind;
      picture->m_strLinkTarget = link.m_strTarget;
    }
  }
}

void CaptureLinks(fz_context* ctx, fz_page* enginePage, nsPDFData::CTextPage& page) {
  pdf_page* pdfPage = ctx && enginePage ? pdf_page_from_fz_page(ctx, enginePage) : nullptr;
  if (!pdfPage) return;
  fz_matrix ctm = fz_identity;
  int count = 0;
  pdf_obj* annots = PageAnnots(ctx, pdfPage, ctm, count);
  try {
    std::vector<CLinkRecord> links;
    for (int i = 0; i < count; ++i) {
      RawLink raw;
      if (!ReadAnnotLink(ctx, pdfPage->doc, annots, i, ctm, raw)) continue;
      // The URI bytes are copied before the next engine call can touch the document.
      CLinkRecord record = raw.kind == LINK_WEB ? UriLinkRecord(std::string(raw.uri, raw.uriLength)) : CLinkRecord{};
      if (raw.kind == LINK_PAGE) {
        record.m_nKind = LINK_PAGE;
        record.m_strTarget = std::to_wstring(raw.page + 1);
      }
      record.m_fX = raw.rect.x0;
      record.m_fY = raw.rect.y0;
      record.m_fWidth = raw.rect.x1 - raw.rect.x0;
      record.m_fHeight = raw.rect.y1 - raw.rect.y0;
      links.push_back(std::move(record));
    }
    AttachLinks(page, links);
  } catch (...) {
    // Out of memory while copying targets: the page goes on without its links.
  }
}
