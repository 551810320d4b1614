#include "layout/LayoutAnalysis.h"

#include "capture/TextPage.h"

// The passes arrive one by one; until then both variants keep the captured order, which
// already holds every word exactly once in a valid block/column/line tree.
void AnalyzeTextLayout(nsPDFData::CTextPage&) {}

void AnalyzeSlideLayout(nsPDFData::CTextPage&) {}
