#include "capture/PictureTidying.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "capture/TextPage.h"
#include "layout/LayoutBoxes.h"

namespace capture {

namespace {

using nsPDFData::CImageObj;
using PicturePtr = std::unique_ptr<CImageObj>;
using Band = std::vector<PicturePtr>;

constexpr float kMinPictureSide = 0.1f;  // points; thinner pictures carry nothing visible

using layout::BoxOf;
using layout::SetBox;

// Cuts the picture at the page's top and left edges and to the page's size; false when
// what is left is too thin to keep (NaN sizes included).
bool ClipToPage(CImageObj& picture, float pageWidth, float pageHeight) {
  if (picture.m_fX < 0) {
    picture.m_fWidth += picture.m_fX;
    picture.m_fX = 0;
  }
  if (picture.m_fY < 0) {
    picture.m_fHeight += picture.m_fY;
    picture.m_fY = 0;
  }
  picture.m_fWidth = std::min(picture.m_fWidth, pageWidth);
  picture.m_fHeight = std::min(picture.m_fHeight, pageHeight);
  return picture.m_fWidth >= kMinPictureSide && picture.m_fHeight >= kMinPictureSide;
}

// Takes the pictures out of the page, dropping those that the page clip leaves too thin.
std::vector<PicturePtr> TakeClippedPictures(nsPDFData::CTextPage& page) {
  std::vector<PicturePtr> pictures;
  pictures.reserve(page.m_lstImages.size());
  for (CImageObj* raw : page.m_lstImages) {
    PicturePtr picture(raw);
    if (ClipToPage(*picture, page.m_fWidth, page.m_fHeight)) pictures.push_back(std::move(picture));
  }
  page.m_lstImages.clear();
  return pictures;
}

// Groups pictures, taken top to bottom, into bands: a picture that overlaps the current
// band vertically joins it and widens it.
std::vector<Band> SplitIntoBands(std::vector<PicturePtr> pictures) {
  std::stable_sort(pictures.begin(), pictures.end(),
                   [](const PicturePtr& a, const PicturePtr& b) { return a->m_fY < b->m_fY; });
  std::vector<Band> bands;
  layout::CBox bandBox;
  for (PicturePtr& picture : pictures) {
    const layout::CBox box = BoxOf(*picture);
    if (!bands.empty() && layout::IntersectBox(bandBox, box).m_fHeight > 0) {
      bandBox = layout::UnionBox(bandBox, box);
    } else {
      bands.emplace_back();
      bandBox = box;
    }
    bands.back().push_back(std::move(picture));
  }
  return bands;
}

// Within one band, left to right, folds each picture that overlaps the current one
// horizontally into it (union box, earlier drawing order); the rest go to `kept`.
void MergeBand(Band& band, std::vector<PicturePtr>& kept) {
  std::stable_sort(band.begin(), band.end(),
                   [](const PicturePtr& a, const PicturePtr& b) { return a->m_fX < b->m_fX; });
  CImageObj* current = nullptr;
  for (PicturePtr& picture : band) {
    if (current && layout::IntersectBox(BoxOf(*current), BoxOf(*picture)).m_fWidth > 0) {
      SetBox(*current, layout::UnionBox(BoxOf(*current), BoxOf(*picture)));
      current->m_nOrder = std::min(current->m_nOrder, picture->m_nOrder);
      picture.reset();
      continue;
    }
    current = picture.get();
    kept.push_back(std::move(picture));
  }
}

}  // namespace

void TidyPictures(nsPDFData::CTextPage& page) {
  std::vector<PicturePtr> pictures = TakeClippedPictures(page);
  if (pictures.empty()) return;

  std::vector<PicturePtr> kept;
  for (Band& band : SplitIntoBands(std::move(pictures))) MergeBand(band, kept);

  std::stable_sort(kept.begin(), kept.end(), [](const PicturePtr& a, const PicturePtr& b) {
    return a->m_nOrder < b->m_nOrder;
  });
  for (PicturePtr& picture : kept) page.m_lstImages.push_back(picture.release());
}

}  // namespace capture
