#pragma once
// The page-range grammar: items separated by ",", each a page number N or a span N-M, no
// spaces; numbers rise strictly and stay within the page count. Empty text and "all pages"
// (any case) mean every page.

#include <string>
#include <vector>

// True when `text` means every page: empty, or "all pages" in any case.
bool MeansAllPages(const std::wstring& text);

// True when `text` is a valid range for a document of `pageCount` pages.
bool CheckPageRange(const std::wstring& text, int pageCount);

// The pages a range names, in order: "1,3-5,19" gives 1, 3, 4, 5, 19. At most `pageCount`
// entries are returned, as a job never takes more; an unchecked text gives what its numbers
// spell, so check it first.
std::vector<int> GetPageList(const std::wstring& text, int pageCount);
