// The page-range grammar on any text. Input: the page count in decimal (clamped to
// +-40000), a newline, then the range as UTF-8. A range that checks must list rising pages
// within the count; no text may list more pages than the count.

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "driver/PageRange.h"
#include "platform/Strings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t newline = input.find('\n');
  if (newline == std::string_view::npos) return 0;
  long long count = 0;
  std::from_chars(input.data(), input.data() + newline, count);
  const int pageCount = static_cast<int>(std::clamp(count, -40000LL, 40000LL));
  const std::wstring text = platform::Utf8ToWide(input.substr(newline + 1));
  const bool valid = CheckPageRange(text, pageCount);
  const std::vector<int> pages = GetPageList(text, pageCount);
  if (pageCount <= 0 && !pages.empty()) fuzzing::Fail("pages listed for a document without pages");
  if (pageCount > 0 && pages.size() > static_cast<size_t>(pageCount)) fuzzing::Fail("more pages than the count");
  if (!valid) return 0;
  if (pageCount > 0 && pages.empty()) fuzzing::Fail("a valid range listed no page");
  int previous = 0;
  for (int page : pages) {
    if (page <= previous || page > pageCount) fuzzing::Fail("a valid range listed a page out of order or range");
    previous = page;
  }
  return 0;
}
