#include "layout/LayoutAnalysis.h"

#include "capture/TextPage.h"
#include "layout/BuildColumnRegions.h"
#include "layout/CleanColumnLines.h"
#include "layout/JoinLineFragments.h"
#include "layout/LayoutBoxes.h"
#include "layout/MergeBlocksByGaps.h"
#include "layout/MergeOverlappingBlocks.h"
#include "layout/MergeOverlappingColumns.h"

namespace {

using nsPDFData::CTextBase;
using nsPDFData::TextList;

// Stable sort of a list by a float key with a strict less-than.
template <typename Key>
void SortBy(TextList& list, Key key) {
  list.sort([&](CTextBase* a, CTextBase* b) { return key(*a) < key(*b); });
}

// Blocks by top; then the columns of each block by left, the lines of each column by top.
void FinalOrdering(nsPDFData::CTextPage& page) {
  auto top = [](const CTextBase& node) { return node.m_fY; };
  auto left = [](const CTextBase& node) { return node.m_fX; };
  SortBy(page.m_lstTextLines, top);
  for (CTextBase* blockNode : page.m_lstTextLines) {
    auto* block = layout::AsLine(blockNode);
    if (!block) continue;
    SortBy(block->m_lstTextLines, left);
    for (CTextBase* columnNode : block->m_lstTextLines)
      if (auto* column = layout::AsLine(columnNode)) SortBy(column->m_lstTextLines, top);
  }
}

void MergeColumnsOfEveryBlock(nsPDFData::CTextPage& page) {
  for (CTextBase* block : page.m_lstTextLines)
    if (auto* line = layout::AsLine(block)) layout::MergeOverlappingColumns(*line);
}

}  // namespace

void AnalyzeTextLayout(nsPDFData::CTextPage& page) {
  if (page.m_lstTextLines.empty()) return;
  layout::JoinLineFragments(page);
  layout::MergeOverlappingBlocks(page);
  MergeColumnsOfEveryBlock(page);
  layout::CleanColumnLines(page);
  layout::BuildColumnRegions(page);
  FinalOrdering(page);
}

void AnalyzeSlideLayout(nsPDFData::CTextPage& page) {
  if (page.m_lstTextLines.empty()) return;
  layout::MergeOverlappingBlocks(page);
  MergeColumnsOfEveryBlock(page);
  layout::CleanColumnLines(page);
  layout::MergeBlocksByGaps(page);
  FinalOrdering(page);
}
