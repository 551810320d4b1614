#include <gtest/gtest.h>

#include <string>

#include "ExpectedXml.h"
#include "PageModelBuilder.h"
#include "pptx/RunWriter.h"
#include "pptx/TextBoxWriter.h"

namespace {

using namespace pptx_test;

std::wstring Write(CTextLine& container, int angle, int id, bool floating, const CEmuScale& scale = CEmuScale()) {
  SlideRelList rels;
  CTextBoxWriter writer(rels, scale);
  const CTextBoxRect box{container.m_fX, container.m_fY, container.m_fWidth, container.m_fHeight};
  std::wstring out = writer.WriteTextBox(angle, container, id, floating, box);
  EXPECT_TRUE(rels.empty());
  return out;
}

// Gaps above lines become 10-point spacer paragraphs plus extra spacing, the left offset an
// indent, gaps between words space runs; escaping, size and colour go into the runs.
TEST(TextBoxWriter, WritesAColumnWithSpacersIndentAndSpaceRuns) {
  ScopedMeasure measure(FakeMeasure);
  CTextLine* column = NewColumn(100, 50, 200, 60, {
      NewLine(100, 50, 60, 12, {{L"R&D", 100, 50, 30, 12, 12, L"Fake", {1, 0.5, 0}},
                                {L"Lab\x2022", 139, 50, 20, 12, 12, L"Fake", {1, 0.5, 0}}}),
      NewLine(112, 87.75f, 10, 12, {{L"\"x\"", 112, 87.75f, 10, 12, 10.5, L"Sans \"Q\""}}),
      NewLine(100, 95, 10, 3, {{L"<", 100, 95, 10, 3, 5}}),
  });
  const std::wstring orange = L"ff7f00";
  const std::wstring expected =
      BoxHeader(7, L"<a:xfrm>", L"x=\"1270000\" y=\"635000\"", L"cx=\"2540000\" cy=\"762000\"") +
      Paragraph(L"0", L"1200", RunXml(L"1200", orange, L"Fake", L"R&amp;D") + RunXml(L"1200", orange, L"Fake", L"  ") +
                                   RunXml(L"1200", orange, L"Fake", L"Lab&#183;")) +
      Spacer() + Spacer() + Paragraph(L"152400", L"1775", RunXml(L"1050", L"000000", L"Sans &quot;Q&quot;", L"\"x\"")) +
      Paragraph(L"0", L"200", RunXml(L"500", L"000000", L"Fake", L"&lt;")) + kBoxEnd;
  EXPECT_EQ(Write(*column, 0, 7, false), expected);
  delete column;
}

TEST(TextBoxWriter, AColumnWithoutLinesGetsOneEmptyParagraph) {
  CTextLine* column = NewColumn(0, 0, 10, 10, {});
  const std::wstring body = Write(*column, 0, 0, false);
  EXPECT_NE(body.find(L"<a:lstStyle/>" + Tabs(5) + L"<a:p>" + Tabs(6) +
                      L"<a:endParaRPr lang=\"en-US\" dirty=\"0\" smtClean=\"0\"/>" + Tabs(4) + L"</a:p>" + kBoxEnd),
            std::wstring::npos)
      << std::string(body.begin(), body.end());
  delete column;
}

// The line under test follows a line whose bottom is at 12 points.
TEST(TextBoxWriter, LineSpacingFollowsTheGapAboveEachLine) {
  struct Case {
    const char* m_szName;
    float m_fTop;
    int m_nSpacers;
    const wchar_t* m_szSpacing;
  } cases[] = {
      {"NineAndAHalfBelow", 21.5f, 0, L"2150"},
      {"TenBelow", 22, 1, L"1200"},
      {"TwentyFiveAndThreeQuartersBelow", 37.75f, 2, L"1775"},
      {"OverlapsByLess", 10, 0, L"1000"},
      {"OverlapsByMoreThanItsHeight", -1, 0, L"200"},
  };
  for (const Case& c : cases) {
    CTextLine* column = NewColumn(0, 0, 100, 100, {NewLine(0, 0, 10, 12, {}), NewLine(0, c.m_fTop, 10, 12, {})});
    std::wstring tail;
    for (int i = 0; i < c.m_nSpacers; ++i) tail += Spacer();
    tail += Paragraph(L"0", c.m_szSpacing, L"") + kBoxEnd;
    const std::wstring head = BoxHeader(0, L"<a:xfrm>", L"x=\"0\" y=\"0\"", L"cx=\"1270000\" cy=\"1270000\"") +
                              Paragraph(L"0", L"1200", L"");
    EXPECT_EQ(Write(*column, 0, 0, false), head + tail) << c.m_szName;
    delete column;
  }
}

TEST(SpaceCount, ColumnGapsAreCountedInSpaceUnitsThenDamped) {
  struct Case {
    double m_dGap;
    int m_nSpaces;
  } cases[] = {{-4, 0}, {0, 0}, {1.9, 0}, {3, 1}, {5, 1}, {7, 1}, {9, 2}, {11, 2}, {17, 4}, {100, 25}};
  for (const Case& c : cases) EXPECT_EQ(ColumnSpaceCount(c.m_dGap, 2.0), c.m_nSpaces) << c.m_dGap;
  EXPECT_EQ(ColumnSpaceCount(10, 0), 0);
}

TEST(SpaceCount, TheUnitFallsBackToTheSecondFontThenToTheFontSize) {
  ScopedMeasure measure(FakeMeasure);
  auto* known = NewWord({L"a", 0, 0, 1, 1, 10, L"Fake"});
  auto* second = NewWord({L"a", 0, 0, 1, 1, 10, L"Missing"});
  second->m_strFontFace = L"Fake";
  auto* missing = NewWord({L"a", 0, 0, 1, 1, 10, L"Missing"});
  missing->m_strFontFace = L"Missing Too";
  EXPECT_DOUBLE_EQ(SpaceUnit(*known), 2.0);
  EXPECT_DOUBLE_EQ(SpaceUnit(*second), 2.0);
  EXPECT_DOUBLE_EQ(SpaceUnit(*missing), 2.0);  // 0.2 x 10 points
  missing->m_dFontSize = 20;
  EXPECT_DOUBLE_EQ(SpaceUnit(*missing), 4.0);
  for (auto* word : {known, second, missing}) delete word;
}

TEST(FloatTextAngle, SnapsToQuarterTurnsWithinTwoDegrees) {
  struct Case {
    float m_af[4];
    int m_nAngle;
  } cases[] = {
      {{1, 0, 0, 1}, 0},         // a drop capital
      {{0, -1, 1, 0}, 90},       // text running upward, as stored
      {{-1, 0, 0, -1}, 180},
      {{0, 1, -1, 0}, 270},
      {{0.7071f, -0.7071f, 0.7071f, 0.7071f}, 45},
      {{0.99996f, 0.0087f, -0.0087f, 0.99996f}, 0},    // 359.5 degrees
      {{0.99966f, -0.02618f, 0.02618f, 0.99966f}, 0},  // 1.5 degrees
      {{0.99966f, 0.02618f, -0.02618f, 0.99966f}, 358},  // 358.5 degrees: whole degrees are compared
      {{0, 0, 0, 0}, 0},         // degenerate
  };
  for (const Case& c : cases) {
    const float transform[6] = {c.m_af[0], c.m_af[1], c.m_af[2], c.m_af[3], 0, 0};
    EXPECT_EQ(FloatTextAngle(transform), c.m_nAngle) << c.m_af[0] << " " << c.m_af[1];
  }
}

// A quarter-turned box is turned about its centre, its sides swapped; its paragraph's
// spacing is the line's width, and the gaps run along the y axis without damping.
TEST(TextBoxWriter, WritesAFloatingLineTurnedBy90) {
  ScopedMeasure measure(FakeMeasure);
  CTextLine* line = NewLine(100, 200, 20, 80, {{L"up", 100, 250, 20, 30}, {L"top", 100, 200, 20, 40}});
  const std::wstring expected =
      BoxHeader(3, L"<a:xfrm rot=\"16200000\">", L"x=\"889000\" y=\"2921000\"", L"cx=\"1016000\" cy=\"254000\"") +
      Paragraph(L"0", L"2000", RunXml(L"1200", L"000000", L"Fake", L"up") + RunXml(L"1200", L"000000", L"Fake", L"     ") +
                                   RunXml(L"1200", L"000000", L"Fake", L"top")) +
      kBoxEnd;
  EXPECT_EQ(Write(*line, 90, 3, true), expected);
  delete line;
}

TEST(TextBoxWriter, FloatingSpaceCountsFollowTheAngle) {
  auto* p = NewWord({L"p", 100, 100, 10, 10});
  auto* j = NewWord({L"j", 120, 80, 10, 10});
  EXPECT_EQ(FloatSpaceCount(*p, *j, 0, 2.0), 5);    // 120 - 110
  EXPECT_EQ(FloatSpaceCount(*p, *j, 90, 2.0), 5);   // 100 - 90
  EXPECT_EQ(FloatSpaceCount(*p, *j, 180, 2.0), 0);  // 100 - 130 is negative
  EXPECT_EQ(FloatSpaceCount(*p, *j, 270, 2.0), 0);  // 80 - 110 is negative
  EXPECT_EQ(FloatSpaceCount(*p, *j, 45, 2.0), 1);
  delete p;
  delete j;
}

TEST(TextBoxWriter, ScalesEveryLengthByThePackageFactor) {
  ScopedMeasure measure(FakeMeasure);
  CTextLine* column = NewColumn(100, 50, 200, 60, {NewLine(110, 50, 60, 12, {{L"a", 110, 50, 30, 12, 12}})});
  const std::wstring expected =
      BoxHeader(0, L"<a:xfrm>", L"x=\"635000\" y=\"317500\"", L"cx=\"1270000\" cy=\"381000\"") +
      Paragraph(L"63500", L"600", RunXml(L"600", L"000000", L"Fake", L"a")) + kBoxEnd;
  EXPECT_EQ(Write(*column, 0, 0, false, CEmuScale(0.5)), expected);
  delete column;
}

}  // namespace
