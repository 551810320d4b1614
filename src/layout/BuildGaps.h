#pragma once
// Column gaps of a block: the white space left of, between and right of its columns. Fuses columns that touch.

#include "capture/TextPage.h"

namespace layout {

// Rebuilds block.m_vecGaps for a page of width `width`; may merge and destroy columns.
void BuildGaps(nsPDFData::CTextLine& block, float width);

// Moves the content of the source column's lines into the target column; the caller
// destroys the source column afterwards. The target's own box is not changed.
void MergeColumnLines(nsPDFData::CTextLine& source, nsPDFData::CTextLine& target);

}  // namespace layout
