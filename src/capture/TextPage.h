#pragma once
// The page model: one PDF page as words in lines, vector paths, pictures and floating
// lines. Units are points in the displayed page (rotation applied), origin top-left,
// y down. Every object is owned by exactly one container; deleting a page frees all.

#include <cstdint>
#include <list>
#include <string>
#include <vector>

namespace nsPDFData {

// Polymorphic base of words, lines and pages; lists of text objects hold these.
class CTextBase {
 public:
  CTextBase() = default;
  CTextBase(const CTextBase&) = delete;
  CTextBase& operator=(const CTextBase&) = delete;
  virtual ~CTextBase() = default;

  int32_t m_nType = 0;   // 4 on pages, 1 on lines; nothing decides by it
  float m_fX = 0;        // left, points
  float m_fY = 0;        // top, points
  float m_fWidth = 0;    // points
  float m_fHeight = 0;   // points
};

using TextList = std::list<CTextBase*>;  // doubly linked: the layout passes splice nodes

// One run of non-space characters sharing one text style.
class CTextWord : public CTextBase {
 public:
  ~CTextWord() override = default;

  std::wstring m_strText;      // never empty, never contains a space
  std::wstring m_strFontName;  // output font name after the font map
  double m_dFontSize = 0;      // points; the capture never stores less than 5
  bool m_bBold = false;
  bool m_bItalic = false;      // italic or oblique
  std::wstring m_strFontFace;  // second name from the font map
  int32_t m_nLinkType = -1;    // -1 none, 1 web address, 2 e-mail address, 3 page of this document
  std::wstring m_strLinkTarget;  // address, e-mail address without scheme, or 1-based page number
  double m_dRed = 0;           // text colour, fraction 0..1, composited over white
  double m_dGreen = 0;
  double m_dBlue = 0;
  double m_dAlpha = 1.0;       // the capture sets 255.0
  int32_t m_nOrder = 0;        // index of the word's span among the page's non-blank spans
};

// Horizontal white space between the columns of a block, built by the layout analysis.
struct CGapBox {
  float m_fX = 0;       // left, points
  float m_fY = 0;       // top, points
  float m_fWidth = 0;   // points
  float m_fHeight = 0;  // points
};

// A text line, and also the container of columns (in a block) and lines (in a column).
class CTextLine : public CTextBase {
 public:
  CTextLine() { m_nType = 1; }
  ~CTextLine() override;

  TextList m_lstTextWords;           // words of a text line, left to right as captured
  TextList m_lstTextLines;           // columns of a block, text lines of a column
  std::vector<CGapBox*> m_vecGaps;   // gaps between a block's columns; owned
  uint8_t m_bColumn = 1;             // 1 on the column level, 0 on blocks and text lines
  int32_t m_nOrder = 0;              // content order: the first word's m_nOrder
  uint8_t m_bHasLink = 0;            // 1 when a word of this line received a link
};

// One straight or cubic segment of a captured path.
struct CPathSeg {
  float m_fX0 = 0, m_fY0 = 0;    // start point, points
  float m_fX1 = 0, m_fY1 = 0;    // end point, points
  float m_fCX1 = 0, m_fCY1 = 0;  // first Bezier control point; the start point on lines
  float m_fCX2 = 0, m_fCY2 = 0;  // second Bezier control point; the start point on lines
  double m_dRed = 0, m_dGreen = 0, m_dBlue = 0;  // stroke colour 0..255, composited over white
  double m_dStrokeAlpha = 0;     // 255.0 when stroked, 0.0 otherwise
  float m_fLineWidth = 1.0f;     // stroke width in user-space units
  float m_fX = 0, m_fY = 0, m_fWidth = 0, m_fHeight = 0;  // box, points; set on thin-rectangle lines
  uint8_t m_bCurve = 0;          // cubic Bezier
  uint8_t m_bStroked = 0;
  int32_t m_nDash = 0;           // dash style code 0..4; 0 solid
};

// One captured subpath with its paint.
struct CPathObj {
  CPathObj() = default;
  CPathObj(const CPathObj&) = delete;
  CPathObj& operator=(const CPathObj&) = delete;
  ~CPathObj();

  std::vector<CPathSeg*> m_vecSegs;  // segments in drawing order; owned
  double m_dRed = 0, m_dGreen = 0, m_dBlue = 0;  // fill colour 0..255, composited over white
  double m_dFillAlpha = 1.0;         // 255.0 when filled, 0.0 when not
  uint8_t m_bFilled = 1;
  float m_fX = 0, m_fY = 0, m_fWidth = 0, m_fHeight = 0;  // box, points
  float m_afTransform[6] = {1, 0, 0, 1, 1, 1};  // not set by the capture
  int32_t m_nOrder = 0;              // drawing order, shared numbering with pictures
  int32_t m_nLinkType = -1;          // not set by the capture
  std::wstring m_strLinkTarget;      // not set by the capture
};

// One picture region.
struct CImageObj {
  CImageObj() = default;
  CImageObj(const CImageObj&) = delete;
  CImageObj& operator=(const CImageObj&) = delete;
  ~CImageObj() { delete[] m_pData; }

  float m_fPixWidth = 0;         // points at capture; pixel size of the stored picture after export
  float m_fPixHeight = 0;
  int32_t m_nDataSize = 0;       // bytes in m_pData
  uint8_t* m_pData = nullptr;    // cropped RGB pixels, then the JPEG file bytes; owned
  float m_fX = 0, m_fY = 0, m_fWidth = 0, m_fHeight = 0;  // points at capture, 96-dpi pixels after export
  float m_afTransform[6] = {1, 0, 0, 1, 1, 1};  // not set by the capture
  int32_t m_nOrder = 0;          // drawing order; 1 for the whole-page picture
  int32_t m_nLinkType = -1;      // link codes as for words
  std::wstring m_strLinkTarget;
};

// A text line placed by its own box and transform (rotated text, drop capitals).
struct CFloatText {
  CFloatText() = default;
  CFloatText(const CFloatText&) = delete;
  CFloatText& operator=(const CFloatText&) = delete;
  ~CFloatText() { delete m_pLine; }

  CTextLine* m_pLine = nullptr;  // owned
  float m_fX = 0, m_fY = 0, m_fWidth = 0, m_fHeight = 0;  // union of its words, points
  float m_afTransform[6] = {1, 0, 0, 1, 1, 1};  // a b c d e f
};

class CTextPage : public CTextBase {
 public:
  CTextPage() { m_nType = 4; }
  ~CTextPage() override;

  TextList m_lstTextLines;                 // blocks, each a CTextLine tree
  std::vector<CPathObj*> m_vecPaths;       // owned
  std::list<CImageObj*> m_lstImages;       // owned
  std::vector<CFloatText*> m_vecFloatTexts;  // owned
  std::wstring m_strPageImage;             // page image path; only for page-image output
};

}  // namespace nsPDFData
