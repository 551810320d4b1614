#pragma once
// One slide: the shape tree built from an analysed page model, back to front (paths and
// pictures by drawing order, then floating lines, then the page's text by block and
// column), the slide part around it and the slide's relationship part.

#include <string>
#include <vector>

#include "pptx/EmuScale.h"
#include "pptx/MediaPart.h"
#include "pptx/SlideRel.h"

namespace nsPDFData {
class CTextPage;
}  // namespace nsPDFData

struct CDrawOrderEntry;

class CSlideWriter {
 public:
  // `shapeId` and `pictureCount` are the package-wide shape and picture counters: they are
  // never reset between slides.
  CSlideWriter(const CEmuScale& scale, int& shapeId, int& pictureCount)
      : m_scale(scale), m_nShapeId(shapeId), m_nPictureCount(pictureCount) {}
  CSlideWriter(const CSlideWriter&) = delete;
  CSlideWriter& operator=(const CSlideWriter&) = delete;

  // Appends the shapes of `page` to the shape tree and their relationships to the list.
  // Never fails.
  void AddPage(const nsPDFData::CTextPage& page);

  // ppt/slides/slideN.xml around the shapes added so far.
  std::wstring BuildSlidePart() const;
  // ppt/slides/_rels/slideN.xml.rels: the layout at rId1, then the k-th record at rId(k + 1).
  std::wstring BuildSlideRels() const;

  // The slide's relationship list; shape writers append to it while they write.
  SlideRelList& Relationships() { return m_vecRels; }
  // The media files the slide's pictures refer to, in picture-number order; the caller
  // stores them beside the slide.
  const std::vector<CMediaPart>& Media() const { return m_vecMedia; }

 private:
  // A freeform takes the counter's current value as its id (a path without segments uses
  // it up without a shape). A picture increments the shape and picture counters first and
  // takes their new values; a picture without data is skipped and takes neither.
  void AddDrawing(const CDrawOrderEntry& entry);
  // A text box takes the counter's current value as its id, then the counter moves on.
  int TakeTextBoxId() { return m_nShapeId++; }

  const CEmuScale m_scale;     // the package's length scale
  int& m_nShapeId;             // package-wide shape-id counter
  int& m_nPictureCount;        // package-wide picture counter; names the media parts
  SlideRelList m_vecRels;      // relationships of this slide, in the order appended
  std::wstring m_strShapes;    // the shapes' XML, in production order
  std::vector<CMediaPart> m_vecMedia;  // media files of the slide's pictures
};
