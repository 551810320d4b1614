#include "platform/Strings.h"

#include <gtest/gtest.h>

namespace {

TEST(Strings, RoundTripsEveryPlane) {
  const std::wstring text = L"A\u00E9\u4E2D\U0001F600";
  auto utf8 = platform::WideToUtf8(text);
  ASSERT_TRUE(utf8);
  EXPECT_EQ(*utf8, "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80");
  EXPECT_EQ(platform::Utf8ToWide(*utf8), text);
}

TEST(Strings, RefusesWhatUtf8CannotCarry) {
  EXPECT_FALSE(platform::WideToUtf8(std::wstring(1, L'\xD800')));
  EXPECT_FALSE(platform::WideToUtf8(std::wstring(1, static_cast<wchar_t>(0x110000))));
  EXPECT_FALSE(platform::ToPath(std::wstring(1, L'\xDFFF')));
  EXPECT_EQ(platform::WideToUtf8Lossy(std::wstring(1, L'\xD800')), "\xEF\xBF\xBD");
}

TEST(Strings, MalformedUtf8BecomesReplacementCharacters) {
  struct Case {
    std::string in;
    std::wstring out;
  };
  const Case cases[] = {
      {"\xC3", L"\uFFFD"},                       // truncated sequence
      {"\xC0\xAF", L"\uFFFD\uFFFD"},             // overlong slash
      {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},   // encoded surrogate
      {"a\xFFz", L"a\uFFFDz"},
      {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
  };
  for (const auto& c : cases) EXPECT_EQ(platform::Utf8ToWide(c.in), c.out);
}

}  // namespace
