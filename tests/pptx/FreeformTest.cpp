#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ExpectedXml.h"
#include "ShapeModelBuilder.h"
#include "pptx/FreeformWriter.h"

namespace {

using namespace pptx_test;

std::wstring Point(const std::wstring& x, const std::wstring& y) {
  return Tabs(9) + L"<a:pt x=\"" + x + L"\" y=\"" + y + L"\" />";
}

std::wstring Guides(int p, const std::wstring& x, const std::wstring& y, const std::wstring& w, const std::wstring& h) {
  const std::wstring n = std::to_wstring(p);
  return Tabs(7) + L"<a:gd name=\"connsiteX" + n + L"\" fmla=\"*/ " + x + L" w " + w + L"\"/>" + Tabs(7) +
         L"<a:gd name=\"connsiteY" + n + L"\" fmla=\"*/ " + y + L" h " + h + L"\"/>";
}

std::wstring Site(int p) {
  const std::wstring n = std::to_wstring(p);
  return Tabs(7) + L"<a:cxn ang=\"0\">" + Tabs(8) + L"<a:pos x=\"connsiteX" + n + L"\" y=\"connsiteY" + n + L"\" />" +
         Tabs(7) + L"</a:cxn>";
}

const std::wstring kStyleAndBody =
    Tabs(4) + L"</p:spPr>" + Tabs(4) + L"<p:style>" + Tabs(5) + L"<a:lnRef idx=\"2\">" + Tabs(6) +
    L"<a:schemeClr val=\"accent1\"/>" + Tabs(5) + L"</a:lnRef>" + Tabs(5) + L"<a:fillRef idx=\"0\">" + Tabs(6) +
    L"<a:schemeClr val=\"accent1\"/>" + Tabs(5) + L"</a:fillRef>" + Tabs(5) + L"<a:effectRef idx=\"1\">" + Tabs(6) +
    L"<a:schemeClr val=\"accent1\"/>" + Tabs(5) + L"</a:effectRef>" + Tabs(5) + L"<a:fontRef idx=\"minor\">" +
    Tabs(6) + L"<a:schemeClr val=\"tx1\"/>" + Tabs(5) + L"</a:fontRef>" + Tabs(4) + L"</p:style>" + Tabs(4) +
    L"<p:txBody>" + Tabs(5) + L"<a:bodyPr rtlCol=\"0\" anchor=\"ctr\"/>" + Tabs(5) + L"<a:lstStyle/>" + Tabs(5) +
    L"<a:p>" + Tabs(6) + L"<a:pPr algn=\"ctr\"/>" + Tabs(6) + L"<a:endParaRPr lang=\"en-US\"/>" + Tabs(5) +
    L"</a:p>" + Tabs(4) + L"</p:txBody>" + Tabs(3) + L"</p:sp>";

// A filled and dashed rectangle, every byte: ten guides and five sites for points 0 to 4,
// a move, four lines and a close, the fill and the outline of the first segment.
TEST(FreeformWriter, WritesAClosedRectangleByteForByte) {
  std::unique_ptr<CPathObj> path(NewRectPath(10, 20, 100, 50));
  Fill(*path, 0, 0, 255);
  Stroke(*path, 255, 0, 0, 2, 2);
  const std::wstring w = L"1270000", h = L"635000";
  const std::wstring expected =
      Tabs(3) + L"<p:sp>" + Tabs(4) + L"<p:nvSpPr>" + Tabs(5) + L"<p:cNvPr id=\"7\" name=\"Freeform 7\"> " + Tabs(4) +
      L"</p:cNvPr>" + Tabs(5) + L" <p:cNvSpPr />" + Tabs(5) + L"<p:nvPr />" + Tabs(4) + L"</p:nvSpPr>" + Tabs(4) +
      L"<p:spPr>" + Tabs(5) + L"<a:xfrm>" + Tabs(6) + L"<a:off x=\"127000\" y=\"254000\" />" + Tabs(6) +
      L"<a:ext cx=\"1270000\" cy=\"635000\" />" + Tabs(5) + L"</a:xfrm>" + Tabs(5) + L"<a:custGeom>" + Tabs(6) +
      L"<a:avLst />" + Tabs(6) + L"<a:gdLst>" + Guides(0, L"0", L"0", w, h) + Guides(1, w, L"0", w, h) +
      Guides(2, w, h, w, h) + Guides(3, L"0", h, w, h) + Guides(4, L"0", L"0", w, h) + Tabs(6) + L"</a:gdLst>" +
      Tabs(6) + L"<a:ahLst/>" + Tabs(6) + L"<a:cxnLst>" + Site(0) + Site(1) + Site(2) + Site(3) + Site(4) + Tabs(6) +
      L"</a:cxnLst>" + Tabs(6) + L"<a:rect l=\"l\" t=\"t\" r=\"r\" b=\"b\"/>" + Tabs(6) + L"<a:pathLst>" + Tabs(7) +
      L"<a:path w=\"1270000\" h=\"635000\">" + Tabs(8) + L"<a:moveTo>" + Point(L"0", L"0") + Tabs(8) +
      L"</a:moveTo>" + Tabs(8) + L"<a:lnTo>" + Point(w, L"0") + Tabs(8) + L"</a:lnTo>" + Tabs(8) + L"<a:lnTo>" +
      Point(w, h) + Tabs(8) + L"</a:lnTo>" + Tabs(8) + L"<a:lnTo>" + Point(L"0", h) + Tabs(8) + L"</a:lnTo>" +
      Tabs(8) + L"<a:lnTo>" + Point(L"0", L"0") + Tabs(8) + L"</a:lnTo>" + Tabs(8) + L"<a:close />" + Tabs(7) +
      L"</a:path>" + Tabs(6) + L"</a:pathLst>" + Tabs(5) + L"</a:custGeom>" + Tabs(5) + L"<a:solidFill>" + Tabs(6) +
      L" <a:srgbClr val=\"0000ff\">" + Tabs(7) + L"<a:alpha val=\"100000\" />" + Tabs(6) + L"</a:srgbClr>" +
      Tabs(5) + L"</a:solidFill>" + Tabs(5) + L"<a:ln w=\"25400\">" + Tabs(6) + L"<a:solidFill>" + Tabs(7) +
      L"<a:srgbClr val=\"ff0000\">" + Tabs(8) + L"<a:alpha val=\"100000\" />" + Tabs(7) + L"</a:srgbClr>" + Tabs(6) +
      L"</a:solidFill>" + Tabs(6) + L"<a:prstDash val=\"dash\" />" + Tabs(5) + L"</a:ln>" + kStyleAndBody;
  EXPECT_EQ(WriteFreeform(CEmuScale(), 7, *path), expected);
}

// Marks of the fill and of the close command, which only closed paths carry.
const std::wstring kFillMark = L"\t <a:srgbClr";
const std::wstring kCloseMark = L"<a:close />";

struct FreeformCase {
  const char* m_szName;
  std::function<CPathObj*()> m_build;
  std::vector<std::wstring> m_vecPresent;  // pieces the XML must hold
  std::vector<std::wstring> m_vecAbsent;   // pieces it must not hold
};

std::vector<FreeformCase> Cases() {
  return {
      {"single straight segment: zero height, local coordinates from the box",
       [] {
         CPathObj* path = NewPathObj(10, 20, 100, 0, {NewLineSeg(10, 20, 110, 20)});
         Stroke(*path, 0, 0, 0, 1);
         return path;
       },
       {L"<a:path w=\"1270000\" h=\"0\">", L"<a:moveTo>" + Point(L"0", L"0"), L"<a:lnTo>" + Point(L"1270000", L"0"),
        L"fmla=\"*/ 1270000 w 1270000\"", L"fmla=\"*/ 0 h 0\"", L"<a:ln w=\"12700\">"},
       {kCloseMark, kFillMark, L"connsiteX2", L"prstDash"}},
      {"two segments back to the start are not closed",
       [] {
         CPathObj* path = NewPathObj(0, 0, 10, 10, {NewLineSeg(0, 0, 10, 10), NewLineSeg(10, 10, 0, 0)});
         Fill(*path, 0, 0, 0);
         return path;
       },
       {L"connsiteY2"},
       {kCloseMark, kFillMark}},
      {"three segments that do not return are open",
       [] {
         return NewPathObj(0, 0, 10, 10, {NewLineSeg(0, 0, 10, 0), NewLineSeg(10, 0, 10, 10), NewLineSeg(10, 10, 0, 9)});
       },
       {},
       {kCloseMark, kFillMark}},
      {"a curve goes through both control points to its end point",
       [] {
         return NewPathObj(100, 100, 40, 20, {NewCurveSeg(100, 120, 110, 100, 130, 100, 140, 120)});
       },
       {L"<a:cubicBezTo>" + Point(L"127000", L"0") + Point(L"381000", L"0") + Point(L"508000", L"254000") + Tabs(8) +
        L"</a:cubicBezTo>"},
       {L"<a:lnTo>"}},
      {"a segment flagged as a curve whose control points lie on its start is a line",
       [] {
         CPathObj* path = NewPathObj(0, 0, 10, 0, {NewLineSeg(0, 0, 10, 0)});
         path->m_vecSegs.front()->m_bCurve = 1;
         return path;
       },
       {L"<a:lnTo>"},
       {L"<a:cubicBezTo>"}},
      {"an outline wider than 1584 becomes the 0.75-point hairline",
       [] {
         CPathObj* path = NewRectPath(0, 0, 10, 10);
         Stroke(*path, 0, 0, 0, 2000);
         return path;
       },
       {L"<a:ln w=\"9525\">"},
       {}},
      {"an outline of exactly 1584 stays",
       [] {
         CPathObj* path = NewRectPath(0, 0, 10, 10);
         Stroke(*path, 0, 0, 0, 1584);
         return path;
       },
       {L"<a:ln w=\"20116800\">"},
       {}},
      {"a fill-only closed path has an outline of alpha 0",
       [] {
         CPathObj* path = NewRectPath(0, 0, 10, 10);
         Fill(*path, 255, 255, 0);
         return path;
       },
       {L" <a:srgbClr val=\"ffff00\">" + Tabs(7) + L"<a:alpha val=\"100000\" />",
        L"<a:srgbClr val=\"000000\">" + Tabs(8) + L"<a:alpha val=\"0\" />"},
       {}},
      {"a stroke-only closed path has a fill of alpha 0",
       [] {
         CPathObj* path = NewRectPath(0, 0, 10, 10);
         Stroke(*path, 0, 128, 0, 1);
         return path;
       },
       {L" <a:srgbClr val=\"000000\">" + Tabs(7) + L"<a:alpha val=\"0\" />",
        L"<a:srgbClr val=\"008000\">" + Tabs(8) + L"<a:alpha val=\"100000\" />"},
       {}},
      {"a thin rectangle captured as one stroked line keeps its height as the width",
       [] {
         CPathObj* path = NewPathObj(50, 300, 200, 0, {NewLineSeg(50, 300, 250, 300)});
         Stroke(*path, 0, 0, 0, 0.5f);
         CPathSeg& seg = *path->m_vecSegs.front();
         seg.m_fX = 50;
         seg.m_fY = 299.75f;
         seg.m_fWidth = 200;
         seg.m_fHeight = 0.5f;
         return path;
       },
       {L"<a:off x=\"635000\" y=\"3810000\" />", L"<a:lnTo>" + Point(L"2540000", L"0"), L"<a:ln w=\"6350\">"},
       {kCloseMark, kFillMark}},
      {"only the first segment's paint counts",
       [] {
         CPathObj* path = NewPathObj(0, 0, 20, 0, {NewLineSeg(0, 0, 10, 0), NewLineSeg(10, 0, 20, 0)});
         Stroke(*path, 255, 0, 0, 1, 1);
         CPathSeg& second = *path->m_vecSegs.back();
         second.m_bStroked = 1;
         second.m_dStrokeAlpha = 255;
         second.m_dBlue = 255;
         second.m_nDash = 4;
         return path;
       },
       {L"<a:srgbClr val=\"ff0000\">", L"<a:prstDash val=\"lgDash\" />"},
       {L"0000ff", L"dashDot"}},
  };
}

TEST(FreeformWriter, WritesGeometryFillAndOutlineByCase) {
  for (const FreeformCase& c : Cases()) {
    SCOPED_TRACE(c.m_szName);
    std::unique_ptr<CPathObj> path(c.m_build());
    const std::wstring xml = WriteFreeform(CEmuScale(), 3, *path);
    for (const std::wstring& piece : c.m_vecPresent) EXPECT_NE(xml.find(piece), std::wstring::npos) << "lacks a piece";
    for (const std::wstring& piece : c.m_vecAbsent) EXPECT_EQ(xml.find(piece), std::wstring::npos) << "holds a piece";
  }
}

TEST(FreeformWriter, NamesTheFourDashCodesAndNothingElse) {
  const struct {
    int m_nDash;
    const wchar_t* m_szName;  // null: no dash element
  } cases[] = {{0, nullptr}, {1, L"lgDash"}, {2, L"dash"}, {3, L"lgDashDot"}, {4, L"dashDot"}, {5, nullptr}, {-1, nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.m_nDash);
    std::unique_ptr<CPathObj> path(NewRectPath(0, 0, 10, 10));
    Stroke(*path, 0, 0, 0, 1, c.m_nDash);
    const std::wstring xml = WriteFreeform(CEmuScale(), 0, *path);
    if (c.m_szName) {
      EXPECT_NE(xml.find(Tabs(6) + L"<a:prstDash val=\"" + c.m_szName + L"\" />" + Tabs(5) + L"</a:ln>"),
                std::wstring::npos);
    } else {
      EXPECT_EQ(xml.find(L"prstDash"), std::wstring::npos);
    }
  }
}

TEST(FreeformWriter, AlphaTruncatesTheOpacityFraction) {
  EXPECT_EQ(AlphaValue(255), 100000);
  EXPECT_EQ(AlphaValue(0), 0);
  EXPECT_EQ(AlphaValue(127.5), 50000);
  EXPECT_EQ(AlphaValue(1), 392);  // 392.15...
}

TEST(FreeformWriter, APathWithoutSegmentsGivesNothing) {
  CPathObj empty;
  EXPECT_EQ(WriteFreeform(CEmuScale(), 0, empty), L"");
  empty.m_vecSegs.push_back(nullptr);  // a damaged model: no segment to write either
  EXPECT_EQ(WriteFreeform(CEmuScale(), 0, empty), L"");
}

// A package scaled into the slide size range scales the box, the guides, the path and
// the outline alike, so the shape keeps its place relative to the slide.
TEST(FreeformWriter, TheLengthScaleAppliesToEveryLength) {
  std::unique_ptr<CPathObj> path(NewRectPath(10, 20, 100, 50));
  Stroke(*path, 0, 0, 0, 2);
  const std::wstring xml = WriteFreeform(CEmuScale(0.5), 0, *path);
  for (const std::wstring& piece : {std::wstring(L"<a:off x=\"63500\" y=\"127000\" />"),
                                    std::wstring(L"<a:ext cx=\"635000\" cy=\"317500\" />"),
                                    std::wstring(L"fmla=\"*/ 635000 w 635000\""), std::wstring(L"<a:path w=\"635000\" h=\"317500\">"),
                                    std::wstring(L"<a:ln w=\"12700\">")})
    EXPECT_NE(xml.find(piece), std::wstring::npos);
}

}  // namespace
