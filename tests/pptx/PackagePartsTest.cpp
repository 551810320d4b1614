#include <gtest/gtest.h>

#include <string>

#include "pptx/PackageParts.h"

namespace {

const std::wstring kDecl = L"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";
const std::wstring kLayoutType = L"application/vnd.openxmlformats-officedocument.presentationml.slideLayout+xml";

std::wstring Layout(int n) {
  return L"<Override PartName=\"/ppt/slideLayouts/slideLayout" + std::to_wstring(n) + L".xml\" ContentType=\"" +
         kLayoutType + L"\"/>";
}

std::wstring Slide(int n) {
  return L"<Override PartName=\"/ppt/slides/slide" + std::to_wstring(n) +
         L".xml\" ContentType=\"application/vnd.openxmlformats-officedocument.presentationml.slide+xml\"/>";
}

std::wstring Rel(int id, const std::wstring& type, const std::wstring& target) {
  return L"<Relationship Id=\"rId" + std::to_wstring(id) +
         L"\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/" + type +
         L"\" Target=\"" + target + L"\"/>";
}

TEST(PackageParts, ContentTypesListTheFixedPartsThenEverySlide) {
  const std::wstring head =
      kDecl + L"<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      L"\n\t<Override PartName=\"/docProps/core.xml\" ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
      L"\n\t<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      L"\n\t" + Layout(6) + L"\n\t" + Layout(8) + L"\n\t" + Layout(1) + L"\n\t" + Layout(11) + L"\n\t" + Layout(3) +
      L"\n\t<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      L"\n\t<Override PartName=\"/docProps/app.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.extended-properties+xml\"/>"
      L"\n\t<Override PartName=\"/ppt/slideMasters/slideMaster1.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.presentationml.slideMaster+xml\"/>"
      L"\n\t" + Layout(5) +
      L"\n\t<Override PartName=\"/ppt/viewProps.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.presentationml.viewProps+xml\"/>"
      L"\n\t" + Layout(7) + L"\n\t" + Layout(9) + L"\n\t" + Layout(10) +
      L"\n\t<Override PartName=\"/ppt/presProps.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.presentationml.presProps+xml\"/>"
      L"\n\t<Override PartName=\"/ppt/presentation.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.presentationml.presentation.main+xml\"/>"
      L"\n\t" + Layout(2) +
      L"\n\t<Default Extension=\"bin\" ContentType=\"application/vnd.openxmlformats-officedocument.presentationml.printerSettings\"/>"
      L"\n\t<Default Extension=\"jpeg\" ContentType=\"image/jpeg\"/>" + Layout(4) +
      L"\n\t<Override PartName=\"/ppt/tableStyles.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.presentationml.tableStyles+xml\"/>"
      L"\n\t<Override PartName=\"/ppt/theme/theme1.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.theme+xml\"/>";
  EXPECT_EQ(BuildContentTypes(1), head + L"\n\t" + Slide(1) + L"\n</Types>");
  EXPECT_EQ(BuildContentTypes(3), head + L"\n\t" + Slide(1) + L"\n\t" + Slide(2) + L"\n\t" + Slide(3) + L"\n</Types>");
  EXPECT_EQ(BuildContentTypes(0), head + L"\n</Types>");
}

TEST(PackageParts, PresentationRelsKeepRId2FreeAndNumberSlidesFromRId8) {
  const std::wstring head =
      kDecl + L"\n<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
      L"\n\t" + Rel(3, L"printerSettings", L"printerSettings/printerSettings1.bin") +
      L"\n\t" + Rel(4, L"presProps", L"presProps.xml") + L"\n\t" + Rel(5, L"viewProps", L"viewProps.xml") +
      L"\n\t" + Rel(6, L"theme", L"theme/theme1.xml") + L"\n\t" + Rel(7, L"tableStyles", L"tableStyles.xml") +
      L"\n\t" + Rel(1, L"slideMaster", L"slideMasters/slideMaster1.xml");
  EXPECT_EQ(BuildPresentationRels(1), head + L"\n\t" + Rel(8, L"slide", L"slides/slide1.xml") + L"\n</Relationships>");
  EXPECT_EQ(BuildPresentationRels(3), head + L"\n\t" + Rel(8, L"slide", L"slides/slide1.xml") + L"\n\t" +
                                          Rel(9, L"slide", L"slides/slide2.xml") + L"\n\t" +
                                          Rel(10, L"slide", L"slides/slide3.xml") + L"\n</Relationships>");
}

TEST(PackageParts, PresentationListsSlideIdsFrom256AndTheSlideSize) {
  std::wstring style = L"<p:defaultTextStyle><a:defPPr><a:defRPr lang=\"en-US\"/></a:defPPr>";
  for (int k = 1; k <= 9; ++k)
    style += L"<a:lvl" + std::to_wstring(k) + L"pPr marL=\"" + std::to_wstring(457200 * (k - 1)) +
             L"\" algn=\"l\" defTabSz=\"914400\" rtl=\"0\" eaLnBrk=\"1\" latinLnBrk=\"0\" hangingPunct=\"1\">"
             L"<a:defRPr sz=\"1800\" kern=\"1200\"><a:solidFill><a:schemeClr val=\"tx1\"/></a:solidFill>"
             L"<a:latin typeface=\"+mn-lt\"/><a:ea typeface=\"+mn-ea\"/><a:cs typeface=\"+mn-cs\"/></a:defRPr></a:lvl" +
             std::to_wstring(k) + L"pPr>";
  style += L"</p:defaultTextStyle>";
  const std::wstring head =
      kDecl +
      L"\n<p:presentation xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
      L" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
      L" xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\""
      L" xmlns:mv=\"urn:schemas-microsoft-com:mac:vml\" mc:Ignorable=\"mv\" mc:PreserveAttributes=\"mv:*\""
      L" xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\" saveSubsetFonts=\"1\" autoCompressPictures=\"0\">"
      L"\n\t<p:sldMasterIdLst>\n\t\t<p:sldMasterId id=\"2147483648\" r:id=\"rId1\"/>\n\t</p:sldMasterIdLst>\n\t<p:sldIdLst>";
  const std::wstring tail = L"<p:notesSz cx=\"6858000\" cy=\"9144000\"/>" + style + L"</p:presentation>";
  EXPECT_EQ(BuildPresentation(1, 7772400, 10058400),
            head + L"\n\t\t<p:sldId id=\"256\" r:id=\"rId8\"/>\n\t</p:sldIdLst>\n\t<p:sldSz cx=\"7772400\" cy=\"10058400\"/>" + tail);
  EXPECT_EQ(BuildPresentation(3, 914400, 51206400),
            head + L"\n\t\t<p:sldId id=\"256\" r:id=\"rId8\"/>\n\t\t<p:sldId id=\"257\" r:id=\"rId9\"/>"
                   L"\n\t\t<p:sldId id=\"258\" r:id=\"rId10\"/>\n\t</p:sldIdLst>\n\t<p:sldSz cx=\"914400\" cy=\"51206400\"/>" + tail);
}

}  // namespace
