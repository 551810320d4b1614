#pragma once
// Gathers blocks whose heights overlap into horizontal bands.

#include "capture/TextPage.h"

namespace layout {

// Sorts the blocks by top; a block whose vertical overlap with the growing band before it
// is positive and more than 0.21 of the smaller height gives its columns to that band and
// is destroyed. Never fails.
void MergeOverlappingBlocks(nsPDFData::CTextPage& page);

}  // namespace layout
