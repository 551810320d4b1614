#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "pptx/EmuScale.h"
#include "pptx/XmlText.h"

namespace {

TEST(EscapeXmlText, EscapesMarkupAndWritesTheBulletAsAMiddleDot) {
  struct Case {
    std::wstring m_strIn, m_strOut;
  } cases[] = {
      {L"R&D", L"R&amp;D"},
      {L"a<b>c", L"a&lt;b&gt;c"},
      {L"\x2022", L"&#183;"},
      {L"\"quoted\" 'single'", L"\"quoted\" 'single'"},
      {L"Caf\xE9 \x4E2D\x1F600", L"Caf\xE9 \x4E2D\x1F600"},
      {L"tab\tline\ncr\r", L"tab\tline\ncr\r"},
  };
  for (const Case& c : cases) EXPECT_EQ(EscapeXmlText(c.m_strIn), c.m_strOut) << c.m_strIn.size();
}

TEST(EscapeXmlText, DropsCharactersXmlForbids) {
  const std::wstring in{L'a', L'\0', L'\x01', L'\x08', L'\x0B', L'\x0C', L'\x0E', L'\x1F', L'b',
                        L'\xD800', L'\xDFFF', L'\xFFFE', L'\xFFFF', static_cast<wchar_t>(0x110000), L'c'};
  EXPECT_EQ(EscapeXmlText(in), L"abc");
  EXPECT_EQ(EscapeXmlAttribute(in), L"abc");
}

TEST(EscapeXmlAttribute, AlsoEscapesTheQuotationMark) {
  EXPECT_EQ(EscapeXmlAttribute(L"Font \"X\" & <Co>"), L"Font &quot;X&quot; &amp; &lt;Co&gt;");
}

TEST(FormatColor, TruncatesClampsAndPadsEachChannel) {
  struct Case {
    double m_adIn[3];
    const wchar_t* m_szOut;
  } cases[] = {
      {{255, 127.5, 0}, L"ff7f00"},
      {{0.02 * 255, 0, 0}, L"050000"},
      {{-3, 15.99, 16}, L"000f10"},
      {{255.9, 300, std::nan("")}, L"ffff00"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatColor(c.m_adIn[0], c.m_adIn[1], c.m_adIn[2]), c.m_szOut);
}

TEST(IntText, WritesPlainDecimalWithoutLocale) {
  EXPECT_EQ(IntText(0), L"0");
  EXPECT_EQ(IntText(-1270), L"-1270");
  EXPECT_EQ(IntText(10058400), L"10058400");
  EXPECT_EQ(TruncateToInt64(std::nan("")), 0);
  EXPECT_EQ(TruncateToInt64(-2.9), -2);
  EXPECT_GT(TruncateToInt64(std::numeric_limits<double>::infinity()), 0);
}

TEST(EmuScale, TruncatesPointsTimes12700) {
  const CEmuScale unit;
  EXPECT_EQ(unit.Emu(612), 7772400);
  EXPECT_EQ(unit.Emu(595.3f), 7560309);
  EXPECT_EQ(unit.Emu(0.1), 1270);
  EXPECT_EQ(unit.Emu(-0.1), -1270);
  EXPECT_EQ(unit.Hundredths(10.5), 1050);
  EXPECT_EQ(CEmuScale(0.5).Emu(612), 3886200);
  EXPECT_EQ(CEmuScale(0.5).Hundredths(12), 600);
}

// Slides take 1 to 56 inches per side: pages inside keep their exact size, pages outside
// scale as a whole, and a page too narrow for any factor has its short side clamped.
TEST(FitSlideSize, KeepsPagesInsideTheRangeAndScalesOthersByOneFactor) {
  struct Case {
    const char* m_szName;
    float m_fWidth, m_fHeight;
    double m_dScale;
    int64_t m_nCx, m_nCy;
  } cases[] = {
      {"Letter", 612, 792, 1, 7772400, 10058400},
      {"ExactLimits", 72, 4032, 1, 914400, 51206400},
      {"TooLarge", 8064, 4032, 0.5, 51206400, 25603200},
      {"TooSmall", 36, 48, 2, 914400, 1219200},
      {"TooNarrowForAnyFactor", 10, 8064, 0.5, 914400, 51206400},
      {"TooNarrowButShort", 1, 100, 1, 914400, 1270000},
      {"Empty", 0, 0, 1, 9144000, 6858000},
      {"NotANumber", std::nanf(""), 100, 1, 9144000, 6858000},
  };
  for (const Case& c : cases) {
    const CSlideGeometry geometry = FitSlideSize(c.m_fWidth, c.m_fHeight);
    EXPECT_DOUBLE_EQ(geometry.m_scale.Scale(), c.m_dScale) << c.m_szName;
    EXPECT_EQ(geometry.m_nWidthEmu, c.m_nCx) << c.m_szName;
    EXPECT_EQ(geometry.m_nHeightEmu, c.m_nCy) << c.m_szName;
  }
}

}  // namespace
