#pragma once
// Slide variant's last pass: merges neighbouring bands whose column gaps correspond one to one.

#include "capture/TextPage.h"

namespace layout {

// Working down the page, merges two neighbouring blocks when the gaps of one cover the
// gaps of the other one to one: the block with fewer gaps goes into the other, with
// equal counts the lower into the upper; each column's lines go to the first column of
// the kept block it overlaps, or stay a column of their own. Never fails; no text is lost.
void MergeBlocksByGaps(nsPDFData::CTextPage& page);

}  // namespace layout
