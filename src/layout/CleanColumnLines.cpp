#include "layout/CleanColumnLines.h"

namespace layout {

void CleanColumnLines(nsPDFData::CTextPage&) {}

}  // namespace layout
