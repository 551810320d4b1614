#include "pptx/FreeformWriter.h"

#include <cmath>
#include <vector>

#include "capture/TextPage.h"
#include "pptx/XmlText.h"

namespace {

// Coordinates are 32-bit floats: two of them closer than this are the same point.
constexpr double kSamePoint = 1e-13;
// The widest outline a presentation accepts, and what a wider one becomes.
constexpr float kMaxOutlineWidth = 1584;
constexpr float kHairlineWidth = 0.75f;

bool Near(float a, float b) { return std::fabs(static_cast<double>(a) - static_cast<double>(b)) < kSamePoint; }

std::wstring Tabs(int n) { return L"\n" + std::wstring(static_cast<size_t>(n), L'\t'); }

// The path's segments without the null entries a damaged model might hold.
std::vector<const nsPDFData::CPathSeg*> Segments(const nsPDFData::CPathObj& path) {
  std::vector<const nsPDFData::CPathSeg*> segs;
  segs.reserve(path.m_vecSegs.size());
  for (const nsPDFData::CPathSeg* seg : path.m_vecSegs)
    if (seg) segs.push_back(seg);
  return segs;
}

// Positions inside the shape: EMU offsets from the box's top-left corner.
class CLocalFrame {
 public:
  CLocalFrame(const CEmuScale& scale, const nsPDFData::CPathObj& path)
      : m_scale(scale), m_fLeft(path.m_fX), m_fTop(path.m_fY) {}

  // The difference is taken in 32-bit floats, as the page model holds its coordinates.
  std::wstring X(float x) const { return m_scale.EmuText(static_cast<float>(x - m_fLeft)); }
  std::wstring Y(float y) const { return m_scale.EmuText(static_cast<float>(y - m_fTop)); }
  std::wstring Point(float x, float y) const {
    return Tabs(9) + L"<a:pt x=\"" + X(x) + L"\" y=\"" + Y(y) + L"\" />";
  }

 private:
  const CEmuScale& m_scale;
  float m_fLeft;  // box left, points
  float m_fTop;   // box top, points
};

struct CPoint {
  float m_fX, m_fY;  // points
};

// Point 0 is the start of the first segment, point i the end of segment i.
std::vector<CPoint> PathPoints(const std::vector<const nsPDFData::CPathSeg*>& segs) {
  std::vector<CPoint> points;
  points.reserve(segs.size() + 1);
  points.push_back({segs.front()->m_fX0, segs.front()->m_fY0});
  for (const nsPDFData::CPathSeg* seg : segs) points.push_back({seg->m_fX1, seg->m_fY1});
  return points;
}

std::wstring ShapeStart(const CEmuScale& scale, int shapeId, const nsPDFData::CPathObj& path) {
  const std::wstring id = IntText(shapeId);
  return Tabs(3) + L"<p:sp>" + Tabs(4) + L"<p:nvSpPr>" + Tabs(5) + L"<p:cNvPr id=\"" + id + L"\" name=\"Freeform " +
         id + L"\"> " + Tabs(4) + L"</p:cNvPr>" + Tabs(5) + L" <p:cNvSpPr />" + Tabs(5) + L"<p:nvPr />" + Tabs(4) +
         L"</p:nvSpPr>" + Tabs(4) + L"<p:spPr>" + Tabs(5) + L"<a:xfrm>" + Tabs(6) + L"<a:off x=\"" +
         scale.EmuText(path.m_fX) + L"\" y=\"" + scale.EmuText(path.m_fY) + L"\" />" + Tabs(6) + L"<a:ext cx=\"" +
         scale.EmuText(path.m_fWidth) + L"\" cy=\"" + scale.EmuText(path.m_fHeight) + L"\" />" + Tabs(5) +
         L"</a:xfrm>" + Tabs(5) + L"<a:custGeom>" + Tabs(6) + L"<a:avLst />";
}

// Two guides per point, then a connection site at every point.
std::wstring GuidesAndSites(const CEmuScale& scale, const CLocalFrame& frame, const nsPDFData::CPathObj& path,
                            const std::vector<CPoint>& points) {
  const std::wstring width = scale.EmuText(path.m_fWidth), height = scale.EmuText(path.m_fHeight);
  std::wstring out = Tabs(6) + L"<a:gdLst>";
  for (size_t p = 0; p < points.size(); ++p) {
    const std::wstring n = std::to_wstring(p);
    out += Tabs(7) + L"<a:gd name=\"connsiteX" + n + L"\" fmla=\"*/ " + frame.X(points[p].m_fX) + L" w " + width +
           L"\"/>";
    out += Tabs(7) + L"<a:gd name=\"connsiteY" + n + L"\" fmla=\"*/ " + frame.Y(points[p].m_fY) + L" h " + height +
           L"\"/>";
  }
  out += Tabs(6) + L"</a:gdLst>" + Tabs(6) + L"<a:ahLst/>" + Tabs(6) + L"<a:cxnLst>";
  for (size_t p = 0; p < points.size(); ++p) {
    const std::wstring n = std::to_wstring(p);
    out += Tabs(7) + L"<a:cxn ang=\"0\">" + Tabs(8) + L"<a:pos x=\"connsiteX" + n + L"\" y=\"connsiteY" + n +
           L"\" />" + Tabs(7) + L"</a:cxn>";
  }
  out += Tabs(6) + L"</a:cxnLst>" + Tabs(6) + L"<a:rect l=\"l\" t=\"t\" r=\"r\" b=\"b\"/>";
  return out;
}

std::wstring PathList(const CEmuScale& scale, const CLocalFrame& frame, const nsPDFData::CPathObj& path,
                      const std::vector<const nsPDFData::CPathSeg*>& segs, bool closed) {
  std::wstring out = Tabs(6) + L"<a:pathLst>" + Tabs(7) + L"<a:path w=\"" + scale.EmuText(path.m_fWidth) +
                     L"\" h=\"" + scale.EmuText(path.m_fHeight) + L"\">";
  out += Tabs(8) + L"<a:moveTo>" + frame.Point(segs.front()->m_fX0, segs.front()->m_fY0) + Tabs(8) + L"</a:moveTo>";
  for (const nsPDFData::CPathSeg* seg : segs) {
    if (IsStraightSegment(*seg)) {
      out += Tabs(8) + L"<a:lnTo>" + frame.Point(seg->m_fX1, seg->m_fY1) + Tabs(8) + L"</a:lnTo>";
    } else {
      out += Tabs(8) + L"<a:cubicBezTo>" + frame.Point(seg->m_fCX1, seg->m_fCY1) +
             frame.Point(seg->m_fCX2, seg->m_fCY2) + frame.Point(seg->m_fX1, seg->m_fY1) + Tabs(8) +
             L"</a:cubicBezTo>";
    }
  }
  if (closed) out += Tabs(8) + L"<a:close />";
  out += Tabs(7) + L"</a:path>" + Tabs(6) + L"</a:pathLst>" + Tabs(5) + L"</a:custGeom>";
  return out;
}

std::wstring Fill(const nsPDFData::CPathObj& path) {
  return Tabs(5) + L"<a:solidFill>" + Tabs(6) + L" <a:srgbClr val=\"" +
         FormatColor(path.m_dRed, path.m_dGreen, path.m_dBlue) + L"\">" + Tabs(7) + L"<a:alpha val=\"" +
         IntText(AlphaValue(path.m_dFillAlpha)) + L"\" />" + Tabs(6) + L"</a:srgbClr>" + Tabs(5) + L"</a:solidFill>";
}

std::wstring Outline(const CEmuScale& scale, const nsPDFData::CPathSeg& first) {
  std::wstring out = Tabs(5) + L"<a:ln w=\"" + scale.EmuText(OutlineWidth(first.m_fLineWidth)) + L"\">" + Tabs(6) +
                     L"<a:solidFill>" + Tabs(7) + L"<a:srgbClr val=\"" +
                     FormatColor(first.m_dRed, first.m_dGreen, first.m_dBlue) + L"\">" + Tabs(8) +
                     L"<a:alpha val=\"" + IntText(AlphaValue(first.m_dStrokeAlpha)) + L"\" />" + Tabs(7) +
                     L"</a:srgbClr>" + Tabs(6) + L"</a:solidFill>";
  if (const wchar_t* dash = DashName(first.m_nDash)) out += Tabs(6) + L"<a:prstDash val=\"" + dash + L"\" />";
  out += Tabs(5) + L"</a:ln>";
  return out;
}

std::wstring ShapeEnd() {
  return Tabs(4) + L"</p:spPr>" + Tabs(4) + L"<p:style>" + Tabs(5) + L"<a:lnRef idx=\"2\">" + Tabs(6) +
         L"<a:schemeClr val=\"accent1\"/>" + Tabs(5) + L"</a:lnRef>" + Tabs(5) + L"<a:fillRef idx=\"0\">" + Tabs(6) +
         L"<a:schemeClr val=\"accent1\"/>" + Tabs(5) + L"</a:fillRef>" + Tabs(5) + L"<a:effectRef idx=\"1\">" +
         Tabs(6) + L"<a:schemeClr val=\"accent1\"/>" + Tabs(5) + L"</a:effectRef>" + Tabs(5) +
         L"<a:fontRef idx=\"minor\">" + Tabs(6) + L"<a:schemeClr val=\"tx1\"/>" + Tabs(5) + L"</a:fontRef>" + Tabs(4) +
         L"</p:style>" + Tabs(4) + L"<p:txBody>" + Tabs(5) + L"<a:bodyPr rtlCol=\"0\" anchor=\"ctr\"/>" + Tabs(5) +
         L"<a:lstStyle/>" + Tabs(5) + L"<a:p>" + Tabs(6) + L"<a:pPr algn=\"ctr\"/>" + Tabs(6) +
         L"<a:endParaRPr lang=\"en-US\"/>" + Tabs(5) + L"</a:p>" + Tabs(4) + L"</p:txBody>" + Tabs(3) + L"</p:sp>";
}

}  // namespace

bool IsClosedPath(const nsPDFData::CPathObj& path) {
  const std::vector<const nsPDFData::CPathSeg*> segs = Segments(path);
  if (segs.size() < 3) return false;
  return Near(segs.back()->m_fX1, segs.front()->m_fX0) && Near(segs.back()->m_fY1, segs.front()->m_fY0);
}

bool IsStraightSegment(const nsPDFData::CPathSeg& seg) {
  return Near(seg.m_fCX1, seg.m_fX0) && Near(seg.m_fCY1, seg.m_fY0) && Near(seg.m_fCX2, seg.m_fX0) &&
         Near(seg.m_fCY2, seg.m_fY0);
}

float OutlineWidth(float lineWidth) { return lineWidth > kMaxOutlineWidth ? kHairlineWidth : lineWidth; }

int64_t AlphaValue(double opacity) { return TruncateToInt64(opacity / 255 * 100000); }

const wchar_t* DashName(int32_t dash) {
  switch (dash) {
    case 1: return L"lgDash";
    case 2: return L"dash";
    case 3: return L"lgDashDot";
    case 4: return L"dashDot";
    default: return nullptr;
  }
}

std::wstring WriteFreeform(const CEmuScale& scale, int shapeId, const nsPDFData::CPathObj& path) {
  const std::vector<const nsPDFData::CPathSeg*> segs = Segments(path);
  if (segs.empty()) return {};
  const bool closed = IsClosedPath(path);
  const CLocalFrame frame(scale, path);
  std::wstring out = ShapeStart(scale, shapeId, path);
  out += GuidesAndSites(scale, frame, path, PathPoints(segs));
  out += PathList(scale, frame, path, segs, closed);
  if (closed) out += Fill(path);
  out += Outline(scale, *segs.front());
  out += ShapeEnd();
  return out;
}
