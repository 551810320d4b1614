#pragma once
// Gathers the columns of one band that overlap horizontally.

#include "capture/TextPage.h"

namespace layout {

void MergeOverlappingColumns(nsPDFData::CTextLine& block);

}  // namespace layout
