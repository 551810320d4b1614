#pragma once
// Contained-text test: one piece of text repeats inside the other; the smaller one goes.

#include "capture/TextPage.h"

namespace layout {

enum class EContainedResult { None, DropC, DropP };

// Line level: tests two text lines. Changes nothing; the caller destroys what is named.
EContainedResult FindContainedText(const nsPDFData::CTextLine& p, const nsPDFData::CTextLine& c);

// Block level: the same test on the first text line of the first column of each block.
EContainedResult FindContainedBlockText(const nsPDFData::CTextLine& p, const nsPDFData::CTextLine& c);

}  // namespace layout
