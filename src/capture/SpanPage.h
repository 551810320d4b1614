#pragma once
// What the text capture device builds from a page's text-drawing calls: characters with
// boxes in spans of one style, spans in lines, lines in blocks. Lives for one page capture.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct fz_font;
struct fz_context;

namespace capture {

struct Rect {
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  bool IsEmpty() const { return x0 >= x1 || y0 >= y1; }
};

// Grows `box` to include `other`; an empty box takes `other` as it is.
void UnionRect(Rect& box, const Rect& other, bool& boxSet);

// One text style of a page: font, size, writing mode, colour and transform.
struct TextStyle {
  int32_t m_nId = 0;            // sheet-wide number, in creation order
  fz_font* m_pFont = nullptr;   // engine font; the sheet holds a reference
  float m_fSize = 0;            // font size in device space
  int32_t m_nWritingMode = 0;   // 0 horizontal, 1 vertical
  int32_t m_nScript = 0;        // always 0
  int32_t m_nNewSpan = 0;       // 1: the next character of this style starts a span
  double m_dRed = 0, m_dGreen = 0, m_dBlue = 0;  // fractions 0..1; red -2 for non-filled text
  float m_afTransform[6] = {1, 0, 0, 1, 0, 0};   // last filled text's transform; identity otherwise
  std::string m_strFontName;    // the engine's name of the font, at most 31 bytes
  bool m_bFakeBold = false;     // the engine simulates bold for this font
  bool m_bFakeItalic = false;   // the engine simulates italic for this font
};

// The styles of one page capture, newest first. Drops its font references on Release.
class StyleSheet {
 public:
  StyleSheet() = default;
  StyleSheet(const StyleSheet&) = delete;
  StyleSheet& operator=(const StyleSheet&) = delete;
  ~StyleSheet();

  // The first style matching font, size, writing mode and colour (red below -1 matches any
  // colour), or a new one inserted at the head. Never fails.
  TextStyle* Lookup(fz_context* ctx, fz_font* font, float size, int writingMode, double red,
                    double green, double blue);
  // Drops the font references; must run while the engine context is alive.
  void Release(fz_context* ctx);

 private:
  std::vector<std::unique_ptr<TextStyle>> m_vecStyles;  // newest first
  int32_t m_nNextId = 0;
};

struct TextChar {
  Rect m_box;
  int32_t m_nUnicode = 0;
};

struct TextSpan {
  Rect m_box;
  bool m_bBoxSet = false;
  int32_t m_nOrder = -1;        // order among the page's non-blank spans; -1 for spaces only
  std::vector<TextChar> m_vecChars;
  TextStyle* m_pStyle = nullptr;
};

struct SpanLine {
  Rect m_box;
  bool m_bBoxSet = false;
  std::vector<TextSpan> m_vecSpans;
};

struct SpanBlock {
  Rect m_box;
  bool m_bBoxSet = false;
  std::vector<SpanLine> m_vecLines;
};

struct SpanPage {
  Rect m_mediaBox;              // the page bound
  std::vector<SpanBlock> m_vecBlocks;
  int32_t m_nNextOrder = 0;     // the page's span order counter
};

}  // namespace capture
