#include "pptx/TextBoxWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "capture/TextPage.h"
#include "pptx/RunWriter.h"
#include "pptx/XmlText.h"

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kSpacerPoints = 10;       // height of one spacer paragraph
constexpr float kOverlapSpacing = 2;      // spacing of a line that overlaps the previous one too much
// Pages are at most a few thousand points high; this only bounds a damaged page model.
constexpr int64_t kMaxSpacers = 10000;

int SnapAngle(int degrees) {
  if (std::abs(degrees - 90) < 2) return 90;
  if (std::abs(degrees - 180) < 2) return 180;
  if (std::abs(degrees - 270) < 2) return 270;
  if (std::abs(degrees - 360) < 2 || std::abs(degrees) < 2) return 0;
  return degrees;
}

bool IsQuarterTurn(int angle) { return angle == 90 || angle == 270; }

}  // namespace

int FloatTextAngle(const float transform[6]) {
  const float a = transform[0], b = transform[1], c = transform[2], d = transform[3];
  const float sx = std::sqrt(a * a + c * c);
  const float sy = std::sqrt(b * b + d * d);
  if (!(sx > 0) || !(sy > 0) || !std::isfinite(sx) || !std::isfinite(sy)) return 0;
  const float cosine = std::fmax(-1.0f, std::fmin(1.0f, a / sx));
  float theta = std::acos(cosine);
  if (!(b / sy >= 0)) theta = kTwoPi - theta;
  const float degrees = 360 - theta / kTwoPi * 360;
  return SnapAngle(static_cast<int>(degrees));
}

std::wstring CTextBoxWriter::WriteTextBox(int angle, const nsPDFData::CTextLine& container, int shapeId,
                                          bool floating, const CTextBoxRect& box) {
  std::wstring out = ShapeHeader(angle, shapeId, box);
  out += floating ? FloatParagraph(container, angle) : ColumnParagraphs(container);
  out += L"\n\t\t\t\t</p:txBody>\n\t\t\t</p:sp>";
  return out;
}

std::wstring CTextBoxWriter::ShapeHeader(int angle, int shapeId, const CTextBoxRect& box) const {
  const std::wstring id = IntText(shapeId);
  float x = box.m_fX, y = box.m_fY, cx = box.m_fWidth, cy = box.m_fHeight;
  if (IsQuarterTurn(angle)) {
    // Turned about its centre: the unturned box has the page box's sides swapped.
    x = box.m_fX + box.m_fWidth / 2 - box.m_fHeight / 2;
    y = box.m_fY + box.m_fHeight / 2 - box.m_fWidth / 2;
    cx = box.m_fHeight;
    cy = box.m_fWidth;
  }
  std::wstring out = L"\n\t\t\t<p:sp>\n\t\t\t\t<p:nvSpPr>\n\t\t\t\t\t<p:cNvPr id=\"" + id + L"\" name=\"TextBox " + id +
                     L"\"/>\n\t\t\t\t\t<p:cNvSpPr txBox=\"1\"/>\n\t\t\t\t\t<p:nvPr/>\n\t\t\t\t</p:nvSpPr>"
                     L"\n\t\t\t\t<p:spPr>\n\t\t\t\t\t";
  out += angle == 0 ? std::wstring(L"<a:xfrm>") : L"<a:xfrm rot=\"" + IntText(21600000 - int64_t{angle} * 60000) + L"\">";
  out += L"\n\t\t\t\t\t\t<a:off x=\"" + m_scale.EmuText(x) + L"\" y=\"" + m_scale.EmuText(y) + L"\"/>";
  out += L"\n\t\t\t\t\t\t<a:ext cx=\"" + m_scale.EmuText(cx) + L"\" cy=\"" + m_scale.EmuText(cy) + L"\"/>";
  out += L"\n\t\t\t\t\t</a:xfrm>\n\t\t\t\t\t<a:prstGeom prst=\"rect\">\n\t\t\t\t\t\t<a:avLst/>\n\t\t\t\t\t</a:prstGeom>"
         L"\n\t\t\t\t\t<a:noFill/>\n\t\t\t\t</p:spPr>\n\t\t\t\t<p:txBody>"
         L"\n\t\t\t\t\t<a:bodyPr wrap=\"none\" lIns=\"0\" tIns=\"0\" rIns=\"0\" bIns=\"0\" rtlCol=\"0\">"
         L"\n\t\t\t\t\t\t<a:spAutoFit/>\n\t\t\t\t\t</a:bodyPr>\n\t\t\t\t\t<a:lstStyle/>";
  return out;
}

// Vertical position comes from spacing alone: every 10 points of gap above a line become a
// spacer paragraph, the rest is added to the line's own spacing.
std::wstring CTextBoxWriter::ColumnParagraphs(const nsPDFData::CTextLine& column) {
  CRunWriter runs(m_rels, m_scale);
  std::wstring out;
  bool wroteLine = false;
  float previousBottom = column.m_fY;
  for (const nsPDFData::CTextBase* base : column.m_lstTextLines) {
    const auto* line = dynamic_cast<const nsPDFData::CTextLine*>(base);
    if (!line) continue;
    const float gap = line->m_fY - previousBottom;
    float spacing = line->m_fHeight + gap;
    if (gap >= 0) {
      const int64_t spacers = std::min(TruncateToInt64(gap) / 10, kMaxSpacers);
      for (int64_t i = 0; i < spacers; ++i) out += SpacerParagraph();
      spacing = gap - kSpacerPoints * static_cast<float>(spacers) + line->m_fHeight;
    }
    if (spacing < 0) spacing = kOverlapSpacing;
    out += LineParagraph(m_scale.EmuText(line->m_fX - column.m_fX), spacing, runs.WriteLineRuns(*line, false, 0));
    previousBottom = line->m_fY + line->m_fHeight;
    wroteLine = true;
  }
  if (!wroteLine)
    out += L"\n\t\t\t\t\t<a:p>\n\t\t\t\t\t\t<a:endParaRPr lang=\"en-US\" dirty=\"0\" smtClean=\"0\"/>\n\t\t\t\t</a:p>";
  return out;
}

std::wstring CTextBoxWriter::FloatParagraph(const nsPDFData::CTextLine& line, int angle) {
  CRunWriter runs(m_rels, m_scale);
  const float spacing = IsQuarterTurn(angle) ? line.m_fWidth : line.m_fHeight;
  return LineParagraph(L"0", spacing, runs.WriteLineRuns(line, true, angle));
}

std::wstring CTextBoxWriter::LineParagraph(const std::wstring& indent, float spacing, const std::wstring& runs) const {
  return L"\n\t\t\t\t\t<a:p>\n\t\t\t\t\t\t<a:pPr indent=\"" + indent + L"\">\n\t\t\t\t\t\t\t<a:lnSpc>\n\t\t\t\t\t\t\t\t<a:spcPts val=\"" +
         m_scale.HundredthsText(spacing) + L"\"/>\n\t\t\t\t\t\t\t</a:lnSpc>\n\t\t\t\t\t\t</a:pPr>" + runs +
         L"\n\t\t\t\t</a:p>";
}

std::wstring CTextBoxWriter::SpacerParagraph() const {
  return L"\n\t\t\t\t\t<a:p>\n\t\t\t\t\t\t<a:pPr>\n\t\t\t\t\t\t\t<a:lnSpc>\n\t\t\t\t\t\t\t\t<a:spcPts val=\"" +
         m_scale.HundredthsText(kSpacerPoints) +
         L"\"/>\n\t\t\t\t\t\t\t</a:lnSpc>\n\t\t\t\t\t\t</a:pPr>\n\t\t\t\t\t\t<a:endParaRPr lang=\"en-US\" dirty=\"0\" smtClean=\"0\"/>\n\t\t\t\t</a:p>";
}
