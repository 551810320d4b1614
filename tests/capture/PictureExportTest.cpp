#include "capture/PictureExport.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include <jpeglib.h>

#include "capture/TextPage.h"

namespace {

using namespace nsPDFData;

struct Rgb {
  int r, g, b;
};

// A packed RGB page bitmap as the graphics pass hands it over.
void FillBitmap(CImageObj& bitmap, int width, int height, const std::function<Rgb(int, int)>& colour) {
  bitmap.m_fPixWidth = float(width);
  bitmap.m_fPixHeight = float(height);
  bitmap.m_nDataSize = width * height * 3;
  bitmap.m_pData = new uint8_t[size_t(bitmap.m_nDataSize)];
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb c = colour(x, y);
      uint8_t* p = bitmap.m_pData + (size_t(y) * width + x) * 3;
      p[0] = uint8_t(c.r);
      p[1] = uint8_t(c.g);
      p[2] = uint8_t(c.b);
    }
  }
}

CImageObj* NewPicture(float x, float y, float w, float h) {
  auto* picture = new CImageObj;
  picture->m_fX = x;
  picture->m_fY = y;
  picture->m_fWidth = w;
  picture->m_fHeight = h;
  picture->m_fPixWidth = w;
  picture->m_fPixHeight = h;
  return picture;
}

// What libjpeg reads back from a picture's bytes.
struct Decoded {
  bool ok = false;
  int width = 0;
  int height = 0;
  bool allQuantisersOne = false;
  std::vector<uint8_t> pixels;  // packed RGB

  Rgb At(int x, int y) const {
    const uint8_t* p = pixels.data() + (size_t(y) * width + x) * 3;
    return {p[0], p[1], p[2]};
  }
};

struct DecodeError {
  jpeg_error_mgr pub;
  jmp_buf jump;
};

void OnDecodeError(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<DecodeError*>(cinfo->err)->jump, 1); }

bool QuantisersAreOne(const jpeg_decompress_struct& cinfo) {
  for (int t = 0; t < 2; ++t) {
    if (!cinfo.quant_tbl_ptrs[t]) return false;
    for (UINT16 q : cinfo.quant_tbl_ptrs[t]->quantval)
      if (q != 1) return false;
  }
  return true;
}

// Plain C data only in this frame: libjpeg leaves it by longjmp on a broken stream.
bool DecodeInto(const uint8_t* bytes, size_t size, int& width, int& height, bool& quantOne, uint8_t** out) {
  jpeg_decompress_struct cinfo = {};
  DecodeError err;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnDecodeError;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, bytes, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  quantOne = QuantisersAreOne(cinfo);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  width = int(cinfo.output_width);
  height = int(cinfo.output_height);
  *out = static_cast<uint8_t*>(std::malloc(size_t(width) * height * 3));
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = *out + size_t(cinfo.output_scanline) * width * 3;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

Decoded Decode(const CImageObj& picture) {
  Decoded result;
  if (!picture.m_pData || picture.m_nDataSize <= 0) return result;
  uint8_t* pixels = nullptr;
  result.ok = DecodeInto(picture.m_pData, size_t(picture.m_nDataSize), result.width, result.height,
                         result.allQuantisersOne, &pixels);
  if (result.ok) result.pixels.assign(pixels, pixels + size_t(result.width) * result.height * 3);
  std::free(pixels);
  return result;
}

void ExpectColour(const Decoded& image, int x, int y, Rgb want) {
  const Rgb got = image.At(x, y);
  const int tolerance = 6;  // quality 100 still subsamples chroma
  EXPECT_NEAR(got.r, want.r, tolerance) << "at " << x << "," << y;
  EXPECT_NEAR(got.g, want.g, tolerance) << "at " << x << "," << y;
  EXPECT_NEAR(got.b, want.b, tolerance) << "at " << x << "," << y;
}

void ExpectBox(const CImageObj& picture, float x, float y, float w, float h) {
  EXPECT_FLOAT_EQ(picture.m_fX, x);
  EXPECT_FLOAT_EQ(picture.m_fY, y);
  EXPECT_FLOAT_EQ(picture.m_fWidth, w);
  EXPECT_FLOAT_EQ(picture.m_fHeight, h);
}

// Four quadrants split at raster column 60 and row 45.
Rgb Quadrants(int x, int y) {
  if (y < 45) return x < 60 ? Rgb{255, 0, 0} : Rgb{0, 0, 255};
  return x < 60 ? Rgb{0, 160, 0} : Rgb{255, 255, 255};
}

TEST(PictureExport, CropsTheRasterUnderTheBoxIntoAQuality100Jpeg) {
  CImageObj bitmap;
  FillBitmap(bitmap, 120, 90, Quadrants);
  // Raster 20.67..100.13 x 20.67..80.13, rounded outward to whole pixels.
  std::unique_ptr<CImageObj> picture(NewPicture(15.5f, 15.5f, 59.6f, 44.6f));

  ASSERT_TRUE(capture::ExportPicture(*picture, bitmap));
  ExpectBox(*picture, 20, 20, 81, 61);
  EXPECT_FLOAT_EQ(picture->m_fPixWidth, 81);
  EXPECT_FLOAT_EQ(picture->m_fPixHeight, 61);
  ASSERT_GT(picture->m_nDataSize, 4);
  EXPECT_EQ(picture->m_pData[0], 0xFF);
  EXPECT_EQ(picture->m_pData[1], 0xD8);
  EXPECT_EQ(picture->m_pData[picture->m_nDataSize - 2], 0xFF);
  EXPECT_EQ(picture->m_pData[picture->m_nDataSize - 1], 0xD9);

  const Decoded image = Decode(*picture);
  ASSERT_TRUE(image.ok);
  EXPECT_EQ(image.width, 81);
  EXPECT_EQ(image.height, 61);
  EXPECT_TRUE(image.allQuantisersOne);
  ExpectColour(image, 10, 10, {255, 0, 0});     // raster 30, 30
  ExpectColour(image, 70, 10, {0, 0, 255});     // raster 90, 30
  ExpectColour(image, 10, 50, {0, 160, 0});     // raster 30, 70
  ExpectColour(image, 70, 50, {255, 255, 255});
  ExpectColour(image, 37, 22, {255, 0, 0});     // just inside the red quadrant's corner
  ExpectColour(image, 42, 28, {255, 255, 255});
}

TEST(PictureExport, CropStopsAtTheRasterEdges) {
  CImageObj bitmap;
  FillBitmap(bitmap, 120, 90, Quadrants);
  // Raster 80..214 x 53..187, cut to the 120 x 90 raster.
  std::unique_ptr<CImageObj> picture(NewPicture(60, 40, 100, 100));
  ASSERT_TRUE(capture::ExportPicture(*picture, bitmap));
  ExpectBox(*picture, 80, 53, 40, 37);
  const Decoded image = Decode(*picture);
  ASSERT_TRUE(image.ok);
  EXPECT_EQ(image.width, 40);
  EXPECT_EQ(image.height, 37);
  ExpectColour(image, 39, 36, {255, 255, 255});
}

// The stream is handed over in 4096-byte chunks; a picture spanning many must come back
// whole, the last partial chunk included.
TEST(PictureExport, PictureLargerThanManyChunksDecodesWhole) {
  CImageObj bitmap;
  FillBitmap(bitmap, 300, 240, [](int x, int y) { return Rgb{x * 255 / 299, y * 255 / 239, (x ^ y) & 0x3F}; });
  std::unique_ptr<CImageObj> picture(NewPicture(0, 0, 225, 180));
  ASSERT_TRUE(capture::ExportPicture(*picture, bitmap));
  EXPECT_GT(picture->m_nDataSize, 3 * 4096);
  const Decoded image = Decode(*picture);
  ASSERT_TRUE(image.ok);
  ASSERT_EQ(image.width, 300);
  ASSERT_EQ(image.height, 240);
  ExpectColour(image, 299, 239, {255, 255, (299 ^ 239) & 0x3F});
}

// Pictures that find nothing to crop keep their box in points and no data; the others on
// the same page are exported all the same.
TEST(PictureExport, EmptyCropsKeepTheirBoxInPointsAndNoData) {
  struct Case {
    const char* name;
    float x, y, w, h;
    bool shortBitmap;  // the bitmap's data does not cover its stated size
  } cases[] = {
      {"right of the raster", 95, 10, 20, 20, false},
      {"above the raster", 10, -40, 20, 20, false},
      {"far off, beyond any integer", 1e30f, 1e30f, 1e30f, 1e30f, false},
      {"unusable bitmap", 10, 10, 20, 20, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CImageObj bitmap;
    FillBitmap(bitmap, 120, 90, Quadrants);
    if (c.shortBitmap) bitmap.m_fPixHeight = 91;
    CTextPage page;
    page.m_lstImages.push_back(NewPicture(c.x, c.y, c.w, c.h));
    page.m_lstImages.push_back(NewPicture(0, 0, 10, 10));
    capture::ExportPictures(page, bitmap);

    const CImageObj& empty = *page.m_lstImages.front();
    ExpectBox(empty, c.x, c.y, c.w, c.h);
    EXPECT_EQ(empty.m_pData, nullptr);
    EXPECT_EQ(empty.m_nDataSize, 0);
    const CImageObj& other = *page.m_lstImages.back();
    EXPECT_EQ(other.m_pData != nullptr, !c.shortBitmap);
  }
}

// JPEG holds at most 65500 pixels a side. A wider crop cannot be encoded, and its raw
// pixels must not stay behind to be written as if they were a JPEG file.
TEST(PictureExport, FailedEncodingKeepsNoRawPixels) {
  CImageObj bitmap;
  FillBitmap(bitmap, 65501, 2, [](int, int) { return Rgb{10, 20, 30}; });
  std::unique_ptr<CImageObj> picture(NewPicture(0, 0, 49126, 1.5f));
  EXPECT_FALSE(capture::ExportPicture(*picture, bitmap));
  EXPECT_EQ(picture->m_pData, nullptr);
  EXPECT_EQ(picture->m_nDataSize, 0);
}

}  // namespace
