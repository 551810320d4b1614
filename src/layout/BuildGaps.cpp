#include "layout/BuildGaps.h"

namespace layout {

void BuildGaps(nsPDFData::CTextLine&, float) {}

void MergeColumnLines(nsPDFData::CTextLine&, nsPDFData::CTextLine&) {}

}  // namespace layout
