#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ExpectedXml.h"
#include "PackageCheck.h"
#include "PageModelBuilder.h"
#include "ShapeModelBuilder.h"
#include "TestSupport.h"
#include "platform/Strings.h"
#include "pptx/PictureWriter.h"
#include "pptx/PptxWriter.h"
#include "pptx/SlideWriter.h"

namespace {

namespace fs = std::filesystem;
using namespace pptx_test;
using testing_support::TempDir;

const std::vector<uint8_t> kJpeg = EncodeSolidJpeg(4, 2, 200, 30, 30);

// `click` is the a:hlinkClick element of a linked picture, empty for none.
std::wstring ExpectedPicture(int id, const std::wstring& embed, const std::wstring& off, const std::wstring& ext,
                             const std::wstring& click = L"") {
  const std::wstring n = std::to_wstring(id);
  return Tabs(3) + L"<p:pic>" + Tabs(4) + L"<p:nvPicPr>" + Tabs(5) + L"<p:cNvPr id=\"" + n + L"\" name=\"Picture " +
         n + L"\">" + (click.empty() ? L"" : Tabs(6) + click) + Tabs(5) + L"</p:cNvPr>" + Tabs(5) + L"<p:cNvPicPr>" + Tabs(6) +
         L"<a:picLocks noChangeAspect=\"1\" />" + Tabs(5) + L"</p:cNvPicPr>" + Tabs(5) + L"<p:nvPr />" + Tabs(4) +
         L"</p:nvPicPr>" + Tabs(4) + L"<p:blipFill>" + Tabs(5) + L"<a:blip r:embed=\"" + embed + L"\" />" + Tabs(5) +
         L"<a:stretch>" + Tabs(6) + L"<a:fillRect />" + Tabs(5) + L"</a:stretch>" + Tabs(4) + L"</p:blipFill>" +
         Tabs(4) + L"<p:spPr>" + Tabs(5) + L"<a:xfrm>" + Tabs(6) + L"<a:off " + off + L" />" + Tabs(6) + L"<a:ext " +
         ext + L" />" + Tabs(5) + L"</a:xfrm>" + Tabs(5) + L"<a:prstGeom prst=\"rect\">" + Tabs(6) + L"<a:avLst />" +
         Tabs(5) + L"</a:prstGeom>" + Tabs(4) + L"</p:spPr>" + Tabs(3) + L"</p:pic>";
}

// The box is read in 96-dpi pixels: (96, 192, 480, 240) pixels are (72, 144, 360, 180)
// points. The image is the slide's first relationship after the layout, so rId2.
TEST(PictureWriter, WritesThePictureByteForByteWithItsImageRelationship) {
  std::unique_ptr<CImageObj> picture(NewPicture(96, 192, 480, 240, kJpeg));
  SlideRelList rels;
  CPictureWriter writer(rels, CEmuScale());
  EXPECT_EQ(writer.WritePicture(*picture, 5, 3),
            ExpectedPicture(5, L"rId2", L"x=\"914400\" y=\"1828800\"", L"cx=\"4572000\" cy=\"2286000\""));
  ASSERT_EQ(rels.size(), 1u);
  EXPECT_EQ(rels[0].m_nType, SLIDE_REL_PICTURE);
  EXPECT_EQ(rels[0].m_strTarget, L"image3");

  // A later picture on the same slide takes the next relationship.
  EXPECT_NE(writer.WritePicture(*picture, 6, 4).find(L"r:embed=\"rId3\""), std::wstring::npos);
}

// A linked picture appends its link first, so the link takes the lower relationship id
// and the image the next one; the click element is the only child of p:cNvPr.
TEST(PictureWriter, ALinkedPictureCarriesItsClickBeforeItsImageRelationship) {
  const struct {
    int32_t m_nLinkType;
    const wchar_t* m_szTarget;
    const wchar_t* m_szClick;
  } cases[] = {{1, L"www.example.com", L"<a:hlinkClick r:id=\"rId2\"/>"},
               {2, L"someone@example.com", L"<a:hlinkClick r:id=\"rId2\"/>"},
               {3, L"4", L"<a:hlinkClick r:id=\"rId2\" action=\"ppaction://hlinksldjump\"/>"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.m_nLinkType);
    std::unique_ptr<CImageObj> picture(NewPicture(96, 192, 480, 240, kJpeg));
    picture->m_nLinkType = c.m_nLinkType;
    picture->m_strLinkTarget = c.m_szTarget;
    SlideRelList rels;
    EXPECT_EQ(CPictureWriter(rels, CEmuScale()).WritePicture(*picture, 2, 1),
              ExpectedPicture(2, L"rId3", L"x=\"914400\" y=\"1828800\"", L"cx=\"4572000\" cy=\"2286000\"", c.m_szClick));
    ASSERT_EQ(rels.size(), 2u);
    EXPECT_EQ(rels[0].m_nType, c.m_nLinkType);
    EXPECT_EQ(rels[0].m_strTarget, c.m_szTarget);
    EXPECT_EQ(rels[1].m_nType, SLIDE_REL_PICTURE);
    EXPECT_EQ(rels[1].m_strTarget, L"image1");
  }
}

std::vector<std::wstring> ShapeNames(const std::wstring& slide) {
  std::vector<std::wstring> names;
  const std::wstring key = L"<p:cNvPr id=\"";
  for (size_t at = slide.find(key); at != std::wstring::npos; at = slide.find(key, at + 1)) {
    const size_t start = slide.find(L"name=\"", at) + 6;
    const std::wstring name = slide.substr(start, slide.find(L'"', start) - start);
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

// Paths and pictures interleave by drawing order. A picture increments the counter and
// takes the new value, the freeform after it takes that value too; a picture without
// data (its export found nothing to crop) is left out without using up an id or a number.
TEST(PictureWriter, SlideInterleavesPicturesAndFreeformsWithTheirIdsAndMedia) {
  CTextPage page;
  page.m_vecPaths.push_back(NewRectPath(0, 0, 10, 10, 4));
  page.m_lstImages.push_back(NewPicture(0, 0, 96, 96, kJpeg, 3));
  page.m_lstImages.push_back(NewPicture(0, 0, 96, 96, {}, 2));
  page.m_lstImages.push_back(NewPicture(0, 0, 48, 48, kJpeg, 5));
  int shapeId = 0, pictureCount = 0;
  CSlideWriter writer(CEmuScale(), shapeId, pictureCount);
  writer.AddPage(page);

  const std::wstring slide = writer.BuildSlidePart();
  EXPECT_EQ(ShapeNames(slide), (std::vector<std::wstring>{L"Picture 1", L"Freeform 1", L"Picture 3"}));
  EXPECT_EQ(shapeId, 3);
  EXPECT_EQ(pictureCount, 2);
  ASSERT_EQ(writer.Media().size(), 2u);
  EXPECT_EQ(writer.Media()[0].m_strName, "image1.jpeg");
  EXPECT_EQ(writer.Media()[1].m_strName, "image2.jpeg");
  EXPECT_EQ(std::vector<uint8_t>(writer.Media()[1].m_pData, writer.Media()[1].m_pData + writer.Media()[1].m_nSize),
            kJpeg);
  ASSERT_EQ(writer.Relationships().size(), 2u);
  EXPECT_EQ(writer.Relationships()[1].m_strTarget, L"image2");
  EXPECT_NE(slide.find(L"r:embed=\"rId3\""), std::wstring::npos);
}

class PicturePackageTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(InstallTemplates(m_dir / "program")); }

  bool Begin(int slides) {
    if (!m_writer.Init(m_dir.Wide("program"), slides, m_dir.Wide("out.pptx"))) return false;
    m_writer.SetSlideSize(612, 792);
    return true;
  }

  TempDir m_dir;
  CPptxWriter m_writer;
};

CTextPage* NewPictures(int count, uint8_t shade) {
  auto* page = new CTextPage;
  SetBox(*page, 0, 0, 612, 792);
  for (int i = 0; i < count; ++i)
    page->m_lstImages.push_back(NewPicture(10.0f * i, 0, 96, 96, EncodeSolidJpeg(2, 2, shade, 0, 0), i + 10));
  page->m_vecPaths.push_back(NewRectPath(300, 300, 50, 50, 1));
  return page;
}

// Pictures are numbered over the whole package: after three on the first slide, the
// first picture of the second slide is image4.jpeg, and every media part holds the
// picture's bytes unchanged.
TEST_F(PicturePackageTest, NumbersMediaPartsAcrossSlides) {
  std::unique_ptr<CTextPage> first(NewPictures(3, 10)), second(NewPictures(1, 40));
  ASSERT_TRUE(Begin(2));
  ASSERT_TRUE(m_writer.WriteSlide(*first, 1));
  ASSERT_TRUE(m_writer.WriteSlide(*second, 2));
  ASSERT_TRUE(m_writer.Finish()) << platform::WideToUtf8Lossy(m_writer.GetLastError());

  const fs::path x = m_dir / "x";
  ASSERT_TRUE(ExtractPackage(m_dir / "out.pptx", x));
  EXPECT_EQ(CheckPackage(x), std::vector<std::string>{});
  EXPECT_TRUE(fs::is_regular_file(x / "ppt/media/image3.jpeg"));
  EXPECT_FALSE(fs::exists(x / "ppt/media/image5.jpeg"));
  const std::string image4 = ReadBytes(x / "ppt/media/image4.jpeg");
  EXPECT_EQ(image4, std::string(second->m_lstImages.front()->m_pData,
                                second->m_lstImages.front()->m_pData + second->m_lstImages.front()->m_nDataSize));
  const std::string rels = ReadBytes(x / "ppt/slides/_rels/slide2.xml.rels");
  EXPECT_NE(rels.find("Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" "
                      "Target=\"../media/image4.jpeg\"/>"),
            std::string::npos);
  // Shape ids run on across slides: slide 1 takes 0 (its freeform) to 4 (its last
  // picture); slide 2's freeform takes 4 again and its picture 6.
  const std::string slide2 = ReadBytes(x / "ppt/slides/slide2.xml");
  EXPECT_NE(slide2.find("name=\"Freeform 4\""), std::string::npos);
  EXPECT_NE(slide2.find("name=\"Picture 6\""), std::string::npos);
}

// A media part that cannot be written fails the slide instead of leaving a picture that
// refers to a missing part.
TEST_F(PicturePackageTest, AMediaPartThatCannotBeWrittenFailsTheSlide) {
  std::unique_ptr<CTextPage> page(NewPictures(1, 10));
  ASSERT_TRUE(Begin(1));
  const fs::path work = platform::ToPath(m_writer.WorkFolder()).value();
  fs::remove_all(work / "ppt" / "media");
  { std::ofstream(work / "ppt" / "media") << "not a folder"; }
  EXPECT_FALSE(m_writer.WriteSlide(*page, 1));
  EXPECT_FALSE(m_writer.GetLastError().empty());
}

}  // namespace
