#include "capture/PageFinishing.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>
#include <vector>

#include "capture/PictureTidying.h"
#include "capture/TextPage.h"
#include "layout/LayoutBoxes.h"

namespace capture {

namespace {

using nsPDFData::CImageObj;
using nsPDFData::CPathObj;
using nsPDFData::CTextPage;
using PathPtr = std::unique_ptr<CPathObj>;

// Above these a page's graphics would cost quadratic work here and an oversized slide;
// one raster picture carries them instead.
constexpr size_t kWholePageSegments = 1000;  // segments in all paths, at or above
constexpr size_t kWholePagePictures = 100;   // pictures

constexpr float kTinyPathSide = 1.0f;            // points; both sides below: dust
constexpr float kCoveringPathOrigin = -100.0f;   // points; both x and y below ...
constexpr float kCoveringPathSide = 10000.0f;    // ... and both sides above: a page filler
constexpr size_t kComplexMinSegments = 5;
constexpr float kComplexMinSide = 2.0f;          // points
constexpr float kFilledAbsorbMargin = 2.0f;      // points a filled path may stick out of a picture

// Paths that overlap horizontally within a cluster: one drawing.
struct PathGroup {
  layout::CBox m_box;              // union of the paths' boxes, points
  std::vector<PathPtr> m_vecPaths;
};

// Groups that overlap vertically: one horizontal band of the page's drawings.
struct PathCluster {
  layout::CBox m_box;              // union of the groups' boxes, points
  std::vector<PathGroup> m_vecGroups;
};

using layout::BoxOf;
using layout::SetBox;

size_t CountSegments(const std::vector<CPathObj*>& paths) {
  size_t count = 0;
  for (const CPathObj* path : paths) count += path->m_vecSegs.size();
  return count;
}

size_t CountSegments(const std::vector<PathPtr>& paths) {
  size_t count = 0;
  for (const PathPtr& path : paths) count += path->m_vecSegs.size();
  return count;
}

// A picture with the given box, as the capture would have recorded it.
CImageObj* NewPicture(const layout::CBox& box, int32_t order) {
  auto* picture = new CImageObj;
  SetBox(*picture, box);
  picture->m_fPixWidth = box.m_fWidth;
  picture->m_fPixHeight = box.m_fHeight;
  picture->m_nOrder = order;
  return picture;
}

void MakeWholePagePicture(CTextPage& page) {
  for (CImageObj* picture : page.m_lstImages) delete picture;
  page.m_lstImages.clear();
  for (CPathObj* path : page.m_vecPaths) delete path;
  page.m_vecPaths.clear();
  page.m_lstImages.push_back(NewPicture({page.m_fX, page.m_fY, page.m_fWidth, page.m_fHeight}, 1));
}

bool IsTiny(const CPathObj& path) {
  return path.m_fWidth < kTinyPathSide && path.m_fHeight < kTinyPathSide;
}

// Huge rectangles reaching far above and left of the page only paint a background.
bool IsPageCovering(const CPathObj& path) {
  return path.m_fX < kCoveringPathOrigin && path.m_fY < kCoveringPathOrigin &&
         path.m_fWidth > kCoveringPathSide && path.m_fHeight > kCoveringPathSide;
}

// Takes every path out of the page; each one kept becomes a group inside a cluster of its own.
std::vector<PathCluster> TakePathClusters(CTextPage& page) {
  std::vector<PathCluster> clusters;
  for (CPathObj* raw : page.m_vecPaths) {
    PathPtr path(raw);
    if (IsTiny(*path) || IsPageCovering(*path)) continue;
    PathCluster& cluster = clusters.emplace_back();
    cluster.m_box = BoxOf(*path);
    PathGroup& group = cluster.m_vecGroups.emplace_back();
    group.m_box = cluster.m_box;
    group.m_vecPaths.push_back(std::move(path));
  }
  page.m_vecPaths.clear();
  return clusters;
}

// Sorts the items by one edge (stable) and folds each next item into the current one while
// their boxes overlap along that axis (overlap extent above 0), moving its children.
template <typename Item, typename Children>
void MergeOverlapping(std::vector<Item>& items, float layout::CBox::*edge,
                      float layout::CBox::*overlap, Children Item::*children) {
  std::stable_sort(items.begin(), items.end(), [edge](const Item& a, const Item& b) {
    return a.m_box.*edge < b.m_box.*edge;
  });
  std::vector<Item> merged;
  merged.reserve(items.size());
  for (Item& item : items) {
    if (!merged.empty() && layout::IntersectBox(merged.back().m_box, item.m_box).*overlap > 0) {
      Item& current = merged.back();
      current.m_box = layout::UnionBox(current.m_box, item.m_box);
      Children& moved = item.*children;
      std::move(moved.begin(), moved.end(), std::back_inserter(current.*children));
      continue;
    }
    merged.push_back(std::move(item));
  }
  items = std::move(merged);
}

// Many segments in a small area (a chart, a logo, hatching) read better as a picture
// than as hundreds of tiny shapes.
bool IsComplexDrawing(const PathGroup& group) {
  const size_t segments = CountSegments(group.m_vecPaths);
  const float width = group.m_box.m_fWidth;
  const float height = group.m_box.m_fHeight;
  if (segments < kComplexMinSegments || !(width >= kComplexMinSide) || !(height >= kComplexMinSide))
    return false;
  const double side = std::floor(std::sqrt(double(width) * double(height)));
  return side < double(segments);
}

int32_t SmallestOrder(const std::vector<PathPtr>& paths) {
  int32_t order = paths.front()->m_nOrder;
  for (const PathPtr& path : paths) order = std::min(order, path->m_nOrder);
  return order;
}

void TurnComplexDrawingsIntoPictures(std::vector<PathCluster>& clusters, CTextPage& page) {
  for (PathCluster& cluster : clusters) {
    for (PathGroup& group : cluster.m_vecGroups) {
      if (!IsComplexDrawing(group)) continue;
      page.m_lstImages.push_back(NewPicture(group.m_box, SmallestOrder(group.m_vecPaths)));
      group.m_vecPaths.clear();
    }
  }
}

// How far a path may reach beyond a picture and still lie on it: filled shapes a little,
// stroked lines must stay half their width inside (their ink would show otherwise).
float AbsorbMargin(const CPathObj& path) {
  if (path.m_bFilled) return kFilledAbsorbMargin;
  if (path.m_vecSegs.empty()) return 0;
  return -path.m_vecSegs.front()->m_fLineWidth / 2;
}

bool PictureContains(const CImageObj& picture, const CPathObj& path, float margin) {
  return picture.m_fX - margin <= path.m_fX && picture.m_fY - margin <= path.m_fY &&
         path.m_fX + path.m_fWidth <= picture.m_fX + picture.m_fWidth + margin &&
         path.m_fY + path.m_fHeight <= picture.m_fY + picture.m_fHeight + margin;
}

// The first picture, in list order, that the path lies on; null when none.
CImageObj* FindAbsorbingPicture(const CTextPage& page, const CPathObj& path) {
  const float margin = AbsorbMargin(path);
  for (CImageObj* picture : page.m_lstImages) {
    if (PictureContains(*picture, path, margin)) return picture;
  }
  return nullptr;
}

// Paths lying on a picture are already in its raster: the picture grows over them and
// they go. Returns the paths that stay, in cluster and group order.
std::vector<PathPtr> AbsorbPathsIntoPictures(std::vector<PathCluster>& clusters, CTextPage& page) {
  std::vector<PathPtr> kept;
  for (PathCluster& cluster : clusters) {
    for (PathGroup& group : cluster.m_vecGroups) {
      for (PathPtr& path : group.m_vecPaths) {
        if (CImageObj* picture = FindAbsorbingPicture(page, *path)) {
          SetBox(*picture, layout::UnionBox(BoxOf(*picture), BoxOf(*path)));
          path.reset();
        } else {
          kept.push_back(std::move(path));
        }
      }
    }
  }
  return kept;
}

void PutBackInDrawingOrder(std::vector<PathPtr> paths, CTextPage& page) {
  std::stable_sort(paths.begin(), paths.end(),
                   [](const PathPtr& a, const PathPtr& b) { return a->m_nOrder < b->m_nOrder; });
  page.m_vecPaths.reserve(paths.size());
  for (PathPtr& path : paths) page.m_vecPaths.push_back(path.release());
}

void FinishPageWithPaths(CTextPage& page) {
  if (CountSegments(page.m_vecPaths) >= kWholePageSegments ||
      page.m_lstImages.size() >= kWholePagePictures) {
    MakeWholePagePicture(page);
    return;
  }
  std::vector<PathCluster> clusters = TakePathClusters(page);
  if (clusters.empty()) return;

  MergeOverlapping(clusters, &layout::CBox::m_fY, &layout::CBox::m_fHeight, &PathCluster::m_vecGroups);
  for (PathCluster& cluster : clusters) {
    MergeOverlapping(cluster.m_vecGroups, &layout::CBox::m_fX, &layout::CBox::m_fWidth,
                     &PathGroup::m_vecPaths);
  }
  TurnComplexDrawingsIntoPictures(clusters, page);
  if (!page.m_lstImages.empty()) TidyPictures(page);
  PutBackInDrawingOrder(AbsorbPathsIntoPictures(clusters, page), page);
  if (page.m_lstImages.size() > kWholePagePictures) MakeWholePagePicture(page);
}

}  // namespace

void FinishPage(CTextPage& page) {
  if (!page.m_vecPaths.empty()) {
    FinishPageWithPaths(page);
    return;
  }
  if (page.m_lstImages.empty()) return;
  TidyPictures(page);
  if (page.m_lstImages.size() > kWholePagePictures) MakeWholePagePicture(page);
}

}  // namespace capture
