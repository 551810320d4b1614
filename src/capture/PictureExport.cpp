#include "capture/PictureExport.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "capture/JpegEncoder.h"
#include "capture/TextPage.h"

namespace capture {

namespace {

using nsPDFData::CImageObj;

constexpr float kPixelsPerPoint = 1.3333334f;  // 96 / 72, as the raster was scaled

// A rectangle of raster pixels: columns left..right-1, rows top..bottom-1.
struct PixelRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// The bitmap's size in pixels when its data covers it; 0 x 0 otherwise, so that every
// crop from a bitmap we cannot read comes out empty.
void RasterSize(const CImageObj& bitmap, int32_t& width, int32_t& height) {
  width = height = 0;
  const float maxSide = float(std::numeric_limits<int32_t>::max() / 4);
  if (!(bitmap.m_fPixWidth >= 1 && bitmap.m_fPixWidth < maxSide)) return;
  if (!(bitmap.m_fPixHeight >= 1 && bitmap.m_fPixHeight < maxSide)) return;
  const auto w = int32_t(bitmap.m_fPixWidth);
  const auto h = int32_t(bitmap.m_fPixHeight);
  if (!bitmap.m_pData || bitmap.m_nDataSize < 0 || int64_t(w) * h * 3 > bitmap.m_nDataSize) return;
  width = w;
  height = h;
}

// A pixel coordinate clamped into 0..limit before it becomes an integer, so that boxes far
// off the page (or NaN) never overflow the conversion.
int32_t ClampPixel(float value, int32_t limit) {
  if (!(value > 0)) return 0;
  if (value >= float(limit)) return limit;
  return int32_t(value);
}

// The picture's box in raster pixels, rounded outward and clipped to the raster.
PixelRect CropRect(const CImageObj& picture, int32_t rasterWidth, int32_t rasterHeight) {
  PixelRect rect;
  rect.left = ClampPixel(std::trunc(picture.m_fX * kPixelsPerPoint), rasterWidth);
  rect.top = ClampPixel(std::trunc(picture.m_fY * kPixelsPerPoint), rasterHeight);
  rect.right = ClampPixel(std::ceil((picture.m_fX + picture.m_fWidth) * kPixelsPerPoint), rasterWidth);
  rect.bottom = ClampPixel(std::ceil((picture.m_fY + picture.m_fHeight) * kPixelsPerPoint), rasterHeight);
  return rect;
}

void DropData(CImageObj& picture) {
  delete[] picture.m_pData;
  picture.m_pData = nullptr;
  picture.m_nDataSize = 0;
}

// Copies the rectangle's pixels into the picture as packed RGB and moves its box into
// raster pixels.
void CopyCrop(CImageObj& picture, const CImageObj& bitmap, int32_t rasterWidth, const PixelRect& rect) {
  const size_t width = size_t(rect.right - rect.left);
  const size_t height = size_t(rect.bottom - rect.top);
  const size_t stride = width * 3;
  auto* pixels = new uint8_t[stride * height];
  for (size_t row = 0; row < height; ++row) {
    const size_t source = (size_t(rect.top) + row) * size_t(rasterWidth) + size_t(rect.left);
    std::memcpy(pixels + row * stride, bitmap.m_pData + source * 3, stride);
  }
  DropData(picture);
  picture.m_pData = pixels;
  picture.m_nDataSize = int32_t(stride * height);
  picture.m_fPixWidth = float(width);
  picture.m_fPixHeight = float(height);
  picture.m_fX = float(rect.left);
  picture.m_fY = float(rect.top);
  picture.m_fWidth = float(width);
  picture.m_fHeight = float(height);
}

}  // namespace

bool ExportPicture(CImageObj& picture, const CImageObj& pageBitmap) {
  int32_t rasterWidth = 0;
  int32_t rasterHeight = 0;
  RasterSize(pageBitmap, rasterWidth, rasterHeight);
  const PixelRect rect = CropRect(picture, rasterWidth, rasterHeight);
  if (rect.right - rect.left <= 0 || rect.bottom - rect.top <= 0) {
    DropData(picture);
    return false;
  }
  CopyCrop(picture, pageBitmap, rasterWidth, rect);
  // Raw pixels under a JPEG name would be a broken picture: a failed encoding keeps nothing.
  if (EncodeJpeg(picture)) return true;
  DropData(picture);
  return false;
}

void ExportPictures(nsPDFData::CTextPage& page, const CImageObj& pageBitmap) {
  for (CImageObj* picture : page.m_lstImages) ExportPicture(*picture, pageBitmap);
}

}  // namespace capture
