#include "layout/MergeOverlappingBlocks.h"

namespace layout {

void MergeOverlappingBlocks(nsPDFData::CTextPage&) {}

}  // namespace layout
