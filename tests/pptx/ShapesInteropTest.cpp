#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "PackageCheck.h"
#include "PageModelBuilder.h"
#include "PpmRaster.h"
#include "ShapeModelBuilder.h"
#include "TestSupport.h"
#include "platform/Strings.h"
#include "pptx/PptxWriter.h"

namespace {

namespace fs = std::filesystem;
using namespace pptx_test;
using testing_support::TempDir;

std::string Quote(const fs::path& path) { return "'" + path.string() + "'"; }

// True when pdfimages -list names an image of `width` x `height` pixels (LibreOffice may
// re-encode the picture, so the encoding is not checked).
bool ListsImageOfSize(const std::string& list, int width, int height) {
  std::istringstream lines(list);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string page, num, type;
    int w = 0, h = 0;
    if (fields >> page >> num >> type >> w >> h && type == "image" && w == width && h == height) return true;
  }
  return false;
}

// Each channel within `tolerance` of the expected colour (JPEG and anti-aliasing shift them).
bool Near(long got, long want, int tolerance = 40) {
  if (got < 0) return false;
  for (int shift : {16, 8, 0})
    if (std::abs(((got >> shift) & 255) - ((want >> shift) & 255)) > tolerance) return false;
  return true;
}

// A hand-made page with a filled freeform, a dashed open freeform and a picture, written
// by the presentation writer and rendered back by LibreOffice: the shapes must appear
// where the page had them, in their colours.
TEST(PptxInterop, LibreOfficeRendersFreeformsAndPictures) {
  TempDir dir;
  ASSERT_TRUE(InstallTemplates(dir.Path()));
  CTextPage page;
  SetBox(page, 0, 0, 612, 792);
  CPathObj* square = NewRectPath(72, 72, 144, 72, 2);
  Fill(*square, 255, 0, 0);
  page.m_vecPaths.push_back(square);
  CPathObj* rule = NewPathObj(72, 400, 400, 0, {NewLineSeg(72, 400, 472, 400)}, 4);
  Stroke(*rule, 0, 128, 0, 4, 2);
  page.m_vecPaths.push_back(rule);
  // (384, 96, 128, 128) pixels at 96 dpi are (288, 72, 96, 96) points.
  page.m_lstImages.push_back(NewPicture(384, 96, 128, 128, EncodeSolidJpeg(16, 16, 0, 0, 255), 3));

  CPptxWriter writer;
  ASSERT_TRUE(writer.Init(dir.Wide(""), 1, dir.Wide("shapes.pptx")));
  writer.SetSlideSize(page.m_fWidth, page.m_fHeight);
  ASSERT_TRUE(writer.SetFirstPage(page));
  ASSERT_TRUE(writer.WriteSlide(page, 1));
  ASSERT_TRUE(writer.Finish()) << platform::WideToUtf8Lossy(writer.GetLastError());
  ASSERT_TRUE(ExtractPackage(dir / "shapes.pptx", dir / "x"));
  EXPECT_EQ(CheckPackage(dir / "x"), std::vector<std::string>{});

  const fs::path profile = dir / "lo-profile";
  ASSERT_TRUE(RunCommand("soffice --headless -env:UserInstallation=file://" + profile.string() +
                         " --convert-to pdf --outdir " + Quote(dir / "back") + " " + Quote(dir / "shapes.pptx") +
                         " >/dev/null 2>&1"));
  const fs::path back = dir / "back" / "shapes.pdf";
  ASSERT_TRUE(fs::is_regular_file(back));
  ASSERT_TRUE(RunCommand("pdfimages -list " + Quote(back) + " > " + Quote(dir / "images.txt")));
  EXPECT_TRUE(ListsImageOfSize(ReadBytes(dir / "images.txt"), 16, 16)) << ReadBytes(dir / "images.txt");

  // At 72 dpi one pixel of the rendering is one point of the page.
  ASSERT_TRUE(RunCommand("pdftoppm -r 72 -singlefile " + Quote(back) + " " + Quote(dir / "render")));
  const Raster raster = ReadPpm(ReadBytes(dir / "render.ppm"));
  ASSERT_EQ(raster.m_nWidth, 612);
  ASSERT_EQ(raster.m_nHeight, 792);
  EXPECT_TRUE(Near(raster.At(144, 108), 0xff0000)) << std::hex << raster.At(144, 108);  // the square
  EXPECT_TRUE(Near(raster.At(336, 120), 0x0000ff)) << std::hex << raster.At(336, 120);  // the picture
  EXPECT_TRUE(Near(raster.At(80, 400), 0x008000, 60)) << std::hex << raster.At(80, 400);  // the rule's first dash
  EXPECT_TRUE(Near(raster.At(500, 600), 0xffffff)) << std::hex << raster.At(500, 600);  // nothing
}

}  // namespace
