#include "pptx/RunWriter.h"

#include <algorithm>
#include <cmath>

#include "capture/TextPage.h"
#include "driver/MeasureText.h"
#include "pptx/Hyperlink.h"
#include "pptx/XmlText.h"

namespace {

// A gap is never wider than the page; this only guards against a font that reports a
// space width close to zero.
constexpr int kMaxSpaces = 4096;

int SpacesFor(double gap, double unit) {
  if (!(unit > 0)) return 0;
  return static_cast<int>(std::clamp<int64_t>(TruncateToInt64(gap / unit), 0, kMaxSpaces));
}

bool MeasureSpace(MeasureTextFn measure, const std::wstring& font, const nsPDFData::CTextWord& word, float& width) {
  float height = 0;
  return measure(L" ", font, static_cast<float>(word.m_dFontSize), word.m_bBold, word.m_bItalic, width, height);
}

}  // namespace

double SpaceUnit(const nsPDFData::CTextWord& word) {
  const MeasureTextFn measure = GetMeasureHook().m_pfnMeasure.load();
  float width = 0;
  const bool measured = measure && (MeasureSpace(measure, word.m_strFontName, word, width) ||
                                    MeasureSpace(measure, word.m_strFontFace, word, width));
  if (!measured || !std::isfinite(width) || std::fabs(width) < 1e-13) return word.m_dFontSize * 0.2;
  return width * 0.4;
}

int ColumnSpaceCount(double gap, double unit) {
  const int n = SpacesFor(std::max(gap, 0.0), unit);
  if (n == 2 || n == 3) return 1;
  return n >= 4 ? n / 2 : n;
}

int FloatSpaceCount(const nsPDFData::CTextWord& previous, const nsPDFData::CTextWord& word, int angle,
                    double unit) {
  const nsPDFData::CTextWord& p = previous;
  const nsPDFData::CTextWord& j = word;
  switch (angle) {
    case 0: return SpacesFor(j.m_fX - (p.m_fX + p.m_fWidth), unit);
    case 90: return SpacesFor(p.m_fY - (j.m_fY + j.m_fHeight), unit);
    case 180: return SpacesFor(p.m_fX - (j.m_fX + j.m_fWidth), unit);
    case 270: return SpacesFor(j.m_fY - (p.m_fY + p.m_fHeight), unit);
    default: return 1;
  }
}

std::wstring CRunWriter::WriteLineRuns(const nsPDFData::CTextLine& line, bool floating, int angle) {
  std::wstring out;
  const nsPDFData::CTextWord* previous = nullptr;
  for (const nsPDFData::CTextBase* base : line.m_lstTextWords) {
    const auto* word = dynamic_cast<const nsPDFData::CTextWord*>(base);
    if (!word) continue;
    if (previous) {
      const int count = floating ? FloatSpaceCount(*previous, *word, angle, SpaceUnit(*previous))
                                 : ColumnSpaceCount(word->m_fX - (previous->m_fX + previous->m_fWidth),
                                                    SpaceUnit(*previous));
      out += SpaceRun(*previous, count);
    }
    out += WordRun(*word);
    previous = word;
  }
  return out;
}

// A linked word's relationship is appended as its run is written, so relationship ids
// follow the order of the runs on the slide; space runs never carry the link.
std::wstring CRunWriter::WordRun(const nsPDFData::CTextWord& word) {
  return Run(word, EscapeXmlText(word.m_strText), AddHyperlink(m_rels, word.m_nLinkType, word.m_strLinkTarget));
}

std::wstring CRunWriter::SpaceRun(const nsPDFData::CTextWord& previous, int count) {
  return Run(previous, std::wstring(static_cast<size_t>(count), L' '), std::wstring());
}

std::wstring CRunWriter::Run(const nsPDFData::CTextWord& style, const std::wstring& text, const std::wstring& linkXml) {
  const std::wstring font = EscapeXmlAttribute(style.m_strFontName);
  std::wstring out = L"\n\t\t\t\t\t\t<a:r>\n\t\t\t\t\t\t\t<a:rPr lang=\"en-US\" altLang=\"zh-CN\" sz=\"";
  out += m_scale.HundredthsText(style.m_dFontSize);
  out += L"\" dirty=\"0\" smtClean=\"0\">\n\t\t\t\t\t\t\t\t<a:solidFill>\n\t\t\t\t\t\t\t\t\t<a:srgbClr val=\"";
  out += FormatColor(style.m_dRed * 255, style.m_dGreen * 255, style.m_dBlue * 255);
  out += L"\"/>\n\t\t\t\t\t\t\t\t</a:solidFill>\n\t\t\t\t\t\t\t\t<a:latin typeface=\"" + font;
  out += L"\" charset=\"0\"/>\n\t\t\t\t\t\t\t\t<a:cs typeface=\"" + font + L"\" charset=\"0\"/>";
  if (!linkXml.empty()) out += L"\n\t\t\t\t\t\t\t\t" + linkXml;
  out += L"\n\t\t\t\t\t\t\t</a:rPr>\n\t\t\t\t\t\t\t<a:t>" + text + L"</a:t>\n\t\t\t\t\t\t</a:r>";
  return out;
}
