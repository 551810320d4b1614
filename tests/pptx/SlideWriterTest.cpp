#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ExpectedXml.h"
#include "PageModelBuilder.h"
#include "pptx/DrawOrder.h"
#include "pptx/SlideWriter.h"

namespace {

using namespace pptx_test;

const std::wstring kSlideHead =
    L"<p:sld xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
    L"xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
    L"xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\">"
    L"\n\t<p:cSld>\n\t\t<p:spTree>\n\t\t\t<p:nvGrpSpPr>\n\t\t\t\t<p:cNvPr id=\"1\" name=\"\"/>\n\t\t\t\t<p:cNvGrpSpPr/>"
    L"\n\t\t\t\t<p:nvPr/>\n\t\t\t</p:nvGrpSpPr>\n\t\t\t<p:grpSpPr>\n\t\t\t\t<a:xfrm>\n\t\t\t\t\t<a:off x=\"0\" y=\"0\"/>"
    L"\n\t\t\t\t\t<a:ext cx=\"0\" cy=\"0\"/>\n\t\t\t\t\t<a:chOff x=\"0\" y=\"0\"/>\n\t\t\t\t\t<a:chExt cx=\"0\" cy=\"0\"/>"
    L"\n\t\t\t\t</a:xfrm>\n\t\t\t</p:grpSpPr>";
const std::wstring kSlideTail =
    L"\n\t\t</p:spTree>\n\t</p:cSld>\n\t<p:clrMapOvr>\n\t\t<a:masterClrMapping/>\n\t</p:clrMapOvr>\n</p:sld>";
const std::wstring kRelsHead =
    L"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    L"\n<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    L"\n\t<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/slideLayout\" "
    L"Target=\"../slideLayouts/slideLayout1.xml\"/>";

std::vector<std::wstring> ShapeNames(const std::wstring& slide) {
  std::vector<std::wstring> names;
  const std::wstring key = L"name=\"";
  for (size_t at = slide.find(key); at != std::wstring::npos; at = slide.find(key, at + 1)) {
    const size_t start = at + key.size();
    names.push_back(slide.substr(start, slide.find(L'"', start) - start));
  }
  return names;
}

TEST(SlideWriter, AnEmptyPageGivesAnEmptyShapeTreeAndOnlyTheLayoutRelationship) {
  CTextPage page;
  int shapeId = 0, pictureCount = 0;
  CSlideWriter writer(CEmuScale(), shapeId, pictureCount);
  writer.AddPage(page);
  EXPECT_EQ(writer.BuildSlidePart(), kSlideHead + kSlideTail);
  EXPECT_EQ(writer.BuildSlideRels(), kRelsHead + L"\n</Relationships>");
  EXPECT_EQ(shapeId, 0);
}

// Floating lines come before the page's text; blocks and columns keep their list order.
// Ids continue across slides from the package-wide counter, starting at 0.
TEST(SlideWriter, WritesFloatingLinesThenColumnsWithIdsContinuingAcrossSlides) {
  CTextPage page;
  AddBlock(page, {NewColumn(10, 10, 50, 12, {NewLine(10, 10, 50, 12, {{L"left", 10, 10, 50, 12}})}),
                  NewColumn(70, 10, 50, 12, {NewLine(70, 10, 50, 12, {{L"right", 70, 10, 50, 12}})})});
  AddBlock(page, {NewColumn(10, 40, 50, 12, {NewLine(10, 40, 50, 12, {{L"below", 10, 40, 50, 12}})})});
  AddFloatingLine(page, NewLine(5, 100, 40, 40, {{L"D", 5, 100, 40, 40}}), 1, 0, 0, 1);

  int shapeId = 0, pictureCount = 0;
  const CEmuScale scale;
  CSlideWriter first(scale, shapeId, pictureCount);
  first.AddPage(page);
  const std::wstring slide = first.BuildSlidePart();
  EXPECT_EQ(ShapeNames(slide), (std::vector<std::wstring>{L"", L"TextBox 0", L"TextBox 1", L"TextBox 2", L"TextBox 3"}));
  const size_t d = slide.find(L"<a:t>D<"), left = slide.find(L"<a:t>left<"), right = slide.find(L"<a:t>right<"),
               below = slide.find(L"<a:t>below<");
  EXPECT_LT(d, left);
  EXPECT_LT(left, right);
  EXPECT_LT(right, below);
  EXPECT_NE(below, std::wstring::npos);
  EXPECT_EQ(slide.substr(0, kSlideHead.size()), kSlideHead);
  EXPECT_EQ(slide.substr(slide.size() - kSlideTail.size()), kSlideTail);
  EXPECT_EQ(slide.find(L"\n\t\t\t<p:sp>"), kSlideHead.size());

  CSlideWriter second(scale, shapeId, pictureCount);
  second.AddPage(page);
  EXPECT_EQ(ShapeNames(second.BuildSlidePart()),
            (std::vector<std::wstring>{L"", L"TextBox 4", L"TextBox 5", L"TextBox 6", L"TextBox 7"}));
  EXPECT_EQ(shapeId, 8);
}

// A drop capital and a one-line column, byte for byte: the floating box first, then the
// column; two words whose boxes touch get an empty space run.
TEST(SlideWriter, WritesASmallPageByteForByte) {
  ScopedMeasure measure(FakeMeasure);
  CTextPage page;
  SetBox(page, 0, 0, 612, 792);
  AddBlock(page, {NewColumn(100, 100, 80, 12, {NewLine(100, 100, 80, 12, {{L"Hello", 100, 100, 30, 12},
                                                                            {L"world", 130, 100, 50, 12}})})});
  AddFloatingLine(page, NewLine(50, 90, 40, 48, {{L"D", 50, 90, 40, 48, 48, L"Serif", {0, 0, 1}}}), 1, 0, 0, 1);
  int shapeId = 0, pictureCount = 0;
  CSlideWriter writer(CEmuScale(), shapeId, pictureCount);
  writer.AddPage(page);
  const std::wstring black = L"000000";
  const std::wstring expected =
      kSlideHead +
      BoxHeader(0, L"<a:xfrm>", L"x=\"635000\" y=\"1143000\"", L"cx=\"508000\" cy=\"609600\"") +
      Paragraph(L"0", L"4800", RunXml(L"4800", L"0000ff", L"Serif", L"D")) + kBoxEnd +
      BoxHeader(1, L"<a:xfrm>", L"x=\"1270000\" y=\"1270000\"", L"cx=\"1016000\" cy=\"152400\"") +
      Paragraph(L"0", L"1200", RunXml(L"1200", black, L"Fake", L"Hello") + RunXml(L"1200", black, L"Fake", L"") +
                                   RunXml(L"1200", black, L"Fake", L"world")) +
      kBoxEnd + kSlideTail;
  EXPECT_EQ(writer.BuildSlidePart(), expected);
  EXPECT_EQ(writer.BuildSlideRels(), kRelsHead + L"\n</Relationships>");
}

TEST(SlideWriter, NumbersRelationshipsFromRId2ByRecordType) {
  int shapeId = 0, pictureCount = 0;
  CSlideWriter writer(CEmuScale(), shapeId, pictureCount);
  writer.Relationships() = {{SLIDE_REL_PICTURE, L"image3"},
                            {SLIDE_REL_WEB, L"http://example.com/a"},
                            {SLIDE_REL_EMAIL, L"mailto:a@b.c"},
                            {SLIDE_REL_SLIDE, L"2"}};
  const std::wstring ns = L"http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
  EXPECT_EQ(writer.BuildSlideRels(),
            kRelsHead + L"\n\t<Relationship Id=\"rId2\" Type=\"" + ns + L"image\" Target=\"../media/image3.jpeg\"/>" +
                L"\n\t<Relationship Id=\"rId3\" Type=\"" + ns +
                L"hyperlink\" Target=\"http://example.com/a\" TargetMode=\"External\"/>" +
                L"\n\t<Relationship Id=\"rId4\" Type=\"" + ns +
                L"hyperlink\" Target=\"mailto:a@b.c\" TargetMode=\"External\"/>" +
                L"\n\t<Relationship Id=\"rId5\" Type=\"" + ns + L"slide\" Target=\"slide2.xml\"/>" +
                L"\n</Relationships>");
  EXPECT_EQ(LastRelationshipId(writer.Relationships()), L"rId5");
}

nsPDFData::CPathObj* NewPath(CTextPage& page, int order, double grey, bool stroked) {
  auto* path = new nsPDFData::CPathObj;
  path->m_nOrder = order;
  path->m_dRed = path->m_dGreen = path->m_dBlue = grey;
  auto* seg = new nsPDFData::CPathSeg;
  seg->m_bStroked = stroked;
  path->m_vecSegs.push_back(seg);
  page.m_vecPaths.push_back(path);
  return path;
}

// White fills without outline are backgrounds: they go behind everything drawn after
// order 1. An outlined white path or a light grey one keeps its drawing order.
TEST(DrawOrder, PutsWhiteFillsWithoutOutlineFirstAndTheRestByDrawingOrder) {
  CTextPage page;
  auto* grey = NewPath(page, 5, 254.99, false);
  auto* outlined = NewPath(page, 7, 255, true);
  auto* white = NewPath(page, 9, 255.5, false);
  auto* noSegments = NewPath(page, 2, 255, false);
  delete noSegments->m_vecSegs.front();
  noSegments->m_vecSegs.clear();
  auto* picture = new nsPDFData::CImageObj;
  picture->m_nOrder = 6;
  page.m_lstImages.push_back(picture);

  std::vector<const void*> order;
  std::vector<int> keys;
  for (const CDrawOrderEntry& entry : BuildDrawOrder(page)) {
    order.push_back(entry.m_bIsPath ? static_cast<const void*>(entry.m_pPath) : entry.m_pImage);
    keys.push_back(entry.m_nZ);
  }
  EXPECT_EQ(order, (std::vector<const void*>{white, noSegments, grey, picture, outlined}));
  EXPECT_EQ(keys, (std::vector<int>{1, 2, 5, 6, 7}));
  white->m_bFilled = 0;
  EXPECT_FALSE(IsWhiteFillWithoutOutline(*white));
}

}  // namespace
