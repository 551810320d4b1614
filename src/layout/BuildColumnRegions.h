#pragma once
// Text variant's last pass: groups stacked bands that share one column layout and continue each other's text into one block per run.

#include <vector>

#include "capture/TextPage.h"
#include "layout/LayoutBoxes.h"

namespace layout {

// Walks the page's blocks (bands) from top to bottom, rebuilds every run of two or more
// bands that share a column layout and continue each other's text as one block with one
// column per column of the layout, and flattens a lone band whose columns each hold a
// single line into one text line. Never fails; every word stays on the page exactly once.
void BuildColumnRegions(nsPDFData::CTextPage& page);

// The steps of the pass, public so that each can be tested on its own.

// A column of a run band as the order test sees it: its box and its order range, taken
// once when the band joins so that testing a band does not walk the run's words again.
struct CColumnOrder {
  CBox m_box;            // the column's stored box, points
  COrderRange m_range;   // smallest and largest m_nOrder of its words
};

// Appends one record per column of the block, in the block's column order.
void AppendColumnOrders(const nsPDFData::CTextLine& block, std::vector<CColumnOrder>& out);

// True when, in every interval between the centres of two neighbouring gap
// intersections, the band's first word there follows the run's last word there right
// away. An interval in which the run or the band has no column passes.
bool CheckOrderContinuity(const std::vector<CColumnOrder>& runColumns,
                          const std::vector<CBox>& intersections, const nsPDFData::CTextLine& band);

// Joins a block whose columns (at least two) each hold at most one text line into the
// first column's line; the other columns are destroyed. Any other block stays unchanged.
void FlattenSingleLineBlock(nsPDFData::CTextLine& block);

// Replaces the bands [first, next) with one new block: one column per interval between
// neighbouring reference gap centres, each holding the lines of the bands' columns in that
// interval (a column inside no interval goes to the nearest one, so no text is lost). The
// new block takes the node of `first`; the bands are destroyed and the caller erases the
// nodes after `first` up to `next`.
void BuildRegionBlock(nsPDFData::TextList::iterator first, nsPDFData::TextList::iterator next,
                      const std::vector<CBox>& referenceGaps);

// Pours the lines of the columns into the target, leftmost column first; the columns stay
// behind, emptied, for their owner to destroy.
void MergeColumnsInto(std::vector<nsPDFData::CTextLine*> columns, nsPDFData::CTextLine& target);

}  // namespace layout
