#include "layout/BuildColumnRegions.h"

namespace layout {

void BuildColumnRegions(nsPDFData::CTextPage&) {}

}  // namespace layout
