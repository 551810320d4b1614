#include "driver/OutputKind.h"

#include <array>

namespace {

struct KindRow {
  int m_nKind;
  const wchar_t* m_pszName;
  const wchar_t* m_pszExtension;
  bool m_bFolder;
};

constexpr std::array<KindRow, 8> kKinds = {{
    {KIND_WORD, L"Word", L".docx", false},
    {KIND_POWERPOINT, L"PowerPoint", L".pptx", false},
    {KIND_EXCEL, L"Excel", L".xlsx", false},
    {KIND_CSV, L"CSV", L"", true},
    {KIND_TEXT, L"Text", L".txt", false},
    {KIND_EPUB, L"EPub", L".epub", false},
    {KIND_HTML, L"Html", L"", true},
    {KIND_IMAGE, L"Image", L"", true},
}};

const KindRow* FindKind(int kind) {
  for (const auto& row : kKinds)
    if (row.m_nKind == kind) return &row;
  return nullptr;
}

}  // namespace

std::wstring GetKindName(int kind) {
  const KindRow* row = FindKind(kind);
  return row ? row->m_pszName : L"";
}

std::wstring GetKindExtension(int kind) {
  const KindRow* row = FindKind(kind);
  return row ? row->m_pszExtension : L"";
}

bool IsFolderKind(int kind) {
  const KindRow* row = FindKind(kind);
  return row && row->m_bFolder;
}
