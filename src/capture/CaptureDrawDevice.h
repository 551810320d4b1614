#pragma once
// CaptureDrawDevice: the engine's draw device with recording added. Every call is painted
// by the engine's own draw device; while recording is on, the device also keeps the
// page's filled and stroked paths (one record per subpath) and the areas of its images,
// image masks, shadings and tiled patterns, in device pixels and drawing order.
//
// With recording on, ordinary glyphs are left out of the raster (the text is written as
// text), only the colour-image glyphs of Type 3 fonts are painted; with recording off
// (previews, page images) the device paints exactly as the engine's draw device.

#include <mupdf/fitz.h>

#include "capture/CaptureRecords.h"


namespace capture {

// A new device over the raster's pixel box `area`, painting into `dest` and, when
// `recording` is on, filling `records`, which must outlive the device. `dest` may be null:
// the device then only records (nothing is painted), which gives the same records without
// paying for a raster. Play the page with its device transform as the ctm. Null when the
// engine cannot allocate the device.
fz_device* NewCaptureDrawDevice(fz_context* ctx, fz_irect area, fz_pixmap* dest, bool recording,
                                CaptureRecords& records);

// True once any call of the device failed (the engine's draw device threw, or a record
// could not be stored); the engine disables a device that throws, so the rest of the page
// was neither painted nor recorded. Sticky for the device's life.
bool CaptureDrawFailed(fz_device* device);

// The dash code of a stroke's dash array under a device transform with linear part
// a, b, c, d: 0 solid, 1 to 4 by the lengths of the first entries.
int DashCode(const float* dashes, int count, float a, float b, float c, float d);

}  // namespace capture
