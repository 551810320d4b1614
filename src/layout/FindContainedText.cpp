#include "layout/FindContainedText.h"

namespace layout {

EContainedResult FindContainedText(const nsPDFData::CTextLine&, const nsPDFData::CTextLine&) {
  return EContainedResult::None;
}

EContainedResult FindContainedBlockText(const nsPDFData::CTextLine&, const nsPDFData::CTextLine&) {
  return EContainedResult::None;
}

}  // namespace layout
