// The page capture pipeline: one PDF page into one page model. The page is parsed once
// into a display list; the capture devices play that list.

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

#include "capture/FontMap.h"
#include "capture/GraphicsPass.h"
#include "capture/LineAssembly.h"
#include "capture/SpanPage.h"
#include "capture/TextCaptureDevice.h"
#include "capture/TextPage.h"
#include "driver/OutputKind.h"
#include "layout/LayoutAnalysis.h"
#include "pdf/MuInterface.h"
#include "pdf/PageGuard.h"
#include "pdf/PageRecording.h"

namespace {

// Engine frame: plays the list through the text capture device. Errors inside the play
// are absorbed: whatever was captured before them stays.
void PlayText(fz_context* ctx, fz_display_list* list, capture::StyleSheet& sheet, capture::SpanPage& spans,
              capture::GlyphNameState& glyphNames, fz_cookie* cookie) {
  fz_device* dev = capture::NewTextCaptureDevice(ctx, sheet, spans, glyphNames);
  if (!dev) return;
  fz_try(ctx) {
    fz_run_display_list(ctx, list, dev, fz_identity, fz_infinite_rect, cookie);
    fz_close_device(ctx, dev);
  }
  fz_always(ctx) { fz_drop_device(ctx, dev); }
  fz_catch(ctx) {}
}

}  // namespace

void CMuInterface::AnalyzeLayout() {
  switch (m_nOutputKind) {
    case KIND_POWERPOINT:
    case KIND_EXCEL:
      AnalyzeSlideLayout(*m_pTextPage);
      break;
    case KIND_TEXT:
      AnalyzeTextLayout(*m_pTextPage);
      break;
    case KIND_WORD:
      if (m_nWordMode == 1 || m_nWordMode == 2) AnalyzeTextLayout(*m_pTextPage);
      break;
    default:
      break;
  }
}

nsPDFData::CTextPage* CMuInterface::LoadPage(int n) {
  if (!m_pDocument) return nullptr;
  ReplacePageModel();
  fz_cookie* cookie = m_pGuard->BeginPage();
  fz_page* page = n >= 1 ? LoadEnginePage(m_pContext, m_pDocument, n - 1) : nullptr;
  fz_rect bound{};
  fz_display_list* list = page && !m_pGuard->Tripped() ? RecordPage(m_pContext, page, bound, cookie) : nullptr;
  if (!list || m_pGuard->Tripped()) {
    if (!DropPoisonedPage(n))
      m_strLastError = "page " + std::to_string(n) + (page ? " could not be drawn" : " could not be loaded");
    fz_drop_display_list(m_pContext, list);
    fz_drop_page(m_pContext, page);
    delete m_pTextPage;
    m_pTextPage = nullptr;
    return nullptr;
  }
  m_pTextPage->m_fX = bound.x0;
  m_pTextPage->m_fY = bound.y0;
  m_pTextPage->m_fWidth = bound.x1 - bound.x0;
  m_pTextPage->m_fHeight = bound.y1 - bound.y0;

  capture::StyleSheet sheet;
  capture::SpanPage spans;
  spans.m_mediaBox = capture::Rect{bound.x0, bound.y0, bound.x1, bound.y1};
  PlayText(m_pContext, list, sheet, spans, m_glyphNames, cookie);
  if (!m_pGuard->Tripped()) {
    capture::AssembleLines(*m_pTextPage, spans, m_pFontMap.get());
    AnalyzeLayout();
    m_pTextPage->m_fWidth = bound.x1;
    m_pTextPage->m_fHeight = bound.y1;
    if (capture::GraphicsPassRuns(m_nOutputKind))
      capture::RunGraphicsPass(m_pContext, list, bound, page, *m_pTextPage, m_nOutputKind, cookie);
  }

  sheet.Release(m_pContext);
  fz_drop_display_list(m_pContext, list);
  fz_drop_page(m_pContext, page);
  // Pages are converted once, in order: cached fonts and images of earlier pages would only
  // make memory grow with the page count.
  fz_empty_store(m_pContext);
  if (DropPoisonedPage(n)) return nullptr;
  return m_pTextPage;
}

bool CMuInterface::DropPoisonedPage(int n) {
  const CPageGuard::Trip trip = m_pGuard->EndPage();
  if (trip == CPageGuard::Trip::None) return false;
  m_strLastError = "page " + std::to_string(n) +
                   (trip == CPageGuard::Trip::Time ? " ran out of time" : " ran out of memory");
  delete m_pTextPage;
  m_pTextPage = nullptr;
  return true;
}
