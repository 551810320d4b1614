#include "layout/MergeDuplicateWords.h"

namespace layout {

bool MergeDuplicateWords(nsPDFData::CTextLine&, nsPDFData::CTextLine&) { return false; }

bool MergeDuplicateBlockWords(nsPDFData::CTextLine&, nsPDFData::CTextLine&) { return false; }

}  // namespace layout
