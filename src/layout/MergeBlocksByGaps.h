#pragma once
// Slide variant's last pass: merges neighbouring bands whose column gaps correspond one to one.

#include "capture/TextPage.h"

namespace layout {

void MergeBlocksByGaps(nsPDFData::CTextPage& page);

}  // namespace layout
