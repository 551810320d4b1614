#pragma once
// Duplicate-word test: two pieces of text on top of each other that repeat the same words
// (shadows, simulated bold, a text layer over a scan) merge into the earlier one.

#include "capture/TextPage.h"

namespace layout {

// Line level: p is the earlier text line. True when it merged: the surviving words are all
// in p and c is empty; the caller destroys c. False: nothing changed.
bool MergeDuplicateWords(nsPDFData::CTextLine& p, nsPDFData::CTextLine& c);

// Block level: the same test on the first text line of the first column of each block;
// true: the caller destroys block c.
bool MergeDuplicateBlockWords(nsPDFData::CTextLine& p, nsPDFData::CTextLine& c);

}  // namespace layout
