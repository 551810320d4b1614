#pragma once
// Duplicate-word test: two pieces of text on top of each other that repeat the same words
// (shadows, simulated bold, a text layer over a scan) merge into the earlier one.

#include "capture/TextPage.h"

namespace layout {

// Line level: p is the earlier text line. True when it merged: the surviving words are all
// in p, sorted by left, c is empty and the duplicates are destroyed; the caller destroys c.
// Of each matched pair the word further left survives (the earlier one when level).
// No box changes. False: nothing changed. Never fails otherwise.
bool MergeDuplicateWords(nsPDFData::CTextLine& p, nsPDFData::CTextLine& c);

// Block level: the same test on the first text line of the first column of each block;
// true: the caller destroys block c. False when either block has no such line.
bool MergeDuplicateBlockWords(nsPDFData::CTextLine& p, nsPDFData::CTextLine& c);

}  // namespace layout
