#pragma once
// Gathers the columns of one band that overlap horizontally.

#include "capture/TextPage.h"

namespace layout {

// Sorts the block's columns by left; a column that overlaps the growing column before it
// horizontally (by more than 0; touching is not enough) gives it its text lines and is
// destroyed. Never fails.
void MergeOverlappingColumns(nsPDFData::CTextLine& block);

}  // namespace layout
