// Page rendering for the preview: one page drawn as printed into a bottom-up BGRA raster.

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

#include "capture/CaptureDrawDevice.h"
#include "capture/CaptureRecords.h"
#include "capture/TextPage.h"
#include "pdf/MuInterface.h"
#include "pdf/PageGuard.h"
#include "pdf/PageRecording.h"

namespace {

// Engine frame: an opaque white BGR pixmap with alpha over `box`, or null.
fz_pixmap* NewPreviewPixmap(fz_context* ctx, fz_irect box) {
  fz_pixmap* pix = nullptr;
  fz_var(pix);
  fz_try(ctx) {
    pix = fz_new_pixmap_with_bbox(ctx, fz_device_bgr(ctx), box, nullptr, 1);
    fz_clear_pixmap_with_value(ctx, pix, 255);
  }
  fz_catch(ctx) {
    fz_drop_pixmap(ctx, pix);
    return nullptr;
  }
  return pix;
}

// Engine frame: plays the list through `dev` with `ctm` and closes the device; false when
// the play itself threw.
bool PlayPreview(fz_context* ctx, fz_display_list* list, fz_device* dev, fz_matrix ctm, fz_irect box,
                 fz_cookie* cookie) {
  bool ok = true;
  fz_var(ok);
  fz_try(ctx) {
    fz_run_display_list(ctx, list, dev, ctm, fz_rect_from_irect(box), cookie);
    fz_close_device(ctx, dev);
  }
  fz_catch(ctx) { ok = false; }
  return ok;
}

// Copies the pixmap bottom row first into a new record, forcing alpha to 255. Null when
// the copy cannot be allocated.
nsPDFData::CImageObj* CopyBottomUp(fz_context* ctx, fz_pixmap* pix) {
  const int width = fz_pixmap_width(ctx, pix);
  const int height = fz_pixmap_height(ctx, pix);
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  auto* data = new (std::nothrow) uint8_t[rowBytes * static_cast<size_t>(height)];
  if (!data) return nullptr;
  auto* image = new (std::nothrow) nsPDFData::CImageObj;
  if (!image) {
    delete[] data;
    return nullptr;
  }
  const unsigned char* samples = fz_pixmap_samples(ctx, pix);
  const ptrdiff_t stride = fz_pixmap_stride(ctx, pix);
  for (int r = 0; r < height; ++r) {
    uint8_t* out = data + static_cast<size_t>(height - 1 - r) * rowBytes;
    std::memcpy(out, samples + r * stride, rowBytes);
    for (size_t a = 3; a < rowBytes; a += 4) out[a] = 255;
  }
  image->m_pData = data;
  image->m_nDataSize = static_cast<int32_t>(rowBytes * static_cast<size_t>(height));
  image->m_fPixWidth = static_cast<float>(width);
  image->m_fPixHeight = static_cast<float>(height);
  return image;
}

// The raster box of `bound` at `zoom` and the pixels it holds; 0 when it is empty.
int64_t RasterBox(fz_rect bound, float zoom, fz_irect& box) {
  box = fz_round_rect(fz_transform_rect(bound, fz_scale(zoom, zoom)));
  const int64_t width = static_cast<int64_t>(box.x1) - box.x0;
  const int64_t height = static_cast<int64_t>(box.y1) - box.y0;
  return width > 0 && height > 0 ? width * height : 0;
}

// The cap also keeps the record's 32-bit byte count in range.
static_assert(CMuInterface::kPreviewMaxPixels <= std::numeric_limits<int32_t>::max() / 4);

}  // namespace

nsPDFData::CImageObj* CMuInterface::RenderPage(int n, float dpi) {
  if (!m_pDocument || n < 1 || !(dpi > 0) || dpi > 100000) return nullptr;
  fz_cookie* cookie = m_pGuard->BeginPage();
  fz_page* page = LoadEnginePage(m_pContext, m_pDocument, n - 1);
  fz_rect bound{};
  fz_display_list* list = page && !m_pGuard->Tripped() ? RecordPage(m_pContext, page, bound, cookie) : nullptr;
  const float zoom = dpi / 72.0f;
  fz_irect box{};
  const int64_t pixels = list ? RasterBox(bound, zoom, box) : 0;
  const bool tooLarge = pixels > kPreviewMaxPixels;
  const bool fits = pixels > 0 && !tooLarge;
  fz_pixmap* pix = fits && !m_pGuard->Tripped() ? NewPreviewPixmap(m_pContext, box) : nullptr;
  nsPDFData::CImageObj* image = nullptr;
  if (pix && !m_pGuard->Tripped()) {
    // Recording off: the device paints text, images and paths exactly as the engine does,
    // and nothing a capture counts is touched.
    capture::CaptureRecords unused;
    fz_device* dev = capture::NewCaptureDrawDevice(m_pContext, box, pix, false, unused);
    if (dev) {
      const bool played = PlayPreview(m_pContext, list, dev, fz_scale(zoom, zoom), box, cookie);
      const bool failed = capture::CaptureDrawFailed(dev);
      fz_drop_device(m_pContext, dev);
      if (played && !failed && !m_pGuard->Tripped()) image = CopyBottomUp(m_pContext, pix);
    }
  }
  const CPageGuard::Trip trip = m_pGuard->EndPage();
  if (trip != CPageGuard::Trip::None) {
    delete image;
    image = nullptr;
    m_strLastError = "page " + std::to_string(n) +
                     (trip == CPageGuard::Trip::Time ? " ran out of time" : " ran out of memory");
  } else if (!image) {
    m_strLastError = "page " + std::to_string(n) +
                     (!page ? " could not be loaded" : tooLarge ? " is too large to draw" : " could not be drawn");
  }
  fz_drop_pixmap(m_pContext, pix);
  fz_drop_display_list(m_pContext, list);
  fz_drop_page(m_pContext, page);
  return image;
}
