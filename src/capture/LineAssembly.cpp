#include "capture/LineAssembly.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "capture/FontMap.h"
#include "capture/TextPage.h"
#include "platform/Strings.h"

namespace capture {

namespace {

using nsPDFData::CFloatText;
using nsPDFData::CTextLine;
using nsPDFData::CTextWord;

bool ContainsUpper(const std::string& name, const char* part) {
  std::string upper = name;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
  return upper.find(part) != std::string::npos;
}

// A Unicode value as a character of the word; values no text can hold become U+FFFD.
wchar_t ToWideChar(int32_t unicode) {
  if (unicode < 0 || unicode > 0x10FFFF || (unicode >= 0xD800 && unicode <= 0xDFFF)) return 0xFFFD;
  return static_cast<wchar_t>(unicode);
}

CTextWord* MakeWord(const TextSpan& span, const CFontMap* fontMap) {
  const TextStyle& style = *span.m_pStyle;
  auto* word = new CTextWord;
  word->m_strText.reserve(span.m_vecChars.size());
  for (const auto& c : span.m_vecChars) word->m_strText += ToWideChar(c.m_nUnicode);
  word->m_fX = span.m_box.x0;
  word->m_fY = span.m_box.y0;
  word->m_fWidth = span.m_box.x1 - span.m_box.x0;
  word->m_fHeight = span.m_box.y1 - span.m_box.y0;
  const std::wstring pdfName = platform::Utf8ToWide(style.m_strFontName);
  if (fontMap) {
    word->m_strFontName = fontMap->MapFontName(pdfName);
    word->m_strFontFace = fontMap->MapFontFace(word->m_strFontName);
  } else {
    word->m_strFontName = pdfName;
  }
  word->m_dFontSize = std::max(5.0, static_cast<double>(style.m_fSize));
  word->m_dRed = std::clamp(style.m_dRed, 0.0, 255.0);
  word->m_dGreen = std::clamp(style.m_dGreen, 0.0, 255.0);
  word->m_dBlue = std::clamp(style.m_dBlue, 0.0, 255.0);
  word->m_dAlpha = 255.0;
  word->m_nOrder = span.m_nOrder;
  word->m_bBold = style.m_bFakeBold || ContainsUpper(style.m_strFontName, "BOLD") ||
                  ContainsUpper(style.m_strFontName, "BD");
  word->m_bItalic = style.m_bFakeItalic || ContainsUpper(style.m_strFontName, "OBLIQUE") ||
                    ContainsUpper(style.m_strFontName, "ITALIC");
  return word;
}

// The rotation of a style's transform in whole degrees, 0 to 359, measured clockwise.
int AngleOf(const TextStyle& style) {
  const float a = style.m_afTransform[0];
  const float b = -style.m_afTransform[1];
  const float c = -style.m_afTransform[2];
  const float d = style.m_afTransform[3];
  const float ac = std::sqrt(a * a + c * c);
  const float bd = std::sqrt(b * b + d * d);
  const float cosine = ac > 0 ? std::clamp(a / ac, -1.0f, 1.0f) : 1.0f;
  const float sine = bd > 0 ? b / bd : 0.0f;
  const float theta = sine >= 0 ? std::acos(cosine) : 6.2831855f - std::acos(cosine);
  int angle = static_cast<int>(360.0f - theta / 6.2831855f * 360.0f);
  if (angle >= 360) angle -= 360;
  return angle;
}

bool IsVertical(int angle) { return std::abs(angle - 90) < 10 || std::abs(angle - 270) < 10; }

bool SpanIsOnPage(const TextSpan& span, const nsPDFData::CTextPage& page) {
  return span.m_nOrder >= 0 && span.m_box.x1 >= 0 && span.m_box.y1 >= 0 && span.m_box.x0 <= page.m_fWidth &&
         span.m_box.y0 <= page.m_fHeight;
}

void SetBoxToWords(nsPDFData::CTextBase& target, const CTextLine& line) {
  Rect box;
  bool set = false;
  for (const auto* word : line.m_lstTextWords)
    UnionRect(box, Rect{word->m_fX, word->m_fY, word->m_fX + word->m_fWidth, word->m_fY + word->m_fHeight}, set);
  target.m_fX = box.x0;
  target.m_fY = box.y0;
  target.m_fWidth = box.x1 - box.x0;
  target.m_fHeight = box.y1 - box.y0;
}

void CopyBox(const nsPDFData::CTextBase& from, nsPDFData::CTextBase& to) {
  to.m_fX = from.m_fX;
  to.m_fY = from.m_fY;
  to.m_fWidth = from.m_fWidth;
  to.m_fHeight = from.m_fHeight;
}

// A floating record's box is its line's box.
void SetRecordBox(CFloatText& record) {
  record.m_fX = record.m_pLine->m_fX;
  record.m_fY = record.m_pLine->m_fY;
  record.m_fWidth = record.m_pLine->m_fWidth;
  record.m_fHeight = record.m_pLine->m_fHeight;
}

CFloatText* NewFloatText(CTextLine* line, const float transform[6]) {
  auto* record = new CFloatText;
  record->m_pLine = line;
  std::copy(transform, transform + 6, record->m_afTransform);
  return record;
}

void AssembleLine(nsPDFData::CTextPage& page, const SpanLine& spanLine, const CFontMap* fontMap) {
  auto* line = new CTextLine;
  line->m_bColumn = 0;
  line->m_nOrder = -1;
  bool firstWordCheck = true;
  CFloatText* vertical = nullptr;
  for (const auto& span : spanLine.m_vecSpans) {
    if (!SpanIsOnPage(span, page)) continue;
    CTextWord* word = MakeWord(span, fontMap);
    if (line->m_nOrder < 0) line->m_nOrder = word->m_nOrder;
    const TextStyle& style = *span.m_pStyle;
    if (IsVertical(AngleOf(style))) {
      if (!vertical) {
        const float* t = style.m_afTransform;
        const float transform[6] = {t[0], -t[1], -t[2], t[3], t[4], t[5]};
        vertical = NewFloatText(new CTextLine, transform);
        page.m_vecFloatTexts.push_back(vertical);
      }
      vertical->m_pLine->m_lstTextWords.push_back(word);
      continue;
    }
    if (firstWordCheck && line->m_lstTextWords.size() == 1) {
      auto* first = static_cast<CTextWord*>(line->m_lstTextWords.front());
      if (word->m_fHeight * 2 < first->m_fHeight) {
        auto* capital = new CTextLine;
        CopyBox(*first, *capital);
        capital->m_lstTextWords.splice(capital->m_lstTextWords.end(), line->m_lstTextWords);
        const float identity[6] = {1, 0, 0, 1, 1, 1};
        CFloatText* record = NewFloatText(capital, identity);
        SetRecordBox(*record);
        page.m_vecFloatTexts.push_back(record);
      }
      firstWordCheck = false;
    }
    line->m_lstTextWords.push_back(word);
  }
  if (vertical) {
    SetBoxToWords(*vertical->m_pLine, *vertical->m_pLine);
    SetRecordBox(*vertical);
  }
  if (line->m_lstTextWords.empty()) {
    delete line;
    return;
  }
  SetBoxToWords(*line, *line);
  auto* column = new CTextLine;
  CopyBox(*line, *column);
  column->m_lstTextLines.push_back(line);
  auto* block = new CTextLine;
  block->m_bColumn = 0;
  CopyBox(*line, *block);
  block->m_lstTextLines.push_back(column);
  page.m_lstTextLines.push_back(block);
}

}  // namespace

void AssembleLines(nsPDFData::CTextPage& page, const SpanPage& spans, const CFontMap* fontMap) {
  for (const auto& block : spans.m_vecBlocks)
    for (const auto& line : block.m_vecLines) AssembleLine(page, line, fontMap);
}

}  // namespace capture
