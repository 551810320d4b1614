#pragma once
// Text boxes of a slide: one per column of the analysed page and one per floating line.
// A box lies exactly over its text, does not wrap and grows with its text; every text line
// becomes a paragraph whose indent and fixed line spacing reproduce the line's position.

#include <string>

#include "pptx/EmuScale.h"
#include "pptx/SlideRel.h"

namespace nsPDFData {
class CTextLine;
}  // namespace nsPDFData

// Box of a text box in points.
struct CTextBoxRect {
  float m_fX = 0, m_fY = 0, m_fWidth = 0, m_fHeight = 0;
};

// Rotation in whole degrees of a floating line from the first four numbers a, b, c, d of
// its transform, snapped to 0, 90, 180 or 270 within 2 degrees. A degenerate transform
// gives 0. Never fails.
int FloatTextAngle(const float transform[6]);

class CTextBoxWriter {
 public:
  CTextBoxWriter(SlideRelList& rels, const CEmuScale& scale) : m_rels(rels), m_scale(scale) {}

  // The p:sp element of one text box with id `shapeId`. For a column (`floating` false,
  // `angle` 0) `container` is the column and its text lines become paragraphs; a column
  // without lines gets one empty paragraph so the text body stays valid. For a floating
  // line `container` is the line itself, written as one paragraph. Never fails.
  std::wstring WriteTextBox(int angle, const nsPDFData::CTextLine& container, int shapeId, bool floating,
                            const CTextBoxRect& box);

 private:
  std::wstring ShapeHeader(int angle, int shapeId, const CTextBoxRect& box) const;
  std::wstring ColumnParagraphs(const nsPDFData::CTextLine& column);
  std::wstring FloatParagraph(const nsPDFData::CTextLine& line, int angle);
  std::wstring LineParagraph(const std::wstring& indent, float spacing, const std::wstring& runs) const;
  std::wstring SpacerParagraph() const;

  SlideRelList& m_rels;       // the slide's relationships
  const CEmuScale m_scale;    // the package's length scale
};
