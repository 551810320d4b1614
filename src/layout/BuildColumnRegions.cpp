#include "layout/BuildColumnRegions.h"

#include <algorithm>
#include <limits>

#include "layout/BuildGaps.h"

namespace layout {

using nsPDFData::CTextBase;
using nsPDFData::CTextLine;
using nsPDFData::TextList;

namespace {

// The open stretch between the centres of two neighbouring gaps: a column lies in it
// when its left is right of the left centre and its right is left of the right centre.
struct CInterval {
  float m_fLeft;   // centre of the left gap, points
  float m_fRight;  // centre of the right gap, points
};

// A matched gap pair: index into the run's reference gaps, index into the band's gaps.
struct CGapPair {
  size_t m_nReference;
  size_t m_nBand;
};

// The state of the run being grown: its bands are the page nodes from m_itFirst on.
struct CRun {
  TextList::iterator m_itFirst;
  size_t m_nBands = 0;
  std::vector<CBox> m_vecGaps;               // reference gaps, narrowed as bands join
  COrderRange m_range;                       // order range of all its words
  std::vector<CColumnOrder> m_vecColumns;    // every column of every band, for the order test
};

float Centre(const CBox& gap) { return gap.m_fX + 0.5f * gap.m_fWidth; }

float Right(const CBox& box) { return box.m_fX + box.m_fWidth; }

std::vector<CInterval> IntervalsOf(const std::vector<CBox>& gaps) {
  std::vector<CInterval> intervals;
  for (size_t k = 1; k < gaps.size(); ++k) intervals.push_back({Centre(gaps[k - 1]), Centre(gaps[k])});
  return intervals;
}

bool LiesInside(const CBox& column, const CInterval& interval) {
  return column.m_fX > interval.m_fLeft && Right(column) < interval.m_fRight;
}

std::vector<CBox> GapsOf(const CTextLine& block) {
  std::vector<CBox> gaps;
  gaps.reserve(block.m_vecGaps.size());
  for (const nsPDFData::CGapBox* gap : block.m_vecGaps) gaps.push_back(*gap);
  return gaps;
}

// Pairs whose intersection has a width of 0 or more, the longer list in the outer loop.
std::vector<CGapPair> MatchGaps(const std::vector<CBox>& reference, const std::vector<CBox>& band) {
  std::vector<CGapPair> pairs;
  const bool referenceOuter = reference.size() >= band.size();
  const size_t outerCount = referenceOuter ? reference.size() : band.size();
  const size_t innerCount = referenceOuter ? band.size() : reference.size();
  for (size_t outer = 0; outer < outerCount; ++outer)
    for (size_t inner = 0; inner < innerCount; ++inner) {
      const CGapPair pair = referenceOuter ? CGapPair{outer, inner} : CGapPair{inner, outer};
      if (IntersectBox(reference[pair.m_nReference], band[pair.m_nBand]).m_fWidth >= 0) pairs.push_back(pair);
    }
  return pairs;
}

std::vector<CBox> Intersections(const std::vector<CGapPair>& pairs, const std::vector<CBox>& reference,
                                const std::vector<CBox>& band) {
  std::vector<CBox> boxes;
  boxes.reserve(pairs.size());
  for (const CGapPair& pair : pairs) boxes.push_back(IntersectBox(band[pair.m_nBand], reference[pair.m_nReference]));
  return boxes;
}

// A band continues the run when its layout corresponds to the run's with at least two
// columns and its text continues the run's, or when both are single-column bands.
bool ContinuesRun(const CRun& run, const CTextLine& band, size_t bandGapCount, const COrderRange& bandRange,
                  const std::vector<CBox>& intersections) {
  const size_t matched = intersections.size();
  const size_t larger = std::max(run.m_vecGaps.size(), bandGapCount);
  if (matched == 2 && run.m_vecGaps.size() == 2 && bandGapCount == 2) return true;
  if (matched != larger || matched <= 2) return false;
  const bool interleaved =
      bandRange.m_nSmallest < run.m_range.m_nLargest && bandRange.m_nLargest > run.m_range.m_nSmallest;
  return interleaved || CheckOrderContinuity(run.m_vecColumns, intersections, band);
}

CRun StartRun(TextList::iterator first) {
  CRun run;
  run.m_itFirst = first;
  run.m_nBands = 1;
  if (const CTextLine* band = AsLine(*first)) {
    run.m_vecGaps = GapsOf(*band);
    run.m_range = GetOrderRange(*band);
    AppendColumnOrders(*band, run.m_vecColumns);
  }
  return run;
}

void JoinRun(CRun& run, const CTextLine& band, const COrderRange& bandRange, std::vector<CBox> intersections) {
  ++run.m_nBands;
  run.m_vecGaps = std::move(intersections);
  run.m_range.m_nSmallest = std::min(run.m_range.m_nSmallest, bandRange.m_nSmallest);
  run.m_range.m_nLargest = std::max(run.m_range.m_nLargest, bandRange.m_nLargest);
  AppendColumnOrders(band, run.m_vecColumns);
}

void CloseRun(TextList& blocks, const CRun& run, TextList::iterator next) {
  if (run.m_nBands == 1) {
    if (CTextLine* band = AsLine(*run.m_itFirst)) FlattenSingleLineBlock(*band);
    return;
  }
  BuildRegionBlock(run.m_itFirst, next, run.m_vecGaps);
  blocks.erase(std::next(run.m_itFirst), next);
}

// The interval a column belongs to: the first one it lies inside, otherwise the one it
// overlaps most (or is nearest to), so that a column sitting exactly on an interval
// centre keeps its text instead of being destroyed with its band.
size_t IntervalOf(const CBox& column, const std::vector<CInterval>& intervals) {
  for (size_t k = 0; k < intervals.size(); ++k)
    if (LiesInside(column, intervals[k])) return k;
  size_t best = 0;
  float bestOverlap = -std::numeric_limits<float>::infinity();
  for (size_t k = 0; k < intervals.size(); ++k) {
    const float overlap =
        std::min(Right(column), intervals[k].m_fRight) - std::max(column.m_fX, intervals[k].m_fLeft);
    if (overlap > bestOverlap) {
      bestOverlap = overlap;
      best = k;
    }
  }
  return best;
}

void PourBand(CTextLine& band, const std::vector<CInterval>& intervals, const std::vector<CTextLine*>& targets) {
  std::vector<std::vector<CTextLine*>> perInterval(intervals.size());
  for (CTextBase* node : band.m_lstTextLines)
    if (CTextLine* column = AsLine(node)) perInterval[IntervalOf(BoxOf(*column), intervals)].push_back(column);
  for (size_t k = 0; k < intervals.size(); ++k) MergeColumnsInto(std::move(perInterval[k]), *targets[k]);
}

void SortBlocksByTop(TextList& blocks) {
  blocks.sort([](const CTextBase* a, const CTextBase* b) { return a->m_fY < b->m_fY; });
}

}  // namespace

void AppendColumnOrders(const CTextLine& block, std::vector<CColumnOrder>& out) {
  for (const CTextBase* node : block.m_lstTextLines)
    if (const auto* column = AsLine(node)) out.push_back({BoxOf(*column), GetOrderRange(*column)});
}

bool CheckOrderContinuity(const std::vector<CColumnOrder>& runColumns, const std::vector<CBox>& intersections,
                          const CTextLine& band) {
  std::vector<CColumnOrder> bandColumns;
  AppendColumnOrders(band, bandColumns);
  for (const CInterval& interval : IntervalsOf(intersections)) {
    bool runFound = false;
    int32_t runLargest = -1;
    for (const CColumnOrder& column : runColumns)
      if (LiesInside(column.m_box, interval)) {
        runFound = true;
        runLargest = std::max(runLargest, column.m_range.m_nLargest);
      }
    bool bandFound = false;
    int32_t bandSmallest = 0xFFFF;
    for (const CColumnOrder& column : bandColumns)
      if (LiesInside(column.m_box, interval)) {
        bandFound = true;
        bandSmallest = std::min(bandSmallest, column.m_range.m_nSmallest);
      }
    if (runFound && bandFound && bandSmallest != runLargest + 1) return false;
  }
  return true;
}

void FlattenSingleLineBlock(CTextLine& block) {
  TextList& columns = block.m_lstTextLines;
  if (columns.size() < 2) return;
  for (CTextBase* node : columns) {
    const CTextLine* column = AsLine(node);
    if (!column || column->m_lstTextLines.size() > 1) return;
  }
  // A first column without a line has no line to join into; the block is left as it is.
  CTextLine* first = AsLine(columns.front());
  CTextLine* line = first->m_lstTextLines.empty() ? nullptr : AsLine(first->m_lstTextLines.front());
  if (!line) return;
  for (auto it = std::next(columns.begin()); it != columns.end(); it = columns.erase(it)) {
    CTextLine* column = AsLine(*it);
    if (!column->m_lstTextLines.empty())
      if (CTextLine* other = AsLine(column->m_lstTextLines.front())) {
        line->m_lstTextWords.splice(line->m_lstTextWords.end(), other->m_lstTextWords);
        SetBox(*line, UnionBox(BoxOf(*other), BoxOf(*line)));
      }
    SetBox(*first, UnionBox(BoxOf(*column), BoxOf(*first)));
    delete column;
  }
}

void BuildRegionBlock(TextList::iterator first, TextList::iterator next, const std::vector<CBox>& referenceGaps) {
  std::vector<CInterval> intervals = IntervalsOf(referenceGaps);
  // Runs always carry at least two gaps; one unbounded interval keeps any other call lossless.
  if (intervals.empty())
    intervals.push_back({-std::numeric_limits<float>::infinity(), std::numeric_limits<float>::infinity()});
  auto* region = new CTextLine;
  std::vector<CTextLine*> targets;
  for (size_t k = 0; k < intervals.size(); ++k) {
    targets.push_back(new CTextLine);
    region->m_lstTextLines.push_back(targets.back());
  }
  for (auto it = first; it != next; ++it) {
    if (CTextLine* band = AsLine(*it)) PourBand(*band, intervals, targets);
    delete *it;
    *it = nullptr;
  }
  *first = region;
  RecomputeBox(*region);
}

void MergeColumnsInto(std::vector<CTextLine*> columns, CTextLine& target) {
  if (columns.empty()) return;
  std::stable_sort(columns.begin(), columns.end(),
                   [](const CTextLine* a, const CTextLine* b) { return a->m_fX < b->m_fX; });
  TextList& lines = target.m_lstTextLines;
  if (columns.front() != &target) lines.splice(lines.end(), columns.front()->m_lstTextLines);
  for (size_t i = 1; i < columns.size(); ++i) {
    CTextLine* column = columns[i];
    if (column == &target) continue;
    if (!lines.empty())
      MergeColumnLines(*column, target);
    else
      lines.splice(lines.end(), column->m_lstTextLines);
  }
}

void BuildColumnRegions(nsPDFData::CTextPage& page) {
  TextList& blocks = page.m_lstTextLines;
  for (CTextBase* node : blocks)
    if (CTextLine* block = AsLine(node)) BuildGaps(*block, page.m_fWidth);
  SortBlocksByTop(blocks);
  if (blocks.empty()) return;
  CRun run = StartRun(blocks.begin());
  for (auto it = std::next(blocks.begin()); it != blocks.end(); ++it) {
    const CTextLine* band = AsLine(*it);
    if (!band) {
      CloseRun(blocks, run, it);
      run = StartRun(it);
      continue;
    }
    const COrderRange bandRange = GetOrderRange(*band);
    const std::vector<CBox> bandGaps = GapsOf(*band);
    std::vector<CBox> intersections = Intersections(MatchGaps(run.m_vecGaps, bandGaps), run.m_vecGaps, bandGaps);
    if (ContinuesRun(run, *band, bandGaps.size(), bandRange, intersections)) {
      JoinRun(run, *band, bandRange, std::move(intersections));
    } else {
      CloseRun(blocks, run, it);
      run = StartRun(it);
    }
  }
  CloseRun(blocks, run, blocks.end());
}

}  // namespace layout
