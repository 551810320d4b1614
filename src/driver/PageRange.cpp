#include "driver/PageRange.h"

#include <climits>
#include <cwctype>

bool MeansAllPages(const std::wstring& text) {
  if (text.empty()) return true;
  static const std::wstring kAll = L"ALL PAGES";
  if (text.size() != kAll.size()) return false;
  for (size_t i = 0; i < text.size(); ++i)
    if (static_cast<wchar_t>(std::towupper(static_cast<wint_t>(text[i]))) != kAll[i]) return false;
  return true;
}

namespace {

// Decimal conversion of text[begin, end): stops at the first non-digit, no digits give 0,
// and values past INT_MAX saturate (they fail every page-count test anyway).
int ToNumber(const std::wstring& text, size_t begin, size_t end) {
  long long value = 0;
  for (size_t i = begin; i < end && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(value);
}

}  // namespace

bool CheckPageRange(const std::wstring& text, int pageCount) {
  if (MeansAllPages(text)) return true;
  int previous = 0;
  size_t numberStart = 0;  // just after the last separator
  int dashes = 0;
  auto closeNumber = [&](size_t end) {
    const int number = ToNumber(text, numberStart, end);
    if (number <= previous || number > pageCount) return false;
    previous = number;
    numberStart = end + 1;
    return true;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c >= L'0' && c <= L'9') continue;
    if (c == L',') {
      dashes = 0;
      if (!closeNumber(i)) return false;
    } else if (c == L'-') {
      if (++dashes > 1) return false;
      if (!closeNumber(i)) return false;
    } else {
      return false;
    }
  }
  return closeNumber(text.size());
}

std::vector<int> GetPageList(const std::wstring& text, int pageCount) {
  std::vector<int> pages;
  if (pageCount <= 0) return pages;
  const size_t limit = static_cast<size_t>(pageCount);
  if (MeansAllPages(text)) {
    for (int page = 1; page <= pageCount; ++page) pages.push_back(page);
    return pages;
  }
  auto append = [&](int page) {
    if (pages.size() < limit) pages.push_back(page);
  };
  wchar_t pending = 0;  // the separator before the current number, none at first
  int previous = 0;
  size_t numberStart = 0;
  auto closeNumber = [&](size_t end) {
    const int number = ToNumber(text, numberStart, end);
    if (pending == L',') {
      append(previous);
    } else if (pending == L'-') {
      for (int page = previous; page < number && pages.size() < limit; ++page) append(page);
    }
    previous = number;
    numberStart = end + 1;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L',' || text[i] == L'-') {
      closeNumber(i);
      pending = text[i];
    }
  }
  closeNumber(text.size());
  append(previous);
  return pages;
}
