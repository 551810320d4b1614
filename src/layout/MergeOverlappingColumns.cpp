#include "layout/MergeOverlappingColumns.h"

namespace layout {

void MergeOverlappingColumns(nsPDFData::CTextLine&) {}

}  // namespace layout
