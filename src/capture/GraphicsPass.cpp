#include "capture/GraphicsPass.h"

#include <mupdf/fitz.h>

#include <cstdint>
#include <limits>
#include <new>

#include "capture/CaptureDrawDevice.h"
#include "capture/CaptureRecords.h"
#include "capture/LinkCapture.h"
#include "capture/PageFinishing.h"
#include "capture/PictureExport.h"
#include "capture/TextPage.h"
#include "driver/OutputKind.h"

namespace capture {

namespace {

// Engine frame: plays the list through `dev` at 96 dpi over `box` and closes the device.
// Errors inside the play are absorbed by the engine; an error here ends the play.
void PlayAtRasterScale(fz_context* ctx, fz_display_list* list, fz_device* dev, fz_irect box, fz_cookie* cookie) {
  fz_try(ctx) {
    fz_run_display_list(ctx, list, dev, fz_scale(kRasterScale, kRasterScale), fz_rect_from_irect(box), cookie);
    fz_close_device(ctx, dev);
  }
  fz_catch(ctx) {}
}

// Engine frame: a white RGB pixmap with alpha over `box`, or null.
fz_pixmap* NewWhitePixmap(fz_context* ctx, fz_irect box) {
  fz_pixmap* pix = nullptr;
  fz_var(pix);
  fz_try(ctx) {
    pix = fz_new_pixmap_with_bbox(ctx, fz_device_rgb(ctx), box, nullptr, 1);
    fz_clear_pixmap_with_value(ctx, pix, 255);
  }
  fz_catch(ctx) {
    fz_drop_pixmap(ctx, pix);
    pix = nullptr;
  }
  return pix;
}

// The spreadsheet kinds keep pictures as boxes only.
bool ExportsPictures(int outputKind) { return outputKind != KIND_EXCEL && outputKind != KIND_CSV; }

// The page guard's watchdog raises the flag from its own thread.
bool Aborted(const fz_cookie* cookie) { return cookie && __atomic_load_n(&cookie->abort, __ATOMIC_RELAXED); }

}  // namespace

bool GraphicsPassRuns(int outputKind) { return outputKind != KIND_TEXT && outputKind != KIND_IMAGE; }

fz_irect GraphicsRasterBox(fz_rect pageBound) {
  return fz_round_rect(fz_transform_rect(pageBound, fz_scale(kRasterScale, kRasterScale)));
}

bool CaptureGraphics(fz_context* ctx, fz_display_list* list, fz_rect pageBound, nsPDFData::CTextPage& page,
                     fz_cookie* cookie) {
  CaptureRecords records;
  fz_device* dev = NewCaptureDrawDevice(ctx, GraphicsRasterBox(pageBound), nullptr, true, records);
  if (!dev) return false;
  PlayAtRasterScale(ctx, list, dev, GraphicsRasterBox(pageBound), cookie);
  const bool failed = CaptureDrawFailed(dev);
  fz_drop_device(ctx, dev);
  try {
    ConvertRecordedPaths(records, page);
    ConvertRecordedPictures(records, page);
  } catch (...) {
    return false;
  }
  return !failed;
}

fz_pixmap* NewGraphicsRaster(fz_context* ctx, fz_display_list* list, fz_rect pageBound, fz_cookie* cookie) {
  const fz_irect box = GraphicsRasterBox(pageBound);
  fz_pixmap* raster = NewWhitePixmap(ctx, box);
  if (!raster) return nullptr;
  // Recording on, so text stays out of the raster; the records themselves are not needed.
  CaptureRecords unused;
  fz_device* dev = NewCaptureDrawDevice(ctx, box, raster, true, unused);
  if (!dev) {
    fz_drop_pixmap(ctx, raster);
    return nullptr;
  }
  PlayAtRasterScale(ctx, list, dev, box, cookie);
  fz_drop_device(ctx, dev);
  return raster;
}

bool MakePageBitmap(fz_context* ctx, fz_pixmap* raster, nsPDFData::CImageObj& bitmap) {
  const int width = fz_pixmap_width(ctx, raster);
  const int height = fz_pixmap_height(ctx, raster);
  const int components = fz_pixmap_components(ctx, raster);
  const int64_t size = static_cast<int64_t>(width) * height * 3;
  if (width <= 0 || height <= 0 || components < 3 || size > std::numeric_limits<int32_t>::max()) return false;
  auto* data = new (std::nothrow) uint8_t[static_cast<size_t>(size)];
  if (!data) return false;
  const unsigned char* samples = fz_pixmap_samples(ctx, raster);
  const ptrdiff_t stride = fz_pixmap_stride(ctx, raster);
  uint8_t* out = data;
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = samples + y * stride;
    for (int x = 0; x < width; ++x, row += components, out += 3) {
      out[0] = row[0];
      out[1] = row[1];
      out[2] = row[2];
    }
  }
  delete[] bitmap.m_pData;
  bitmap.m_pData = data;
  bitmap.m_nDataSize = static_cast<int32_t>(size);
  bitmap.m_fPixWidth = static_cast<float>(width);
  bitmap.m_fPixHeight = static_cast<float>(height);
  return true;
}

void RunGraphicsPass(fz_context* ctx, fz_display_list* list, fz_rect pageBound, fz_page* enginePage,
                     nsPDFData::CTextPage& page, int outputKind, fz_cookie* cookie) {
  CaptureGraphics(ctx, list, pageBound, page, cookie);
  if (Aborted(cookie)) return;
  FinishPage(page);
  CaptureLinks(ctx, enginePage, page);
  if (!ExportsPictures(outputKind) || page.m_lstImages.empty()) return;
  fz_pixmap* raster = NewGraphicsRaster(ctx, list, pageBound, cookie);
  if (!raster) return;
  nsPDFData::CImageObj bitmap;
  const bool made = MakePageBitmap(ctx, raster, bitmap);
  // The bitmap is a copy: the raster's memory goes back before the pictures are encoded.
  fz_drop_pixmap(ctx, raster);
  if (made) ExportPictures(page, bitmap);
}

}  // namespace capture
