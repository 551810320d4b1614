#pragma once
// Text variant's first pass: drops duplicated blocks and joins blocks that continue each other in content order on the same line.

#include "capture/TextPage.h"

namespace layout {

void JoinLineFragments(nsPDFData::CTextPage& page);

}  // namespace layout
