#include "capture/CaptureRecords.h"

#include <algorithm>
#include <memory>

#include "capture/TextPage.h"

namespace capture {

namespace {

constexpr float kPointsPerPixel = 0.75f;

double ClampChannel(float value) { return std::clamp(static_cast<double>(value), 0.0, 255.0); }

void SetBox(float& x, float& y, float& width, float& height, const DeviceBox& box) {
  x = box.m_nX0 * kPointsPerPixel;
  y = box.m_nY0 * kPointsPerPixel;
  width = (box.m_nX1 - box.m_nX0) * kPointsPerPixel;
  height = (box.m_nY1 - box.m_nY0) * kPointsPerPixel;
}

std::unique_ptr<nsPDFData::CPathSeg> ConvertSegment(const RecordedSegment& recorded) {
  auto seg = std::make_unique<nsPDFData::CPathSeg>();
  seg->m_fX0 = recorded.m_start.m_fX * kPointsPerPixel;
  seg->m_fY0 = recorded.m_start.m_fY * kPointsPerPixel;
  seg->m_fX1 = recorded.m_end.m_fX * kPointsPerPixel;
  seg->m_fY1 = recorded.m_end.m_fY * kPointsPerPixel;
  seg->m_fCX1 = recorded.m_control1.m_fX * kPointsPerPixel;
  seg->m_fCY1 = recorded.m_control1.m_fY * kPointsPerPixel;
  seg->m_fCX2 = recorded.m_control2.m_fX * kPointsPerPixel;
  seg->m_fCY2 = recorded.m_control2.m_fY * kPointsPerPixel;
  seg->m_dRed = ClampChannel(recorded.m_afStroke[0]);
  seg->m_dGreen = ClampChannel(recorded.m_afStroke[1]);
  seg->m_dBlue = ClampChannel(recorded.m_afStroke[2]);
  seg->m_dStrokeAlpha = recorded.m_nStroked ? 255.0 : 0.0;
  seg->m_fLineWidth = recorded.m_fLineWidth;
  SetBox(seg->m_fX, seg->m_fY, seg->m_fWidth, seg->m_fHeight, recorded.m_box);
  seg->m_bCurve = recorded.m_nCurve ? 1 : 0;
  seg->m_bStroked = recorded.m_nStroked ? 1 : 0;
  seg->m_nDash = recorded.m_nDash;
  return seg;
}

// Straight-edged shapes of one, four or five segments are the frames and rules that run
// past the page edge; their part inside the page is what the slide should show.
bool IsClampable(const nsPDFData::CPathObj& path) {
  const size_t count = path.m_vecSegs.size();
  if (count != 1 && count != 4 && count != 5) return false;
  return std::none_of(path.m_vecSegs.begin(), path.m_vecSegs.end(),
                      [](const nsPDFData::CPathSeg* seg) { return seg->m_bCurve != 0; });
}

bool LeavesPage(const nsPDFData::CPathObj& path, float right, float bottom) {
  return path.m_fX < 0 || path.m_fY < 0 || path.m_fX + path.m_fWidth > right || path.m_fY + path.m_fHeight > bottom;
}

void ClampIntoPage(nsPDFData::CPathObj& path, float right, float bottom) {
  float minX = 0, minY = 0, maxX = 0, maxY = 0;
  bool first = true;
  auto grow = [&](float x, float y) {
    minX = first ? x : std::min(minX, x);
    minY = first ? y : std::min(minY, y);
    maxX = first ? x : std::max(maxX, x);
    maxY = first ? y : std::max(maxY, y);
    first = false;
  };
  for (nsPDFData::CPathSeg* seg : path.m_vecSegs) {
    if (seg->m_fX0 < 0) seg->m_fCX1 = seg->m_fCX2 = 0;
    if (seg->m_fY0 < 0) seg->m_fCY1 = seg->m_fCY2 = 0;
    seg->m_fX0 = std::clamp(seg->m_fX0, 0.0f, right);
    seg->m_fY0 = std::clamp(seg->m_fY0, 0.0f, bottom);
    seg->m_fX1 = std::clamp(seg->m_fX1, 0.0f, right);
    seg->m_fY1 = std::clamp(seg->m_fY1, 0.0f, bottom);
    grow(seg->m_fX0, seg->m_fY0);
    grow(seg->m_fX1, seg->m_fY1);
  }
  path.m_fX = minX;
  path.m_fY = minY;
  path.m_fWidth = maxX - minX;
  path.m_fHeight = maxY - minY;
}

std::unique_ptr<nsPDFData::CPathObj> ConvertPath(const RecordedPath& recorded, float right, float bottom) {
  auto path = std::make_unique<nsPDFData::CPathObj>();
  path->m_dRed = ClampChannel(recorded.m_afFill[0]);
  path->m_dGreen = ClampChannel(recorded.m_afFill[1]);
  path->m_dBlue = ClampChannel(recorded.m_afFill[2]);
  path->m_bFilled = recorded.m_nFilled ? 1 : 0;
  path->m_dFillAlpha = recorded.m_nFilled ? 255.0 : 0.0;
  SetBox(path->m_fX, path->m_fY, path->m_fWidth, path->m_fHeight, recorded.m_box);
  path->m_nOrder = recorded.m_nOrder;
  path->m_vecSegs.reserve(recorded.m_vecSegments.size());
  for (const RecordedSegment& segment : recorded.m_vecSegments) path->m_vecSegs.push_back(ConvertSegment(segment).release());
  if (LeavesPage(*path, right, bottom) && IsClampable(*path)) ClampIntoPage(*path, right, bottom);
  return path;
}

}  // namespace

void ConvertRecordedPaths(CaptureRecords& records, nsPDFData::CTextPage& page) {
  const float right = page.m_fX + page.m_fWidth;
  const float bottom = page.m_fY + page.m_fHeight;
  for (const RecordedPath& recorded : records.m_vecPaths) {
    if (recorded.m_vecSegments.empty()) continue;
    auto path = ConvertPath(recorded, right, bottom);
    page.m_vecPaths.push_back(path.get());
    path.release();
  }
  records.m_vecPaths.clear();
}

void ConvertRecordedPictures(CaptureRecords& records, nsPDFData::CTextPage& page) {
  for (const RecordedPicture& recorded : records.m_vecPictures) {
    auto picture = std::make_unique<nsPDFData::CImageObj>();
    SetBox(picture->m_fX, picture->m_fY, picture->m_fWidth, picture->m_fHeight, recorded.m_box);
    picture->m_fPixWidth = recorded.m_fWidth * kPointsPerPixel;
    picture->m_fPixHeight = recorded.m_fHeight * kPointsPerPixel;
    picture->m_nOrder = records.m_nPathOperations + recorded.m_nOrder;
    page.m_lstImages.push_back(picture.get());
    picture.release();
  }
  records.m_vecPictures.clear();
}

}  // namespace capture
