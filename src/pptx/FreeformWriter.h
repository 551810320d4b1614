#pragma once
// Freeform shapes of a slide: one per captured path. The custom geometry runs through the
// segment end points, in EMU relative to the path's box, with a connection site at every
// point; a closed path gets a solid fill, and every path gets an outline in the paint of
// its first segment.

#include <cstdint>
#include <string>

#include "pptx/EmuScale.h"

namespace nsPDFData {
struct CPathObj;
struct CPathSeg;
}  // namespace nsPDFData

// At least three segments, and the last one ends where the first one starts. Never fails.
bool IsClosedPath(const nsPDFData::CPathObj& path);

// Both control points lie on the start point; otherwise the segment is a cubic curve,
// whatever its m_bCurve says. Never fails.
bool IsStraightSegment(const nsPDFData::CPathSeg& seg);

// The outline width in points: widths above 1584 (the largest a presentation accepts)
// fall back to the 0.75-point hairline. Never fails.
float OutlineWidth(float lineWidth);

// An opacity of 0 to 255 as a DrawingML alpha of 0 to 100000, truncated. Never fails.
int64_t AlphaValue(double opacity);

// The preset dash name of a dash code 1 to 4; null for 0 (solid) and unknown codes.
const wchar_t* DashName(int32_t dash);

// The p:sp element of `path` with id `shapeId`; empty for a path without segments (the
// caller still uses the id up). Lengths go through the package scale. Never fails.
std::wstring WriteFreeform(const CEmuScale& scale, int shapeId, const nsPDFData::CPathObj& path);
