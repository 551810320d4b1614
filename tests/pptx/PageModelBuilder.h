#pragma once
// Hand-made analysed page models for the presentation writer tests: words with font,
// size and colour, text lines, columns and blocks, floating lines, and a measuring hook
// with a known space width.

#include <initializer_list>
#include <string>

#include "capture/TextPage.h"
#include "driver/MeasureText.h"

namespace pptx_test {

using nsPDFData::CFloatText;
using nsPDFData::CTextLine;
using nsPDFData::CTextPage;
using nsPDFData::CTextWord;

struct WordSpec {
  const wchar_t* m_szText;
  float m_fX, m_fY, m_fWidth, m_fHeight;  // box, points
  double m_dFontSize = 12;
  const wchar_t* m_szFont = L"Fake";
  double m_adColor[3] = {0, 0, 0};        // fractions
};

inline CTextWord* NewWord(const WordSpec& wordSpec) {
  auto* word = new CTextWord;
  word->m_strText = wordSpec.m_szText;
  word->m_fX = wordSpec.m_fX;
  word->m_fY = wordSpec.m_fY;
  word->m_fWidth = wordSpec.m_fWidth;
  word->m_fHeight = wordSpec.m_fHeight;
  word->m_dFontSize = wordSpec.m_dFontSize;
  word->m_strFontName = wordSpec.m_szFont;
  word->m_dRed = wordSpec.m_adColor[0];
  word->m_dGreen = wordSpec.m_adColor[1];
  word->m_dBlue = wordSpec.m_adColor[2];
  word->m_dAlpha = 255.0;
  return word;
}

inline void SetBox(nsPDFData::CTextBase& object, float x, float y, float width, float height) {
  object.m_fX = x;
  object.m_fY = y;
  object.m_fWidth = width;
  object.m_fHeight = height;
}

// A text line with an explicit box (the writer reads the box, not the words' union).
inline CTextLine* NewLine(float x, float y, float width, float height, std::initializer_list<WordSpec> words) {
  auto* line = new CTextLine;
  line->m_bColumn = 0;
  SetBox(*line, x, y, width, height);
  for (const WordSpec& wordSpec : words) line->m_lstTextWords.push_back(NewWord(wordSpec));
  return line;
}

inline CTextLine* NewColumn(float x, float y, float width, float height, std::initializer_list<CTextLine*> lines) {
  auto* column = new CTextLine;
  column->m_bColumn = 1;
  SetBox(*column, x, y, width, height);
  for (CTextLine* line : lines) column->m_lstTextLines.push_back(line);
  return column;
}

// Adds a block holding `columns` to the page; the block's box is the first column's.
inline void AddBlock(CTextPage& page, std::initializer_list<CTextLine*> columns) {
  auto* block = new CTextLine;
  block->m_bColumn = 0;
  if (columns.size() > 0) {
    const CTextLine& first = **columns.begin();
    SetBox(*block, first.m_fX, first.m_fY, first.m_fWidth, first.m_fHeight);
  }
  for (CTextLine* column : columns) block->m_lstTextLines.push_back(column);
  page.m_lstTextLines.push_back(block);
}

inline void AddFloatingLine(CTextPage& page, CTextLine* line, float a, float b, float c, float d) {
  auto* floating = new CFloatText;
  floating->m_pLine = line;
  floating->m_fX = line->m_fX;
  floating->m_fY = line->m_fY;
  floating->m_fWidth = line->m_fWidth;
  floating->m_fHeight = line->m_fHeight;
  const float transform[6] = {a, b, c, d, 0, 0};
  for (int i = 0; i < 6; ++i) floating->m_afTransform[i] = transform[i];
  page.m_vecFloatTexts.push_back(floating);
}

// The family "Fake" is "installed": a space is 5 pixels wide at every size, so the space
// unit is 2 points. Every other family is missing.
inline bool FakeMeasure(const std::wstring& text, const std::wstring& font, float, bool, bool, float& width,
                        float& height) {
  width = 0;
  height = 0;
  if (font != L"Fake") return false;
  width = 5.0f * static_cast<float>(text.size());
  return true;
}

// Installs a measuring routine in the process-wide hook for one test and puts the old one back.
class ScopedMeasure {
 public:
  explicit ScopedMeasure(MeasureTextFn measure) : m_pOld(GetMeasureHook().m_pfnMeasure.load()) {
    GetMeasureHook().m_pfnMeasure = measure;
  }
  ~ScopedMeasure() { GetMeasureHook().m_pfnMeasure = m_pOld; }
  ScopedMeasure(const ScopedMeasure&) = delete;
  ScopedMeasure& operator=(const ScopedMeasure&) = delete;

 private:
  MeasureTextFn m_pOld;
};

}  // namespace pptx_test
