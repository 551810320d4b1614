#pragma once
// Engine frames shared by the capture and the preview: loading one page and recording its
// drawing operations into a display list that the devices then play.

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

// The engine page for `index` (0-based), or null.
fz_page* LoadEnginePage(fz_context* ctx, pdf_document* doc, int index);

// Bounds the page (points, rotation applied) into `bound` and records its drawing operations
// with the identity transform; null on failure. When the page's contents fail part way (a
// broken resource, forms nested too deep), what was recorded before the error is kept, as a
// viewer shows it; running out of memory or time fails the page.
fz_display_list* RecordPage(fz_context* ctx, fz_page* page, fz_rect& bound, fz_cookie* cookie);
