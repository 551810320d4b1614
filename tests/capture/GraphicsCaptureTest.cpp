#include <gtest/gtest.h>

#include <mupdf/fitz.h>

#include <memory>
#include <string>
#include <vector>

#include "GraphicsContent.h"
#include "TestSupport.h"
#include "capture/CaptureDrawDevice.h"
#include "capture/GraphicsPass.h"
#include "capture/TextPage.h"
#include "driver/OutputKind.h"
#include "pdf/MuInterface.h"

namespace {

using namespace nsPDFData;
using fixtures::ExtraContent;
using fixtures::ImageDraw;
using testing_support::TempDir;

constexpr double kPageWidth = 400;
constexpr double kPageHeight = 300;

// Engine frame: the display list and bound of page 1 of `file`; null on failure.
fz_display_list* RecordFirstPage(fz_context* ctx, const char* file, fz_rect* bound) {
  fz_document* doc = nullptr;
  fz_page* page = nullptr;
  fz_display_list* list = nullptr;
  fz_var(doc);
  fz_var(page);
  fz_var(list);
  fz_try(ctx) {
    doc = fz_open_document(ctx, file);
    page = fz_load_page(ctx, doc, 0);
    *bound = fz_bound_page(ctx, page);
    list = fz_new_display_list_from_page(ctx, page);
  }
  fz_always(ctx) {
    fz_drop_page(ctx, page);
    fz_drop_document(ctx, doc);
  }
  fz_catch(ctx) { list = nullptr; }
  return list;
}

// Engine frame: plays `list` through a capture device painting into a new white raster.
fz_pixmap* RasterWithDevice(fz_context* ctx, fz_display_list* list, fz_rect bound, bool recording,
                            capture::CaptureRecords& records) {
  const fz_irect box = capture::GraphicsRasterBox(bound);
  fz_pixmap* pix = fz_new_pixmap_with_bbox(ctx, fz_device_rgb(ctx), box, nullptr, 1);
  fz_clear_pixmap_with_value(ctx, pix, 255);
  fz_device* dev = capture::NewCaptureDrawDevice(ctx, box, pix, recording, records);
  fz_try(ctx) {
    fz_run_display_list(ctx, list, dev, fz_scale(capture::kRasterScale, capture::kRasterScale),
                        fz_rect_from_irect(box), nullptr);
    fz_close_device(ctx, dev);
  }
  fz_always(ctx) { fz_drop_device(ctx, dev); }
  fz_catch(ctx) {}
  return pix;
}

// Builds one-page fixtures and plays them through the recording device.
class GraphicsCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_ctx = fz_new_context(nullptr, nullptr, FZ_STORE_DEFAULT);
    ASSERT_NE(m_ctx, nullptr);
    fz_register_document_handlers(m_ctx);
  }
  void TearDown() override {
    fz_drop_display_list(m_ctx, m_list);
    fz_drop_context(m_ctx);
  }

  // Writes a 400 x 300 page drawing `extras` and records its display list.
  void Load(std::vector<ExtraContent> extras) {
    fixtures::PageSpec pageSpec;
    pageSpec.m_dWidth = kPageWidth;
    pageSpec.m_dHeight = kPageHeight;
    pageSpec.m_vecExtras = std::move(extras);
    fixtures::DocSpec docSpec;
    docSpec.m_vecPages.push_back(pageSpec);
    const auto path = m_dir / ("page" + std::to_string(m_nFiles++) + ".pdf");
    std::string error;
    ASSERT_TRUE(fixtures::WritePdf(path, docSpec, &error)) << error;
    fz_drop_display_list(m_ctx, m_list);
    m_list = RecordFirstPage(m_ctx, path.string().c_str(), &m_bound);
    ASSERT_NE(m_list, nullptr);
  }

  // The page model after recording and conversion, with the page box LoadPage gives it.
  std::unique_ptr<CTextPage> Capture(std::vector<ExtraContent> extras) {
    Load(std::move(extras));
    auto page = std::make_unique<CTextPage>();
    page->m_fWidth = m_bound.x1;
    page->m_fHeight = m_bound.y1;
    EXPECT_TRUE(capture::CaptureGraphics(m_ctx, m_list, m_bound, *page));
    return page;
  }

  std::vector<CImageObj*> Pictures(const CTextPage& page) { return {page.m_lstImages.begin(), page.m_lstImages.end()}; }

  fz_context* m_ctx = nullptr;
  fz_display_list* m_list = nullptr;
  fz_rect m_bound{};
  TempDir m_dir;
  int m_nFiles = 0;
};

// y of a display-space point from user space on the fixture page.
float DisplayY(double userY) { return static_cast<float>(kPageHeight - userY); }

TEST_F(GraphicsCaptureTest, ThinFilledRectangleBecomesStrokedLineAlongItsBottom) {
  auto page = Capture({fixtures::PathContent("1 0 0 rg 100 200 200 0.5 re f")});
  ASSERT_EQ(page->m_vecPaths.size(), 1u);
  const CPathObj& path = *page->m_vecPaths[0];
  EXPECT_EQ(path.m_bFilled, 0);
  EXPECT_EQ(path.m_dFillAlpha, 0.0);
  ASSERT_EQ(path.m_vecSegs.size(), 1u);
  const CPathSeg& line = *path.m_vecSegs[0];
  EXPECT_NEAR(line.m_fX0, 100, 0.01);
  EXPECT_NEAR(line.m_fX1, 300, 0.01);
  EXPECT_NEAR(line.m_fY0, DisplayY(200), 0.01);  // the rectangle's bottom edge
  EXPECT_NEAR(line.m_fY1, DisplayY(200), 0.01);
  EXPECT_NEAR(line.m_fLineWidth, 0.6667, 0.001);  // its height in raster pixels, not points
  EXPECT_EQ(line.m_bStroked, 1);
  EXPECT_EQ(line.m_dStrokeAlpha, 255.0);
  EXPECT_EQ(line.m_dRed, 254.0);  // the fill colour, as compositing gives full red
  EXPECT_EQ(line.m_dGreen, 0.0);
  EXPECT_GT(line.m_fWidth, 199);  // the line keeps the rectangle's box
  EXPECT_GT(line.m_fHeight, 0);
}

TEST_F(GraphicsCaptureTest, FillAndStrokeOfOneOperatorMakeOneStrokedFilledPath) {
  auto page = Capture({fixtures::PathContent("0 0 1 rg 1 0 0 RG 2 w 50 50 100 80 re B")});
  ASSERT_EQ(page->m_vecPaths.size(), 1u);
  const CPathObj& path = *page->m_vecPaths[0];
  EXPECT_EQ(path.m_bFilled, 1);
  EXPECT_EQ(path.m_dFillAlpha, 255.0);
  EXPECT_EQ(path.m_dBlue, 254.0);
  EXPECT_EQ(path.m_dRed, 0.0);
  ASSERT_EQ(path.m_vecSegs.size(), 4u);
  for (const CPathSeg* seg : path.m_vecSegs) {
    EXPECT_EQ(seg->m_bStroked, 1);
    EXPECT_EQ(seg->m_dRed, 254.0);
    EXPECT_EQ(seg->m_dBlue, 0.0);
    EXPECT_FLOAT_EQ(seg->m_fLineWidth, 2);
    EXPECT_EQ(seg->m_bCurve, 0);
  }
  EXPECT_NEAR(path.m_fX, 50, 1.5);  // whole pixels, grown by half a fill's unit width
  EXPECT_NEAR(path.m_fY, DisplayY(130), 1.5);
  EXPECT_NEAR(path.m_fWidth, 100, 2);
  EXPECT_NEAR(path.m_fHeight, 80, 2);
}

TEST_F(GraphicsCaptureTest, EverySubpathIsOnePathAndOnlyTheLastIsClosedImplicitly) {
  auto page = Capture({fixtures::PathContent(
      "0 1 0 rg 0 0 1 RG 10 10 m 50 10 l 50 50 l 100 10 m 150 10 l 150 50 l h 200 10 m 250 10 l 250 50 l B")});
  ASSERT_EQ(page->m_vecPaths.size(), 3u);
  const std::vector<size_t> segments = {2, 3, 3};  // open, closed by h, closed by the fill
  for (size_t i = 0; i < 3; ++i) {
    const CPathObj& path = *page->m_vecPaths[i];
    EXPECT_EQ(path.m_vecSegs.size(), segments[i]) << i;
    EXPECT_EQ(path.m_nOrder, page->m_vecPaths[0]->m_nOrder);
    EXPECT_EQ(path.m_dGreen, 254.0);
    EXPECT_EQ(path.m_bFilled, 1);
    // The outline belongs to every subpath of the filled operator.
    for (const CPathSeg* seg : path.m_vecSegs) EXPECT_EQ(seg->m_dBlue, 254.0) << i;
  }
  const CPathSeg& closing = *page->m_vecPaths[2]->m_vecSegs.back();
  EXPECT_NEAR(closing.m_fX1, 200, 0.01);
  EXPECT_NEAR(closing.m_fY1, DisplayY(10), 0.01);
}

TEST_F(GraphicsCaptureTest, StrokesCarryTheirDashCodeAndWidth) {
  struct Case {
    const char* dash;
    int code;
  } cases[] = {{"[] 0", 0}, {"[1] 0", 2}, {"[5] 0", 3}, {"[9] 0", 4}, {"[6 2] 0", 1}, {"[2 2 1 2] 0", 2}};
  std::vector<ExtraContent> extras;
  for (int i = 0; i < 6; ++i)
    extras.push_back(fixtures::PathContent(std::string(cases[i].dash) + " d 3 w 20 " + std::to_string(20 + 30 * i) +
                                           " m 300 " + std::to_string(20 + 30 * i) + " l S"));
  auto page = Capture(std::move(extras));
  ASSERT_EQ(page->m_vecPaths.size(), 6u);
  for (int i = 0; i < 6; ++i) {
    const CPathObj& path = *page->m_vecPaths[i];
    EXPECT_EQ(path.m_bFilled, 0) << i;
    ASSERT_EQ(path.m_vecSegs.size(), 1u) << i;  // a stroke adds no closing segment
    EXPECT_EQ(path.m_vecSegs[0]->m_nDash, cases[i].code) << cases[i].dash;
    EXPECT_FLOAT_EQ(path.m_vecSegs[0]->m_fLineWidth, 3) << i;
  }
}

TEST(DashCode, ClassifiesDashArrays) {
  struct Case {
    std::vector<float> dashes;
    float scale;
    int code;
  } cases[] = {
      {{}, 1, 0},
      {{0.1f, 0.1f}, 1.3333334f, 0},  // too short on the device to show
      {{0.0005f, 4}, 1, 1},
      {{0}, 1, 0},
      {{1.5f}, 1, 2},
      {{2}, 1, 3},
      {{8}, 1, 4},
      {{3, 3}, 1, 2},
      {{3, 4}, 1, 1},
      {{3, 9, 3}, 1, 2},
      {{4, 1, 1, 1}, 1, 3},
      {{1, 1, 1, 1, 1}, 1, 3},
      {{1, 1, 1, 1, 1, 1, 1}, 1, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(capture::DashCode(c.dashes.data(), static_cast<int>(c.dashes.size()), c.scale, 0, 0, c.scale), c.code)
        << c.dashes.size() << " entries, first " << (c.dashes.empty() ? 0 : c.dashes[0]);
}

TEST_F(GraphicsCaptureTest, StraightShapesLeavingThePageAreClampedCurvesAreNot) {
  auto page = Capture({fixtures::PathContent("-10 -10 420 320 re S"),
                       fixtures::PathContent("350 150 m 450 150 450 250 420 250 c S")});
  ASSERT_EQ(page->m_vecPaths.size(), 2u);
  const CPathObj& frame = *page->m_vecPaths[0];
  EXPECT_FLOAT_EQ(frame.m_fX, 0);
  EXPECT_FLOAT_EQ(frame.m_fY, 0);
  EXPECT_FLOAT_EQ(frame.m_fWidth, 400);
  EXPECT_FLOAT_EQ(frame.m_fHeight, 300);
  for (const CPathSeg* seg : frame.m_vecSegs) {
    EXPECT_GE(seg->m_fX0, 0);
    EXPECT_LE(seg->m_fX1, 400);
    EXPECT_GE(seg->m_fY0, 0);
    EXPECT_LE(seg->m_fY1, 300);
  }
  const CPathObj& curve = *page->m_vecPaths[1];
  ASSERT_EQ(curve.m_vecSegs.size(), 1u);
  EXPECT_EQ(curve.m_vecSegs[0]->m_bCurve, 1);
  EXPECT_NEAR(curve.m_vecSegs[0]->m_fX1, 420, 0.01);  // left where it was, past the right edge
  EXPECT_NEAR(curve.m_vecSegs[0]->m_fCX1, 450, 0.01);
}

TEST_F(GraphicsCaptureTest, ImagesAreRecordedWithTheirWholeAreaAndRaisedToTheOrigin) {
  ImageDraw offRight;
  offRight.m_dX = 300;
  offRight.m_dY = 100;
  offRight.m_dWidth = 200;
  offRight.m_dHeight = 50;
  ImageDraw offLeft;
  offLeft.m_dX = -50;
  offLeft.m_dY = 200;
  offLeft.m_dWidth = 150;
  offLeft.m_dHeight = 60;
  ImageDraw tiny;  // under 1.1 raster pixels both ways: not a picture
  tiny.m_dX = 10;
  tiny.m_dY = 10;
  tiny.m_dWidth = tiny.m_dHeight = 0.75;
  auto page = Capture({fixtures::ImageContent(offRight), fixtures::ImageContent(offLeft), fixtures::ImageContent(tiny)});
  EXPECT_TRUE(page->m_vecPaths.empty());
  auto pictures = Pictures(*page);
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_NEAR(pictures[0]->m_fX, 300, 0.75);
  EXPECT_NEAR(pictures[0]->m_fWidth, 200, 0.75);  // past the page's right edge: export cuts it
  EXPECT_NEAR(pictures[0]->m_fY, DisplayY(150), 0.75);
  EXPECT_NEAR(pictures[0]->m_fHeight, 50, 0.75);
  EXPECT_NEAR(pictures[0]->m_fPixWidth, 200, 0.01);
  EXPECT_FLOAT_EQ(pictures[1]->m_fX, 0);
  EXPECT_NEAR(pictures[1]->m_fWidth, 100, 0.75);
  EXPECT_NEAR(pictures[1]->m_fPixWidth, 100, 0.01);
  EXPECT_EQ(pictures[0]->m_pData, nullptr);
}

TEST_F(GraphicsCaptureTest, ShadingAndTiledPatternBecomeOnePictureOfTheirPaintedArea) {
  auto page = Capture({fixtures::ShadingContent(50, 50, 100, 40), fixtures::TiledPatternContent(200, 100, 120, 60)});
  // The pattern cell's own square fills are not page content.
  EXPECT_TRUE(page->m_vecPaths.empty());
  auto pictures = Pictures(*page);
  ASSERT_EQ(pictures.size(), 2u);
  const CImageObj& shading = *pictures[0];  // clipped to its rectangle though the shading extends
  EXPECT_NEAR(shading.m_fX, 50, 1);
  EXPECT_NEAR(shading.m_fY, DisplayY(90), 1);
  EXPECT_NEAR(shading.m_fWidth, 100, 1.5);
  EXPECT_NEAR(shading.m_fHeight, 40, 1.5);
  const CImageObj& tiles = *pictures[1];
  EXPECT_NEAR(tiles.m_fX, 200, 1);
  EXPECT_NEAR(tiles.m_fY, DisplayY(160), 1);
  EXPECT_NEAR(tiles.m_fWidth, 120, 1.5);
  EXPECT_NEAR(tiles.m_fHeight, 60, 1.5);
}

TEST_F(GraphicsCaptureTest, DrawingOrderNumbersPathsByOperatorThenPicturesAfterThem) {
  ImageDraw image;
  image.m_dX = 20;
  image.m_dY = 20;
  auto page = Capture({fixtures::ImageContent(image), fixtures::PathContent("0 0 1 rg 150 20 50 50 re f"),
                       fixtures::PathContent("150 100 m 300 100 l S"),
                       fixtures::PathContent("1 0 0 rg 0 1 0 RG 220 20 50 50 re B"),
                       fixtures::ShadingContent(300, 200, 50, 50)});
  ASSERT_EQ(page->m_vecPaths.size(), 3u);
  const int first = page->m_vecPaths[0]->m_nOrder;
  EXPECT_EQ(page->m_vecPaths[1]->m_nOrder, first + 1);
  EXPECT_EQ(page->m_vecPaths[2]->m_nOrder, first + 2);  // fill and stroke of B share a number
  auto pictures = Pictures(*page);
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_EQ(pictures[0]->m_nOrder, first + 3);  // drawn first, numbered after every path
  EXPECT_EQ(pictures[1]->m_nOrder, first + 4);
}

TEST_F(GraphicsCaptureTest, RasterOfA612By792PageIs816By1056) {
  EXPECT_EQ(capture::GraphicsRasterBox(fz_make_rect(0, 0, 612, 792)).x1, 816);
  EXPECT_EQ(capture::GraphicsRasterBox(fz_make_rect(0, 0, 612, 792)).y1, 1056);
  fixtures::PageSpec pageSpec;
  pageSpec.m_dWidth = 612;
  pageSpec.m_dHeight = 792;
  fixtures::DocSpec docSpec;
  docSpec.m_vecPages.push_back(pageSpec);
  const auto path = m_dir / "letter.pdf";
  ASSERT_TRUE(fixtures::WritePdf(path, docSpec));
  m_list = RecordFirstPage(m_ctx, path.string().c_str(), &m_bound);
  ASSERT_NE(m_list, nullptr);
  fz_pixmap* raster = capture::NewGraphicsRaster(m_ctx, m_list, m_bound);
  ASSERT_NE(raster, nullptr);
  EXPECT_EQ(fz_pixmap_width(m_ctx, raster), 816);
  EXPECT_EQ(fz_pixmap_height(m_ctx, raster), 1056);
  CImageObj bitmap;
  ASSERT_TRUE(capture::MakePageBitmap(m_ctx, raster, bitmap));
  EXPECT_EQ(bitmap.m_nDataSize, 816 * 1056 * 3);
  EXPECT_EQ(bitmap.m_fPixWidth, 816);
  EXPECT_EQ(bitmap.m_pData[0], 255);  // white page
  fz_drop_pixmap(m_ctx, raster);
}

// Counts the dark pixels of the raster inside a device-pixel rectangle.
int DarkPixels(fz_context* ctx, fz_pixmap* pix, int x0, int y0, int x1, int y1) {
  const unsigned char* samples = fz_pixmap_samples(ctx, pix);
  const ptrdiff_t stride = fz_pixmap_stride(ctx, pix);
  const int n = fz_pixmap_components(ctx, pix);
  int dark = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const unsigned char* p = samples + y * stride + x * n;
      if (p[0] < 100 && p[1] < 100 && p[2] < 100) ++dark;
    }
  return dark;
}

TEST_F(GraphicsCaptureTest, TextOverAnImageStaysOutOfTheRasterOnlyWhileRecording) {
  ImageDraw photo;  // light blue, so black text on it would show as dark pixels
  photo.m_dX = 50;
  photo.m_dY = 100;
  photo.m_dWidth = 300;
  photo.m_dHeight = 100;
  photo.m_anRgb[0] = 150;
  photo.m_anRgb[1] = 180;
  photo.m_anRgb[2] = 255;
  Load({fixtures::ImageContent(photo), fixtures::TextContent(80, 150, "HELLO WORLD")});
  // The photo's area in raster pixels: x 50..350, y 100..200 in points (display space).
  const int x0 = 67, y0 = 134, x1 = 466, y1 = 266;

  fz_pixmap* raster = capture::NewGraphicsRaster(m_ctx, m_list, m_bound);
  ASSERT_NE(raster, nullptr);
  EXPECT_EQ(DarkPixels(m_ctx, raster, x0, y0, x1, y1), 0);
  fz_drop_pixmap(m_ctx, raster);

  // A preview's device (recording off) paints the text and records nothing.
  capture::CaptureRecords records;
  fz_pixmap* preview = RasterWithDevice(m_ctx, m_list, m_bound, false, records);
  ASSERT_NE(preview, nullptr);
  EXPECT_GT(DarkPixels(m_ctx, preview, x0, y0, x1, y1), 500);
  fz_drop_pixmap(m_ctx, preview);
  EXPECT_TRUE(records.m_vecPictures.empty());
  EXPECT_TRUE(records.m_vecPaths.empty());
}

TEST(GraphicsPass, RunsForSlidesButNotForText) {
  TempDir dir;
  fixtures::DocSpec docSpec;
  fixtures::PageSpec pageSpec;
  pageSpec.m_vecTexts.push_back({72, 72, "Title"});
  pageSpec.m_vecExtras.push_back(fixtures::PathContent("0 0 1 rg 100 300 200 100 re f"));
  docSpec.m_vecPages.push_back(pageSpec);
  ASSERT_TRUE(fixtures::WritePdf(dir / "shape.pdf", docSpec));
  for (int kind : {KIND_POWERPOINT, KIND_TEXT}) {
    CMuInterface doc;
    doc.m_nOutputKind = kind;
    ASSERT_EQ(doc.OpenDocument(dir.Wide("shape.pdf"), "", ""), 1);
    CTextPage* page = doc.LoadPage(1);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->m_vecPaths.size(), kind == KIND_POWERPOINT ? 1u : 0u) << kind;
    EXPECT_FALSE(page->m_lstTextLines.empty());
  }
}

TEST(GraphicsPass, APageWithoutGraphicsStillGetsItsLinks) {
  TempDir dir;
  fixtures::DocSpec docSpec;
  fixtures::PageSpec pageSpec;
  pageSpec.m_vecTexts.push_back({72, 100, "Visit"});
  fixtures::LinkAnnotation link;
  link.m_dX = 60;
  link.m_dY = 80;
  link.m_dWidth = 200;
  link.m_dHeight = 30;
  link.m_strUri = "https://example.com/";
  pageSpec.m_vecLinks.push_back(link);
  docSpec.m_vecPages.push_back(pageSpec);
  ASSERT_TRUE(fixtures::WritePdf(dir / "link.pdf", docSpec));
  CMuInterface doc;
  doc.m_nOutputKind = KIND_POWERPOINT;
  ASSERT_EQ(doc.OpenDocument(dir.Wide("link.pdf"), "", ""), 1);
  CTextPage* page = doc.LoadPage(1);
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(page->m_vecPaths.empty());
  EXPECT_TRUE(page->m_lstImages.empty());
  const CTextWord* word = nullptr;
  for (auto* block : page->m_lstTextLines)
    for (auto* column : static_cast<CTextLine*>(block)->m_lstTextLines)
      for (auto* line : static_cast<CTextLine*>(column)->m_lstTextLines)
        for (auto* base : static_cast<CTextLine*>(line)->m_lstTextWords) word = static_cast<CTextWord*>(base);
  ASSERT_NE(word, nullptr);
  EXPECT_EQ(word->m_nLinkType, 1);
  EXPECT_EQ(word->m_strLinkTarget, L"https://example.com/");
}

TEST(GraphicsPass, PicturesGetJpegDataExceptForTheSpreadsheetKinds) {
  TempDir dir;
  fixtures::DocSpec docSpec;
  fixtures::PageSpec pageSpec;
  ImageDraw photo;
  photo.m_dX = 100;
  photo.m_dY = 400;
  photo.m_dWidth = 150;
  photo.m_dHeight = 90;
  pageSpec.m_vecExtras.push_back(fixtures::ImageContent(photo));
  docSpec.m_vecPages.push_back(pageSpec);
  ASSERT_TRUE(fixtures::WritePdf(dir / "photo.pdf", docSpec));
  for (int kind : {KIND_POWERPOINT, KIND_CSV}) {
    CMuInterface doc;
    doc.m_nOutputKind = kind;
    ASSERT_EQ(doc.OpenDocument(dir.Wide("photo.pdf"), "", ""), 1);
    CTextPage* page = doc.LoadPage(1);
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(page->m_lstImages.size(), 1u) << kind;
    const CImageObj& picture = *page->m_lstImages.front();
    if (kind == KIND_CSV) {
      EXPECT_EQ(picture.m_pData, nullptr);  // boxes only, in points
      EXPECT_NEAR(picture.m_fX, 100, 1);
      continue;
    }
    ASSERT_NE(picture.m_pData, nullptr);
    ASSERT_GT(picture.m_nDataSize, 4);
    EXPECT_EQ(picture.m_pData[0], 0xFF);  // a JPEG file
    EXPECT_EQ(picture.m_pData[1], 0xD8);
    EXPECT_NEAR(picture.m_fX, 100 * 4.0 / 3, 1.5);  // raster pixels once exported
    EXPECT_NEAR(picture.m_fWidth, 150 * 4.0 / 3, 2);
  }
}

}  // namespace
