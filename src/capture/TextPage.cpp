#include "capture/TextPage.h"

namespace nsPDFData {

namespace {

template <typename Container>
void DeleteAll(Container& items) {
  for (auto* item : items) delete item;
  items.clear();
}

}  // namespace

CTextLine::~CTextLine() {
  DeleteAll(m_lstTextWords);
  DeleteAll(m_lstTextLines);
  DeleteAll(m_vecGaps);
}

CPathObj::~CPathObj() { DeleteAll(m_vecSegs); }

CTextPage::~CTextPage() {
  DeleteAll(m_lstTextLines);
  DeleteAll(m_vecPaths);
  DeleteAll(m_lstImages);
  DeleteAll(m_vecFloatTexts);
}

}  // namespace nsPDFData
