#pragma once
// Text variant's last pass: groups stacked bands that share one column layout and continue each other's text into one block per run.

#include "capture/TextPage.h"

namespace layout {

void BuildColumnRegions(nsPDFData::CTextPage& page);

}  // namespace layout
