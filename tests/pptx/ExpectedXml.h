#pragma once
// The expected XML of text boxes, paragraphs and runs, spelled out element by element with
// their line feeds and tab indentation, for the byte-level tests of the slide writers.

#include <string>

namespace pptx_test {

inline std::wstring Tabs(int n) { return L"\n" + std::wstring(static_cast<size_t>(n), L'\t'); }

inline std::wstring BoxHeader(int id, const std::wstring& xfrm, const std::wstring& off, const std::wstring& ext) {
  const std::wstring n = std::to_wstring(id);
  return Tabs(3) + L"<p:sp>" + Tabs(4) + L"<p:nvSpPr>" + Tabs(5) + L"<p:cNvPr id=\"" + n + L"\" name=\"TextBox " + n +
         L"\"/>" + Tabs(5) + L"<p:cNvSpPr txBox=\"1\"/>" + Tabs(5) + L"<p:nvPr/>" + Tabs(4) + L"</p:nvSpPr>" + Tabs(4) +
         L"<p:spPr>" + Tabs(5) + xfrm + Tabs(6) + L"<a:off " + off + L"/>" + Tabs(6) + L"<a:ext " + ext + L"/>" +
         Tabs(5) + L"</a:xfrm>" + Tabs(5) + L"<a:prstGeom prst=\"rect\">" + Tabs(6) + L"<a:avLst/>" + Tabs(5) +
         L"</a:prstGeom>" + Tabs(5) + L"<a:noFill/>" + Tabs(4) + L"</p:spPr>" + Tabs(4) + L"<p:txBody>" + Tabs(5) +
         L"<a:bodyPr wrap=\"none\" lIns=\"0\" tIns=\"0\" rIns=\"0\" bIns=\"0\" rtlCol=\"0\">" + Tabs(6) +
         L"<a:spAutoFit/>" + Tabs(5) + L"</a:bodyPr>" + Tabs(5) + L"<a:lstStyle/>";
}

inline const std::wstring kBoxEnd = Tabs(4) + L"</p:txBody>" + Tabs(3) + L"</p:sp>";

inline std::wstring Spacer() {
  return Tabs(5) + L"<a:p>" + Tabs(6) + L"<a:pPr>" + Tabs(7) + L"<a:lnSpc>" + Tabs(8) + L"<a:spcPts val=\"1000\"/>" +
         Tabs(7) + L"</a:lnSpc>" + Tabs(6) + L"</a:pPr>" + Tabs(6) +
         L"<a:endParaRPr lang=\"en-US\" dirty=\"0\" smtClean=\"0\"/>" + Tabs(4) + L"</a:p>";
}

inline std::wstring Paragraph(const std::wstring& indent, const std::wstring& spacing, const std::wstring& runs) {
  return Tabs(5) + L"<a:p>" + Tabs(6) + L"<a:pPr indent=\"" + indent + L"\">" + Tabs(7) + L"<a:lnSpc>" + Tabs(8) +
         L"<a:spcPts val=\"" + spacing + L"\"/>" + Tabs(7) + L"</a:lnSpc>" + Tabs(6) + L"</a:pPr>" + runs + Tabs(4) +
         L"</a:p>";
}

inline std::wstring RunXml(const std::wstring& size, const std::wstring& color, const std::wstring& font, const std::wstring& text) {
  return Tabs(6) + L"<a:r>" + Tabs(7) + L"<a:rPr lang=\"en-US\" altLang=\"zh-CN\" sz=\"" + size +
         L"\" dirty=\"0\" smtClean=\"0\">" + Tabs(8) + L"<a:solidFill>" + Tabs(9) + L"<a:srgbClr val=\"" + color +
         L"\"/>" + Tabs(8) + L"</a:solidFill>" + Tabs(8) + L"<a:latin typeface=\"" + font + L"\" charset=\"0\"/>" +
         Tabs(8) + L"<a:cs typeface=\"" + font + L"\" charset=\"0\"/>" + Tabs(7) + L"</a:rPr>" + Tabs(7) + L"<a:t>" +
         text + L"</a:t>" + Tabs(6) + L"</a:r>";
}

}  // namespace pptx_test
