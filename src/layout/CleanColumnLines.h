#pragma once
// Sorts the lines of every column and resolves lines lying on top of each other: duplicates go, pieces join, awkward overlaps float.

#include "capture/TextPage.h"

namespace layout {

// For every column of every block: sorts its text lines by top and walks neighbours.
// Lines overlapping by more than 0.2 of the smaller height are resolved: partial overlaps
// (up to 0.8) float the narrower line; larger ones remove duplicates and contained text,
// float colliding lines, or join the pieces of one line. Never fails.
void CleanColumnLines(nsPDFData::CTextPage& page);

}  // namespace layout
