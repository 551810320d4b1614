#pragma once
// Layout analysis entry points: rebuild a freshly captured page's text into blocks,
// columns and lines in reading order. One variant per output kind.

namespace nsPDFData {
class CTextPage;
}

// Reading flow for text output. Works in place; never fails.
void AnalyzeTextLayout(nsPDFData::CTextPage& page);

// Positions for slides. Works in place; never fails.
void AnalyzeSlideLayout(nsPDFData::CTextPage& page);
