#pragma once
// Text variant's first pass: drops duplicated blocks and joins blocks that continue each other in content order on the same line.

#include "capture/TextPage.h"

namespace layout {

// Sorts the page's blocks by content order and walks neighbours: duplicates and contained
// text go, fragments that continue the previous block's order range on its line join it,
// and an initial (or a following piece) more than 2.5 times taller floats. Expects every
// block to hold one column with one text line (as capture leaves it). Never fails.
void JoinLineFragments(nsPDFData::CTextPage& page);

}  // namespace layout
