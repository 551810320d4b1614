#pragma once
// Contained-text test: one piece of text repeats inside the other; the smaller one goes.

#include "capture/TextPage.h"

namespace layout {

enum class EContainedResult { None, DropC, DropP };

// Line level: the text of a line is its words' texts concatenated without separators.
// DropC when c's text occurs in p's (an empty text always does), else DropP when p's occurs
// in c's, else None. Changes nothing; the caller destroys what is named. Never fails.
EContainedResult FindContainedText(const nsPDFData::CTextLine& p, const nsPDFData::CTextLine& c);

// Block level: the same test on the first text line of the first column of each block; a
// block without such a line counts as empty text.
EContainedResult FindContainedBlockText(const nsPDFData::CTextLine& p, const nsPDFData::CTextLine& c);

}  // namespace layout
