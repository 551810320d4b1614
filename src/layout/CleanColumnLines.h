#pragma once
// Sorts the lines of every column and resolves lines lying on top of each other: duplicates go, pieces join, awkward overlaps float.

#include "capture/TextPage.h"

namespace layout {

void CleanColumnLines(nsPDFData::CTextPage& page);

}  // namespace layout
