#pragma once
// What the recording draw device keeps of a page's paths and pictures, in device pixels
// (points x 4/3, origin top-left), and its conversion into the page model in points.

#include <cstdint>
#include <vector>

namespace nsPDFData {
class CTextPage;
}

namespace capture {

// Device pixels per point of the graphics raster (96 / 72), as a 32-bit float.
constexpr float kRasterScale = 1.3333334f;

struct DevicePoint {
  float m_fX = 0;
  float m_fY = 0;
  bool operator==(const DevicePoint&) const = default;
};

// Integer box in device pixels.
struct DeviceBox {
  int32_t m_nX0 = 0, m_nY0 = 0, m_nX1 = 0, m_nY1 = 0;
};

// One straight or cubic segment of a recorded subpath.
struct RecordedSegment {
  DeviceBox m_box;              // zero except on the line that replaces a thin rectangle
  DevicePoint m_start, m_end;
  DevicePoint m_control1, m_control2;  // a straight segment repeats its start point
  float m_afStroke[3] = {0, 0, 0};     // 0..255 composited over white; 0 when not stroked
  float m_fLineWidth = 1.0f;    // user-space stroke width; 1.0 on fill segments
  int32_t m_nCurve = 0;         // 1 for a cubic Bezier segment
  int32_t m_nStroked = 0;
  int32_t m_nDash = 0;          // dash code 0..4, 0 solid
};

// One subpath of a fill or stroke operation.
struct RecordedPath {
  std::vector<RecordedSegment> m_vecSegments;  // in path order
  float m_afFill[3] = {0, 0, 0};  // 0..255 composited over white; 0 for stroke-only paths
  int32_t m_nClosed = 0;          // the subpath ended with a close operator
  int32_t m_nFilled = 0;          // 1 for fills, 0 for stroke-only paths
  DeviceBox m_box;
  int32_t m_nOrder = 0;           // drawing order number of the painting operation
};

// The area of one image, image mask, shading or tiled-pattern fill.
struct RecordedPicture {
  DeviceBox m_box;
  float m_fWidth = 0;   // device pixels
  float m_fHeight = 0;
  int32_t m_nOrder = 0;  // pictures drawn before this one on the page (0 for the first)
};

// Everything one device recorded during one play of a page, in drawing order.
struct CaptureRecords {
  std::vector<RecordedPath> m_vecPaths;
  std::vector<RecordedPicture> m_vecPictures;
  int32_t m_nPathOperations = 0;  // drawing numbers taken by fill and stroke operations
};

// Appends one CPathObj per recorded subpath with segments to the page's m_vecPaths, in
// points, keeping straight-edged shapes inside the page box. Consumes the path records.
// Fails only by running out of memory (std::bad_alloc); what was appended stays.
void ConvertRecordedPaths(CaptureRecords& records, nsPDFData::CTextPage& page);

// Appends one CImageObj per recorded picture to the page's m_lstImages, in points. A
// picture's drawing number follows every path number of the page: the pictures are
// numbered on from m_nPathOperations in the order they were drawn. Consumes the picture records. Fails only by running out of memory (std::bad_alloc).
void ConvertRecordedPictures(CaptureRecords& records, nsPDFData::CTextPage& page);

}  // namespace capture
