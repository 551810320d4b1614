#include "layout/MergeBlocksByGaps.h"

namespace layout {

void MergeBlocksByGaps(nsPDFData::CTextPage&) {}

}  // namespace layout
