#include "layout/JoinLineFragments.h"

namespace layout {

void JoinLineFragments(nsPDFData::CTextPage&) {}

}  // namespace layout
