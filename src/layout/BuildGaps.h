#pragma once
// Column gaps of a block: the white space left of, between and right of its columns. Fuses columns that touch.

#include "capture/TextPage.h"

namespace layout {

// Rebuilds block.m_vecGaps for a page of width `width`: sorts the columns by left, fuses a
// column that starts at most 1 point right of the previous one's right edge into it
// (MergeColumnLines, then destroys it), and leaves n + 1 gaps for n columns. A block
// without columns keeps its old gaps. Never fails.
void BuildGaps(nsPDFData::CTextLine& block, float width);

// Moves the content of the source column's lines into the target column: each source line
// (in top order) joins the target line it overlaps vertically, or is inserted in the
// target's top order. Joined source lines stay behind empty; the caller destroys the
// source column afterwards. The target's own box is not changed. When the target has no
// lines, the source's lines move over whole (sorted by top), so no text is lost.
// Never fails.
void MergeColumnLines(nsPDFData::CTextLine& source, nsPDFData::CTextLine& target);

}  // namespace layout
