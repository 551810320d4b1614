#include "capture/PageFinishing.h"

#include <gtest/gtest.h>

#include <vector>

#include "capture/PictureTidying.h"
#include "capture/TextPage.h"

namespace {

using namespace nsPDFData;
using capture::FinishPage;
using capture::TidyPictures;

struct Box {
  float x, y, w, h;
};

// A path with `segments` straight segments inside its box; the first carries `lineWidth`.
CPathObj* NewPath(Box box, int segments, int order, bool filled = true, float lineWidth = 1.0f) {
  auto* path = new CPathObj;
  path->m_fX = box.x;
  path->m_fY = box.y;
  path->m_fWidth = box.w;
  path->m_fHeight = box.h;
  path->m_nOrder = order;
  path->m_bFilled = filled ? 1 : 0;
  path->m_dFillAlpha = filled ? 255.0 : 0.0;
  for (int i = 0; i < segments; ++i) {
    auto* seg = new CPathSeg;
    seg->m_fX0 = box.x;
    seg->m_fY0 = box.y;
    seg->m_fX1 = box.x + box.w;
    seg->m_fY1 = box.y + box.h;
    seg->m_fLineWidth = lineWidth;
    seg->m_bStroked = filled ? 0 : 1;
    path->m_vecSegs.push_back(seg);
  }
  return path;
}

CImageObj* NewPicture(Box box, int order) {
  auto* picture = new CImageObj;
  picture->m_fX = box.x;
  picture->m_fY = box.y;
  picture->m_fWidth = box.w;
  picture->m_fHeight = box.h;
  picture->m_fPixWidth = box.w;
  picture->m_fPixHeight = box.h;
  picture->m_nOrder = order;
  return picture;
}

// A Letter page; the tests fill its paths and pictures.
struct LetterPage : CTextPage {
  LetterPage() {
    m_fWidth = 612;
    m_fHeight = 792;
  }
  void AddPath(Box box, int segments, int order, bool filled = true, float lineWidth = 1.0f) {
    m_vecPaths.push_back(NewPath(box, segments, order, filled, lineWidth));
  }
  void AddPicture(Box box, int order) { m_lstImages.push_back(NewPicture(box, order)); }
  // `count` separate 4 x 4 pictures on a grid, far enough apart never to merge.
  void AddPictureGrid(int count, int firstOrder) {
    for (int i = 0; i < count; ++i) AddPicture({float(i % 12) * 40, 400 + float(i / 12) * 20, 4, 4}, firstOrder + i);
  }
};

void ExpectBox(const CImageObj& picture, Box box) {
  EXPECT_FLOAT_EQ(picture.m_fX, box.x);
  EXPECT_FLOAT_EQ(picture.m_fY, box.y);
  EXPECT_FLOAT_EQ(picture.m_fWidth, box.w);
  EXPECT_FLOAT_EQ(picture.m_fHeight, box.h);
}

bool IsWholePage(const CTextPage& page) {
  if (!page.m_vecPaths.empty() || page.m_lstImages.size() != 1) return false;
  const CImageObj& picture = *page.m_lstImages.front();
  return picture.m_nOrder == 1 && picture.m_fX == 0 && picture.m_fY == 0 &&
         picture.m_fWidth == page.m_fWidth && picture.m_fHeight == page.m_fHeight;
}

std::vector<int> PathOrders(const CTextPage& page) {
  std::vector<int> orders;
  for (const CPathObj* path : page.m_vecPaths) orders.push_back(path->m_nOrder);
  return orders;
}

std::vector<int> PictureOrders(const CTextPage& page) {
  std::vector<int> orders;
  for (const CImageObj* picture : page.m_lstImages) orders.push_back(picture->m_nOrder);
  return orders;
}

// --- Whole-page picture -------------------------------------------------------------

struct WholePageCase {
  const char* name;
  int pathCount;        // simple one-line paths spread over the page
  int segmentsPerPath;
  int pictures;         // separate small pictures
  int complexDrawings;  // 20-segment drawings in 10 x 10 points, each one picture
  bool wholePage;
};

TEST(PageFinishing, WholePagePictureAtItsThresholds) {
  const WholePageCase cases[] = {
      {"999 segments", 9, 111, 0, 0, false},
      {"1000 segments", 10, 100, 0, 0, true},
      {"paths and 99 pictures", 1, 1, 99, 0, false},
      {"paths and 100 pictures", 1, 1, 100, 0, true},
      {"100 pictures without paths", 0, 0, 100, 0, false},
      {"101 pictures without paths", 0, 0, 101, 0, true},
      {"drawings bring the pictures to 100", 0, 0, 98, 2, false},
      {"drawings bring the pictures to 101", 0, 0, 98, 3, true},
  };
  for (const WholePageCase& c : cases) {
    SCOPED_TRACE(c.name);
    LetterPage page;
    int order = 10;
    // Long thin horizontal lines, one per row: never tiny, never complex, never grouped.
    for (int i = 0; i < c.pathCount; ++i) page.AddPath({10, 10 + float(i) * 30, 500, 0}, c.segmentsPerPath, order++);
    for (int i = 0; i < c.complexDrawings; ++i) page.AddPath({10 + float(i) * 50, 700, 10, 10}, 20, order++);
    page.AddPictureGrid(c.pictures, order);
    FinishPage(page);
    EXPECT_EQ(IsWholePage(page), c.wholePage);
  }
}

// --- Tiny and page-covering paths ---------------------------------------------------

TEST(PageFinishing, DropsTinyAndPageCoveringPathsOnly) {
  struct Case {
    const char* name;
    Box box;
    bool kept;
  } cases[] = {
      {"dust below one point both ways", {50, 50, 0.99f, 0.99f}, false},
      {"one point wide, half a point high", {50, 50, 1, 0.5f}, true},
      {"a dot", {50, 50, 0, 0}, false},
      {"white page-sized background at the origin", {0, 0, 612, 792}, true},
      {"background far out at (-200, -200)", {-200, -200, 10400, 10400}, false},
      {"far out but only 10000 wide", {-200, -200, 10000, 10400}, true},
      {"large but starting at x = -100", {-100, -200, 10400, 10400}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LetterPage page;
    page.AddPath(c.box, 4, 7);
    FinishPage(page);
    EXPECT_EQ(page.m_vecPaths.size(), c.kept ? 1u : 0u);
    EXPECT_TRUE(page.m_lstImages.empty());
  }
}

// --- Complex drawings -----------------------------------------------------------------

TEST(PageFinishing, ComplexDrawingBecomesPictureAtItsThresholds) {
  struct Case {
    const char* name;
    int segments;
    Box box;
    bool picture;
  } cases[] = {
      {"5 segments in 2 x 2", 5, {100, 100, 2, 2}, true},
      {"4 segments in 2 x 2", 4, {100, 100, 2, 2}, false},
      {"narrower than 2 points", 50, {100, 100, 1.99f, 10}, false},
      {"lower than 2 points", 50, {100, 100, 10, 1.99f}, false},
      {"root of the area equals the count", 5, {100, 100, 5, 5}, false},
      {"root of the area just below the count", 5, {100, 100, 4.99f, 5}, true},
      {"40-segment chart in 20 x 20", 40, {100, 100, 20, 20}, true},
      {"single long line", 1, {100, 100, 400, 2}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LetterPage page;
    page.AddPath(c.box, c.segments, 12);
    FinishPage(page);
    if (c.picture) {
      ASSERT_EQ(page.m_lstImages.size(), 1u);
      EXPECT_TRUE(page.m_vecPaths.empty());
      ExpectBox(*page.m_lstImages.front(), c.box);
      EXPECT_EQ(page.m_lstImages.front()->m_nOrder, 12);
    } else {
      EXPECT_TRUE(page.m_lstImages.empty());
      EXPECT_EQ(page.m_vecPaths.size(), 1u);
    }
  }
}

// A chart drawn as 40 separate strokes: they overlap into one group, which becomes one
// picture taking the earliest drawing order of its strokes.
TEST(PageFinishing, ChartOfSeparateStrokesBecomesOnePicture) {
  LetterPage page;
  page.AddPath({300, 10, 5, 5}, 1, 1);  // far away, unrelated
  for (int i = 0; i < 20; ++i) {
    page.AddPath({100, 100 + float(i), 20, 1}, 1, 60 - i);              // horizontal bars
    page.AddPath({100 + float(i), 100, 1, 20}, 1, 80 + i);              // vertical bars
  }
  FinishPage(page);
  ASSERT_EQ(page.m_lstImages.size(), 1u);
  ExpectBox(*page.m_lstImages.front(), {100, 100, 20, 20});
  EXPECT_EQ(page.m_lstImages.front()->m_nOrder, 41);
  EXPECT_EQ(PathOrders(page), std::vector<int>({1}));
}

// Clusters chain by vertical overlap; inside a cluster, groups merge by horizontal overlap
// alone. A and C share no rows but join through B's cluster and overlap horizontally, so
// they form one 6-segment drawing; B, beside them, stays a path. Touching is no overlap.
TEST(PageFinishing, ClustersChainVerticallyAndGroupsMergeHorizontally) {
  LetterPage page;
  page.AddPath({0, 0, 3, 3}, 3, 1);     // A
  page.AddPath({100, 2, 3, 3}, 3, 2);   // B
  page.AddPath({0, 4, 3, 3}, 3, 3);     // C
  page.AddPath({200, 50, 3, 3}, 3, 4);  // D and E only touch: two 3-segment paths
  page.AddPath({203, 50, 3, 3}, 3, 5);
  FinishPage(page);
  ASSERT_EQ(page.m_lstImages.size(), 1u);
  ExpectBox(*page.m_lstImages.front(), {0, 0, 3, 7});
  EXPECT_EQ(page.m_lstImages.front()->m_nOrder, 1);
  EXPECT_EQ(PathOrders(page), std::vector<int>({2, 4, 5}));
}

// --- Absorption into pictures ---------------------------------------------------------

TEST(PageFinishing, PathsLyingOnAPictureAreAbsorbed) {
  const Box photo{100, 100, 200, 100};
  struct Case {
    const char* name;
    Box path;
    bool filled;
    float lineWidth;
    bool absorbed;
    Box pictureAfter;
  } cases[] = {
      {"stroked line inside", {150, 150, 50, 2}, false, 2, true, photo},
      {"filled shape 2 points out", {98, 150, 50, 10}, true, 1, true, {98, 100, 202, 100}},
      {"filled shape 2.5 points out", {97.5f, 150, 50, 10}, true, 1, false, photo},
      {"stroke on the edge, half its width outside", {100, 150, 50, 2}, false, 2, false, photo},
      {"stroke half its width inside", {101, 150, 50, 2}, false, 2, true, photo},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LetterPage page;
    page.AddPicture(photo, 50);
    page.AddPath(c.path, 1, 3, c.filled, c.lineWidth);
    FinishPage(page);
    EXPECT_EQ(page.m_vecPaths.size(), c.absorbed ? 0u : 1u);
    ASSERT_EQ(page.m_lstImages.size(), 1u);
    ExpectBox(*page.m_lstImages.front(), c.pictureAfter);
  }
}

// A line on the seam between two pictures lies on both (within the 2-point margin); the
// first in list order, which is drawing order after tidying, takes it and grows.
TEST(PageFinishing, FirstPictureInDrawingOrderTakesThePath) {
  LetterPage page;
  page.AddPicture({100, 100, 100, 100}, 9);
  page.AddPicture({100, 201, 100, 100}, 8);
  page.AddPath({120, 200.5f, 10, 0}, 1, 1);
  FinishPage(page);
  EXPECT_TRUE(page.m_vecPaths.empty());
  ASSERT_EQ(PictureOrders(page), std::vector<int>({8, 9}));
  ExpectBox(*page.m_lstImages.front(), {100, 200.5f, 100, 100.5f});
  ExpectBox(*page.m_lstImages.back(), {100, 100, 100, 100});
}

TEST(PageFinishing, KeptPathsEndInDrawingOrder) {
  LetterPage page;
  page.AddPath({300, 500, 10, 10}, 1, 4);
  page.AddPath({10, 10, 10, 10}, 1, 9);
  page.AddPath({400, 10, 10, 10}, 1, 2);
  page.AddPath({10, 700, 10, 10}, 1, 7);
  FinishPage(page);
  EXPECT_EQ(PathOrders(page), std::vector<int>({2, 4, 7, 9}));
}

// --- Picture tidying ------------------------------------------------------------------

TEST(PictureTidying, OverlappingPicturesBecomeOneWithTheEarlierOrder) {
  LetterPage page;
  page.AddPicture({200, 220, 100, 80}, 6);
  page.AddPicture({100, 200, 150, 50}, 5);
  FinishPage(page);
  ASSERT_EQ(page.m_lstImages.size(), 1u);
  ExpectBox(*page.m_lstImages.front(), {100, 200, 200, 100});
  EXPECT_EQ(page.m_lstImages.front()->m_nOrder, 5);
}

TEST(PictureTidying, ClipsToThePageAndDropsWhatIsLeftTooThin) {
  struct Case {
    const char* name;
    Box before;
    bool kept;
    Box after;
  } cases[] = {
      {"above and left of the page", {-10, -20, 50, 60}, true, {0, 0, 40, 40}},
      {"wider and higher than the page", {5, 5, 700, 900}, true, {5, 5, 612, 792}},
      {"past the right edge stays for the export to cut", {500, 5, 300, 10}, true, {500, 5, 300, 10}},
      {"0.05 points left after the clip", {-10, 5, 10.05f, 10}, false, {}},
      {"wholly above the page", {5, -30, 10, 20}, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LetterPage page;
    page.AddPicture(c.before, 1);
    TidyPictures(page);
    ASSERT_EQ(page.m_lstImages.size(), c.kept ? 1u : 0u);
    if (c.kept) ExpectBox(*page.m_lstImages.front(), c.after);
  }
}

// Pictures side by side in one band stay apart and touching edges do not merge; a picture
// overlapping its left neighbour merges into it.
TEST(PictureTidying, MergesWithinBandsByHorizontalOverlapAndEndsInDrawingOrder) {
  LetterPage page;
  page.AddPicture({0, 0, 100, 50}, 4);      // A
  page.AddPicture({100, 0, 100, 50}, 3);    // B touches A
  page.AddPicture({250, 40, 50, 50}, 2);    // C: joins the band, overlaps nothing sideways
  page.AddPicture({270, 80, 50, 50}, 1);    // D: in the band through C, overlaps C sideways
  page.AddPicture({0, 300, 50, 50}, 5);     // E: a band of its own
  TidyPictures(page);
  ASSERT_EQ(PictureOrders(page), std::vector<int>({1, 3, 4, 5}));
  ExpectBox(*page.m_lstImages.front(), {250, 40, 70, 90});
}

}  // namespace
