#pragma once
// Hand-made paths and pictures for the slide shape tests: straight and curved segments,
// paths with a box and a paint, and pictures holding a real (tiny) JPEG made with libjpeg.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>

#include <jpeglib.h>

#include "capture/TextPage.h"

namespace pptx_test {

using nsPDFData::CImageObj;
using nsPDFData::CPathObj;
using nsPDFData::CPathSeg;

// A straight segment: both control points repeat the start point.
inline CPathSeg* NewLineSeg(float x0, float y0, float x1, float y1) {
  auto* seg = new CPathSeg;
  seg->m_fX0 = seg->m_fCX1 = seg->m_fCX2 = x0;
  seg->m_fY0 = seg->m_fCY1 = seg->m_fCY2 = y0;
  seg->m_fX1 = x1;
  seg->m_fY1 = y1;
  return seg;
}

inline CPathSeg* NewCurveSeg(float x0, float y0, float cx1, float cy1, float cx2, float cy2, float x1, float y1) {
  CPathSeg* seg = NewLineSeg(x0, y0, x1, y1);
  seg->m_fCX1 = cx1;
  seg->m_fCY1 = cy1;
  seg->m_fCX2 = cx2;
  seg->m_fCY2 = cy2;
  seg->m_bCurve = 1;
  return seg;
}

// Marks the first segment stroked in `rgb` (0..255) at `width` with dash code `dash`.
inline void Stroke(CPathObj& path, double r, double g, double b, float width, int dash = 0) {
  CPathSeg& first = *path.m_vecSegs.front();
  first.m_bStroked = 1;
  first.m_dStrokeAlpha = 255;
  first.m_dRed = r;
  first.m_dGreen = g;
  first.m_dBlue = b;
  first.m_fLineWidth = width;
  first.m_nDash = dash;
}

// A path with box (x, y, width, height); unfilled (fill alpha 0) unless Fill is called.
inline CPathObj* NewPathObj(float x, float y, float width, float height, std::initializer_list<CPathSeg*> segs,
                            int order = 0) {
  auto* path = new CPathObj;
  path->m_fX = x;
  path->m_fY = y;
  path->m_fWidth = width;
  path->m_fHeight = height;
  path->m_bFilled = 0;
  path->m_dFillAlpha = 0;
  path->m_nOrder = order;
  for (CPathSeg* seg : segs) path->m_vecSegs.push_back(seg);
  return path;
}

inline void Fill(CPathObj& path, double r, double g, double b) {
  path.m_bFilled = 1;
  path.m_dFillAlpha = 255;
  path.m_dRed = r;
  path.m_dGreen = g;
  path.m_dBlue = b;
}

// The closed rectangle (x, y, w, h) drawn clockwise from its top-left corner.
inline CPathObj* NewRectPath(float x, float y, float w, float h, int order = 0) {
  return NewPathObj(x, y, w, h,
                    {NewLineSeg(x, y, x + w, y), NewLineSeg(x + w, y, x + w, y + h),
                     NewLineSeg(x + w, y + h, x, y + h), NewLineSeg(x, y + h, x, y)},
                    order);
}

// A baseline JPEG of one colour, encoded in memory.
inline std::vector<uint8_t> EncodeSolidJpeg(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 100, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
  for (int x = 0; x < width; ++x) {
    row[static_cast<size_t>(x) * 3] = r;
    row[static_cast<size_t>(x) * 3 + 1] = g;
    row[static_cast<size_t>(x) * 3 + 2] = b;
  }
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<uint8_t> bytes(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return bytes;
}

// An exported picture: box in 96-dpi pixels, holding `bytes` (no data when empty).
inline CImageObj* NewPicture(float x, float y, float width, float height, const std::vector<uint8_t>& bytes,
                             int order = 0) {
  auto* picture = new CImageObj;
  picture->m_fX = x;
  picture->m_fY = y;
  picture->m_fWidth = width;
  picture->m_fHeight = height;
  picture->m_nOrder = order;
  if (!bytes.empty()) {
    picture->m_pData = new uint8_t[bytes.size()];
    std::memcpy(picture->m_pData, bytes.data(), bytes.size());
    picture->m_nDataSize = static_cast<int32_t>(bytes.size());
  }
  return picture;
}

}  // namespace pptx_test
