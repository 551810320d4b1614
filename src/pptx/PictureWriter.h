#pragma once
// Picture shapes of a slide: one per exported picture region, stretched over its box and
// backed by a JPEG media part of the package.

#include <string>

#include "pptx/EmuScale.h"
#include "pptx/SlideRel.h"

namespace nsPDFData {
struct CImageObj;
}  // namespace nsPDFData

// True when the picture holds JPEG bytes. A picture whose export found nothing to crop
// has none (and its box is still in points): it is not written at all. Never fails.
bool HasPictureData(const nsPDFData::CImageObj& picture);

class CPictureWriter {
 public:
  // `rels` is the slide's relationship list.
  CPictureWriter(SlideRelList& rels, const CEmuScale& scale) : m_rels(rels), m_scale(scale) {}

  // The p:pic element of `picture` with id `shapeId`, shown from media part
  // imageK.jpeg (K = `pictureNumber`). Appends the picture's link relationship, when it
  // has a link, and then its image relationship. The box is read in pixels of the
  // 96-dpi page raster. Never fails; the caller stores the media bytes.
  std::wstring WritePicture(const nsPDFData::CImageObj& picture, int shapeId, int pictureNumber);

 private:
  // The click element of a linked picture after appending its relationship; empty for a
  // picture without a link.
  std::wstring LinkClick(const nsPDFData::CImageObj& picture);

  SlideRelList& m_rels;     // the slide's relationships
  const CEmuScale m_scale;  // the package's length scale
};
