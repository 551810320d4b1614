#pragma once
// Gathers blocks whose heights overlap into horizontal bands.

#include "capture/TextPage.h"

namespace layout {

void MergeOverlappingBlocks(nsPDFData::CTextPage& page);

}  // namespace layout
