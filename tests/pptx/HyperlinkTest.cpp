#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ExpectedXml.h"
#include "PackageCheck.h"
#include "PageModelBuilder.h"
#include "TestSupport.h"
#include "platform/Strings.h"
#include "pptx/Hyperlink.h"
#include "pptx/PptxWriter.h"

namespace {

namespace fs = std::filesystem;
using namespace pptx_test;
using testing_support::TempDir;

TEST(Hyperlink, ExternalTargetsGetTheirSchemeAndAreValidUris) {
  const struct {
    int32_t kind;
    std::wstring target;
    std::wstring written;
  } cases[] = {
      {1, L"www.example.com", L"http://www.example.com"},     // a bare host name
      {1, L"http://example.com/a", L"http://example.com/a"},
      {1, L"http://", L"http://http://"},                     // a bare scheme is no address
      {1, L"http:/x.org", L"http://http:/x.org"},
      {1, L"https://example.com", L"https://example.com"},    // not a host named "https"
      {1, L"ftp://files.example", L"ftp://files.example"},
      {1, L"localhost:8080/a", L"http://localhost:8080/a"},   // a port is no scheme
      {1, L"example.com/?a=1&b=2", L"http://example.com/?a=1&amp;b=2"},
      {1, L"example.com/my file", L"http://example.com/my%20file"},
      {1, L"example.com/caf\u00E9/\u20AC/\U0001F600", L"http://example.com/caf%C3%A9/%E2%82%AC/%F0%9F%98%80"},
      {1, L"example.com/\"<x>\"\t", L"http://example.com/%22%3Cx%3E%22%09"},
      {1, L"example.com/50%off/%41", L"http://example.com/50%25off/%41"},
      {1, std::wstring(L"example.com/a\0b", 15), L"http://example.com/a"},  // a text ends at its NUL
      {2, L"someone@example.com", L"mailto:someone@example.com"},
      {2, L"mailto:a@b.example", L"mailto:a@b.example"},
      {2, L"Jo Smith@example.com", L"mailto:Jo%20Smith@example.com"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ExternalLinkTarget(c.kind, c.target), c.written) << platform::WideToUtf8Lossy(c.target);
}

TEST(Hyperlink, ClickElementsNameTheRelationshipJustAppended) {
  SlideRelList rels = {{0, L"image1"}};
  EXPECT_EQ(AddHyperlink(rels, 1, L"a.example"), L"<a:hlinkClick r:id=\"rId3\"/>");
  EXPECT_EQ(AddHyperlink(rels, 3, L"4"), L"<a:hlinkClick r:id=\"rId4\" action=\"ppaction://hlinksldjump\"/>");
  EXPECT_EQ(AddHyperlink(rels, 2, L"a@b.example"), L"<a:hlinkClick r:id=\"rId5\"/>");
  EXPECT_EQ(AddHyperlink(rels, -1, L""), L"");
  EXPECT_EQ(AddHyperlink(rels, 0, L"image9"), L"");  // a picture record is no link
  ASSERT_EQ(rels.size(), 4u);
  EXPECT_EQ(rels[2].m_nType, 3);
  EXPECT_EQ(rels[2].m_strTarget, L"4");
  EXPECT_EQ(SlideLinkTarget(L"4"), L"slide4.xml");
}

std::wstring LinkedRun(const std::wstring& text, const std::wstring& click) {
  std::wstring run = RunXml(L"1200", L"000000", L"Fake", text);
  run.insert(run.find(Tabs(7) + L"</a:rPr>"), Tabs(8) + click);
  return run;
}

std::wstring HyperlinkRel(int id, const std::wstring& target) {
  return L"\n\t<Relationship Id=\"rId" + std::to_wstring(id) +
         L"\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink\" Target=\"" +
         target + L"\" TargetMode=\"External\"/>";
}

// Words linked by the capture reach the slide as click elements on their runs, one
// relationship per linked run in run order; the space runs between them carry none.
TEST(Hyperlink, LinkedWordsGetOneRelationshipPerRunAndSpaceRunsNone) {
  TempDir dir;
  ASSERT_TRUE(InstallTemplates(dir / "program"));
  ScopedMeasure measure(FakeMeasure);  // a space unit of 2 points

  CTextPage page;
  SetBox(page, 0, 0, 400, 300);
  CTextLine* first = NewLine(10, 10, 68, 12, {{L"one", 10, 10, 20, 12}, {L"two", 34, 10, 20, 12}, {L"three", 58, 10, 20, 12}});
  CTextLine* second = NewLine(10, 22, 60, 12, {{L"page", 10, 22, 20, 12}, {L"mail", 34, 22, 20, 12}, {L"plain", 58, 22, 20, 12}});
  const struct {
    int32_t kind;
    const wchar_t* target;
  } links[] = {{1, L"a.example/?x=1&y=2"}, {1, L"a.example/?x=1&y=2"}, {1, L"a.example/?x=1&y=2"},
               {3, L"3"}, {2, L"someone@example.com"}, {-1, L""}};
  int index = 0;
  for (CTextLine* line : {first, second})
    for (nsPDFData::CTextBase* base : line->m_lstTextWords) {
      auto* word = static_cast<CTextWord*>(base);
      word->m_nLinkType = links[index].kind;
      word->m_strLinkTarget = links[index++].target;
    }
  AddBlock(page, {NewColumn(10, 10, 68, 24, {first, second})});

  std::string slide, rels;
  CPptxWriter writer;
  writer.SetPacker([&](const std::wstring&, const std::wstring& folder) {
    const fs::path slides = *platform::ToPath(folder) / "ppt" / "slides";
    slide = ReadBytes(slides / "slide1.xml");
    rels = ReadBytes(slides / "_rels" / "slide1.xml.rels");
    return 0;
  });
  ASSERT_TRUE(writer.Init(dir.Wide("program"), 1, dir.Wide("out.pptx")));
  writer.SetSlideSize(page.m_fWidth, page.m_fHeight);
  ASSERT_TRUE(writer.SetFirstPage(page));
  ASSERT_TRUE(writer.WriteSlide(page, 1));
  ASSERT_TRUE(writer.Finish());

  const std::wstring space = RunXml(L"1200", L"000000", L"Fake", L" ");  // gap of 4 points
  const std::wstring web = L"<a:hlinkClick r:id=\"rId";
  const std::wstring expectedRuns =
      Paragraph(L"0", L"1200",
                LinkedRun(L"one", web + L"2\"/>") + space + LinkedRun(L"two", web + L"3\"/>") + space +
                    LinkedRun(L"three", web + L"4\"/>")) +
      Paragraph(L"0", L"1200",
                LinkedRun(L"page", L"<a:hlinkClick r:id=\"rId5\" action=\"ppaction://hlinksldjump\"/>") + space +
                    LinkedRun(L"mail", web + L"6\"/>") + space + RunXml(L"1200", L"000000", L"Fake", L"plain"));
  EXPECT_NE(platform::Utf8ToWide(slide).find(expectedRuns), std::wstring::npos) << slide;

  const std::wstring expectedRels =
      L"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
      L"\n<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
      L"\n\t<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/slideLayout\" "
      L"Target=\"../slideLayouts/slideLayout1.xml\"/>" +
      HyperlinkRel(2, L"http://a.example/?x=1&amp;y=2") + HyperlinkRel(3, L"http://a.example/?x=1&amp;y=2") +
      HyperlinkRel(4, L"http://a.example/?x=1&amp;y=2") +
      L"\n\t<Relationship Id=\"rId5\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/slide\" "
      L"Target=\"slide3.xml\"/>" +
      HyperlinkRel(6, L"mailto:someone@example.com") + L"\n</Relationships>";
  EXPECT_EQ(platform::Utf8ToWide(rels), expectedRels);
}

}  // namespace
