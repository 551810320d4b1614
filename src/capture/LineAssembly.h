#pragma once
// Turns a captured SpanPage into the page model: one word per non-blank span, one
// block/column/line tree per captured line, floating lines for vertical text and drop capitals.

#include "capture/SpanPage.h"

class CFontMap;

namespace nsPDFData {
class CTextPage;
}

namespace capture {

// Appends blocks to page.m_lstTextLines and records to page.m_vecFloatTexts. `fontMap`
// names the output fonts; with none, words keep the PDF font name. Never fails.
void AssembleLines(nsPDFData::CTextPage& page, const SpanPage& spans, const CFontMap* fontMap);

}  // namespace capture
