#pragma once
// Picture export: each picture of a page is cut out of the page's 96-dpi raster and
// encoded as JPEG, ready for the presentation writer.

namespace nsPDFData {
class CTextPage;
struct CImageObj;
}  // namespace nsPDFData

namespace capture {

// Crops `picture` (box in points) out of `pageBitmap` (packed RGB rows, 3 bytes per pixel,
// m_fPixWidth x m_fPixHeight pixels) and encodes the crop. On success the picture holds the
// JPEG bytes, its pixel size and its box in raster pixels. An empty crop (the picture lies
// off the raster, or the bitmap is unusable) keeps the box in points; it and a failed
// encoding leave no data. Returns whether the picture now holds a JPEG.
bool ExportPicture(nsPDFData::CImageObj& picture, const nsPDFData::CImageObj& pageBitmap);

// Exports every picture of page.m_lstImages in list order. Never fails as a whole: pictures
// without data are the ones the writer leaves out.
void ExportPictures(nsPDFData::CTextPage& page, const nsPDFData::CImageObj& pageBitmap);

}  // namespace capture
