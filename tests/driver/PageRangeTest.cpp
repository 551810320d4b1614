#include "driver/PageRange.h"

#include <gtest/gtest.h>

namespace {

TEST(PageRange, CheckAcceptsOnlyStrictlyRisingNumbersWithinTheCount) {
  struct Case {
    const wchar_t* text;
    int pageCount;
    bool valid;
  };
  const Case cases[] = {
      {L"", 5, true},
      {L"All Pages", 5, true},
      {L"all pages", 5, true},
      {L"ALL PAGES", 0, true},
      {L"1,3-5,19", 19, true},
      {L"1,3-5,19", 18, false},
      {L"7", 7, true},
      {L"2-4", 4, true},
      {L"1-3,5-7", 7, true},
      {L"3-1", 5, false},
      {L"2,2", 5, false},
      {L"0", 5, false},
      {L"1,,2", 5, false},
      {L"5-", 9, false},
      {L"-3", 9, false},
      {L",3", 9, false},
      {L"1, 2", 5, false},
      {L" 1", 5, false},
      {L"4-5-6", 9, false},
      {L"1-2,3-4", 9, true},
      {L"1;2", 5, false},
      {L"all", 5, false},
      {L"99999999999999999999", 5, false},
      {L"1,2", 0, false},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckPageRange(c.text, c.pageCount), c.valid) << '"' << c.text << '"';
}

TEST(PageRange, PageListSpellsTheRangeInOrder) {
  struct Case {
    const wchar_t* text;
    int pageCount;
    std::vector<int> pages;
  };
  const Case cases[] = {
      {L"1,3-5,19", 19, {1, 3, 4, 5, 19}},
      {L"2-4", 9, {2, 3, 4}},
      {L"7", 9, {7}},
      {L"", 3, {1, 2, 3}},
      {L"All pages", 2, {1, 2}},
      {L"1-3,5-7", 9, {1, 2, 3, 5, 6, 7}},
      {L"1,1,1", 1, {1}},                  // a job never takes more entries than pages
      {L"1-1000000000", 4, {1, 2, 3, 4}},  // and never builds more than it takes
      {L"2", 0, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(GetPageList(c.text, c.pageCount), c.pages) << '"' << c.text << '"';
}

}  // namespace
