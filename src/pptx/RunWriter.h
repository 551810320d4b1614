#pragma once
// Runs of a text line: one run per word carrying its font, size and colour, and between
// two words a run of spaces whose count estimates the gap from the width of a space in the
// font of the word before it.

#include <string>

#include "pptx/EmuScale.h"
#include "pptx/SlideRel.h"

namespace nsPDFData {
class CTextLine;
class CTextWord;
}  // namespace nsPDFData

// Width in points that one space character stands for after `word`: 0.4 x the measured
// width of a space in the word's font (then in its second font name), or 0.2 x the font
// size when neither is installed or the width is 0. Measures through the process-wide
// hook; no hook counts as no font. Never fails.
double SpaceUnit(const nsPDFData::CTextWord& word);

// Spaces for a gap between two words of a column line: a negative gap counts as 0; 2 or 3
// spaces become 1 and 4 or more are halved, because a measured space overestimates the
// gaps that justified text leaves. Never negative.
int ColumnSpaceCount(double gap, double unit);

// Spaces before `word` after `previous` in a floating line turned by `angle` degrees: the
// gap is taken along the line's reading direction; angles other than 0, 90, 180 and 270
// give one space. Never negative.
int FloatSpaceCount(const nsPDFData::CTextWord& previous, const nsPDFData::CTextWord& word, int angle,
                    double unit);

class CRunWriter {
 public:
  // `rels` is the slide's relationship list (hyperlinks of linked words append to it).
  CRunWriter(SlideRelList& rels, const CEmuScale& scale) : m_rels(rels), m_scale(scale) {}

  // The runs of `line` in a column box (`floating` false) or in a floating box turned by
  // `angle` degrees. Never fails.
  std::wstring WriteLineRuns(const nsPDFData::CTextLine& line, bool floating, int angle);

 private:
  std::wstring WordRun(const nsPDFData::CTextWord& word);
  std::wstring SpaceRun(const nsPDFData::CTextWord& previous, int count);
  // One a:r element; `text` is already escaped. `linkXml` goes inside the run properties.
  std::wstring Run(const nsPDFData::CTextWord& style, const std::wstring& text, const std::wstring& linkXml);

  SlideRelList& m_rels;      // the slide's relationships, for hyperlinks
  const CEmuScale m_scale;   // the package's length scale
};
