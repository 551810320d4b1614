// Page rendering for the preview: raster sizes, displayed orientation, bottom-up rows,
// painted text, and failures that leave the instance usable.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <memory>

#include "TestSupport.h"
#include "capture/TextPage.h"
#include "pdf/MuInterface.h"

namespace {

using testing_support::TempDir;
using Image = std::unique_ptr<nsPDFData::CImageObj>;

// A red 20 x 20 point square in the media box's bottom-left corner.
fixtures::PageSpec RedCornerPage(double width, double height, int rotate) {
  fixtures::PageSpec page;
  page.m_dWidth = width;
  page.m_dHeight = height;
  page.m_nRotate = rotate;
  page.m_vecExtras.push_back([](fz_context* ctx, pdf_document*, pdf_obj*, fz_buffer* content) {
    fz_append_string(ctx, content, "1 0 0 rg 0 0 20 20 re f\n");
  });
  return page;
}

struct Pixel {
  int b, g, r, a;
};
// Pixel (x, row) of the record, row 0 being the first row in memory.
Pixel At(const nsPDFData::CImageObj& image, int x, int row) {
  const uint8_t* p = image.m_pData + (static_cast<size_t>(row) * static_cast<size_t>(image.m_fPixWidth) + x) * 4;
  return {p[0], p[1], p[2], p[3]};
}
bool IsRed(Pixel p) { return p.r > 200 && p.g < 50 && p.b < 50 && p.a == 255; }
bool IsWhite(Pixel p) { return p.r == 255 && p.g == 255 && p.b == 255 && p.a == 255; }

// A one-page file whose content is `copies` empty save/restore pairs, Flate-compressed:
// tiny on disk, slow to interpret.
std::string SlowPageBytes(size_t copies) {
  std::string unit;
  for (int i = 0; i < 4096; ++i) unit += "q Q\n";
  std::string packed;
  unsigned char buffer[1 << 16];
  z_stream z{};
  deflateInit(&z, 1);
  for (size_t done = 0; done < copies; done += 4096) {
    z.next_in = reinterpret_cast<Bytef*>(unit.data());
    z.avail_in = static_cast<uInt>(unit.size());
    const int flush = done + 4096 >= copies ? Z_FINISH : Z_NO_FLUSH;
    do {
      z.next_out = buffer;
      z.avail_out = sizeof buffer;
      deflate(&z, flush);
      packed.append(reinterpret_cast<char*>(buffer), sizeof buffer - z.avail_out);
    } while (z.avail_out == 0);
  }
  deflateEnd(&z);
  const std::string slow = "<< /Length " + std::to_string(packed.size()) + " /Filter /FlateDecode >>\nstream\n" +
                           packed + "\nendstream";
  const std::string objects[] = {
      "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R 5 0 R] /Count 2 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 300] /Contents 4 0 R >>", slow,
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] >>"};
  std::string body = "%PDF-1.7\n";
  std::string xref = "xref\n0 6\n0000000000 65535 f \n";
  for (size_t i = 0; i < std::size(objects); ++i) {
    char line[32];
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", body.size());
    xref += line;
    body += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const size_t start = body.size();
  return body + xref + "trailer\n<< /Size 6 /Root 1 0 R >>\nstartxref\n" + std::to_string(start) + "\n%%EOF\n";
}

class RenderPageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_dir = new TempDir;
    fixtures::DocSpec doc = fixtures::NumberedPages(1);
    doc.m_vecPages.push_back(RedCornerPage(595, 842, 0));
    doc.m_vecPages.push_back(RedCornerPage(612, 792, 90));
    ASSERT_TRUE(fixtures::WritePdf(*s_dir / "pages.pdf", doc));
  }
  static void TearDownTestSuite() {
    delete s_dir;
    s_dir = nullptr;
  }
  void SetUp() override { ASSERT_EQ(m_doc.OpenDocument(s_dir->Wide("pages.pdf"), "", ""), 3); }

  static TempDir* s_dir;
  CMuInterface m_doc{CMuInterface::PreviewInstance{}};
};

TempDir* RenderPageTest::s_dir = nullptr;

TEST_F(RenderPageTest, RasterSizeFollowsTheResolutionAndTheDisplayedOrientation) {
  struct Case {
    int page;
    float dpi;
    float width, height;
  };
  for (auto c : {Case{2, 72, 595, 842}, Case{2, 144, 1190, 1684}, Case{3, 72, 792, 612}, Case{3, 36, 396, 306}}) {
    SCOPED_TRACE(testing::Message() << "page " << c.page << " at " << c.dpi);
    Image image(m_doc.RenderPage(c.page, c.dpi));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->m_fPixWidth, c.width);
    EXPECT_EQ(image->m_fPixHeight, c.height);
    EXPECT_EQ(image->m_nDataSize, static_cast<int32_t>(c.width * c.height * 4));
  }
}

TEST_F(RenderPageTest, RowsAreStoredBottomUpInBlueGreenRedOpaqueOrder) {
  Image image(m_doc.RenderPage(2, 72));
  ASSERT_NE(image, nullptr);
  const int top = static_cast<int>(image->m_fPixHeight) - 1;
  EXPECT_TRUE(IsRed(At(*image, 0, 0)));    // the page's bottom-left pixel comes first
  EXPECT_TRUE(IsRed(At(*image, 19, 19)));
  EXPECT_TRUE(IsWhite(At(*image, 25, 0)));
  EXPECT_TRUE(IsWhite(At(*image, 0, top)));
  for (int32_t i = 3; i < image->m_nDataSize; i += 4) ASSERT_EQ(image->m_pData[i], 255) << "byte " << i;
}

TEST_F(RenderPageTest, RotatedPageIsDrawnAsDisplayed) {
  // Turned a quarter clockwise, the media box's bottom-left corner shows at the top left.
  Image image(m_doc.RenderPage(3, 72));
  ASSERT_NE(image, nullptr);
  const int top = static_cast<int>(image->m_fPixHeight) - 1;
  EXPECT_TRUE(IsRed(At(*image, 2, top - 2)));
  EXPECT_TRUE(IsWhite(At(*image, 2, 2)));
  EXPECT_TRUE(IsWhite(At(*image, static_cast<int>(image->m_fPixWidth) - 3, top - 2)));
}

TEST_F(RenderPageTest, TextIsPainted) {
  // "Page 1" stands on the baseline 72 points below the top, from 72 points in.
  Image image(m_doc.RenderPage(1, 72));
  ASSERT_NE(image, nullptr);
  int inked = 0;
  const int height = static_cast<int>(image->m_fPixHeight);
  for (int y = 62; y < 72; ++y)
    for (int x = 72; x < 110; ++x) inked += At(*image, x, height - 1 - y).g < 128;
  EXPECT_GT(inked, 10);
}

TEST_F(RenderPageTest, FailuresGiveNullAndLeaveTheInstanceUsable) {
  EXPECT_EQ(m_doc.RenderPage(0, 72), nullptr);
  EXPECT_EQ(m_doc.RenderPage(4, 72), nullptr);
  EXPECT_EQ(m_doc.RenderPage(1, 0), nullptr);
  EXPECT_EQ(m_doc.RenderPage(1, -72), nullptr);
  // 100 000 dpi would need a raster far beyond 2 GiB.
  EXPECT_EQ(m_doc.RenderPage(1, 100000), nullptr);
  // 864 dpi makes an A4 page 7140 x 10104: 72 million pixels, above the 64 Mi cap. It is
  // refused before any raster is made.
  EXPECT_EQ(m_doc.RenderPage(2, 864), nullptr);
  EXPECT_EQ(m_doc.GetLastError(), "page 2 is too large to draw");
  EXPECT_NE(Image(m_doc.RenderPage(1, 72)), nullptr);
  m_doc.CloseDocument();
  EXPECT_EQ(m_doc.RenderPage(1, 72), nullptr);
}

TEST(RenderPageGuard, SlowPageIsDroppedWithinItsTimeAndTheNextPageRenders) {
  TempDir dir;
  ASSERT_TRUE(fixtures::WriteBytes(dir / "slow.pdf", SlowPageBytes(size_t{64} << 20)));
  CMuInterface doc{CMuInterface::PreviewInstance{}};
  ASSERT_EQ(doc.OpenDocument(dir.Wide("slow.pdf"), "", ""), 2);
  doc.SetPageLimits(200, 0);
  EXPECT_EQ(doc.RenderPage(1, 72), nullptr);
  EXPECT_EQ(doc.GetLastError(), "page 1 ran out of time");
  Image next(doc.RenderPage(2, 72));
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->m_fPixWidth, 200);
}

}  // namespace
