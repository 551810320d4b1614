#pragma once
// The graphics pass: the second play of a page's display list. It records the page's
// vector paths and pictures into the page model, tidies them, attaches the page's links
// and cuts the pictures out of the page's 96-dpi raster as JPEG data.

#include <mupdf/fitz.h>


namespace nsPDFData {
class CTextPage;
struct CImageObj;
}  // namespace nsPDFData

namespace capture {

// Whether pages loaded for `outputKind` go through the graphics pass. Text output does
// not (nothing the pass makes reaches a text file); page images take their own route.
bool GraphicsPassRuns(int outputKind);

// The raster's pixel box for a page bound: the bound at 96 dots per inch, rounded outward.
fz_irect GraphicsRasterBox(fz_rect pageBound);

// Plays `list` through a recording device that paints nothing and appends the page's
// paths, then its pictures, to `page` (points). False when the device failed part-way;
// what was recorded before the failure is still converted.
bool CaptureGraphics(fz_context* ctx, fz_display_list* list, fz_rect pageBound, nsPDFData::CTextPage& page,
                     fz_cookie* cookie = nullptr);

// The page raster for picture export: RGB with alpha over GraphicsRasterBox, white before
// drawing, ordinary text left out. The caller drops it. Null on failure.
fz_pixmap* NewGraphicsRaster(fz_context* ctx, fz_display_list* list, fz_rect pageBound, fz_cookie* cookie = nullptr);

// Fills `bitmap` with the raster as packed RGB rows (3 bytes a pixel, no padding) and sets
// its pixel size and byte size. False (bitmap untouched) when memory runs out or the size
// does not fit the record.
bool MakePageBitmap(fz_context* ctx, fz_pixmap* raster, nsPDFData::CImageObj& bitmap);

// The whole pass over a recorded page: paths and pictures into `page`, page finishing,
// links from `enginePage`, and (except for the spreadsheet kinds) the pictures' JPEG data.
// A page without pictures is never rasterised. Engine errors end here; the page keeps
// whatever was captured. Every play passes `cookie` (may be null); once it is aborted the
// pass stops and the caller is expected to drop the page.
void RunGraphicsPass(fz_context* ctx, fz_display_list* list, fz_rect pageBound, fz_page* enginePage,
                     nsPDFData::CTextPage& page, int outputKind, fz_cookie* cookie = nullptr);

}  // namespace capture
