#include "capture/CaptureDrawDevice.h"

#include <mupdf/fitz.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

namespace capture {

namespace {

// Device coordinates far outside any raster; keeps float-to-int truncation defined.
constexpr float kCoordinateLimit = 1.0e9f;
// Below this size in both directions an image is too small to become a picture.
constexpr float kMinPicturePixels = 1.1f;

int32_t Truncate(float value) {
  if (std::isnan(value)) return 0;
  return static_cast<int32_t>(std::clamp(value, -kCoordinateLimit, kCoordinateLimit));
}

DevicePoint Transform(float x, float y, const fz_matrix& m) {
  const fz_point p = fz_transform_point_xy(x, y, m);
  return DevicePoint{p.x, p.y};
}

// Extent of a record's start and end points (control points left out).
struct Extent {
  float m_fMinX = 0, m_fMinY = 0, m_fMaxX = 0, m_fMaxY = 0;
};

Extent SegmentExtent(const std::vector<RecordedSegment>& segments) {
  Extent e;
  bool first = true;
  auto grow = [&](const DevicePoint& p) {
    e.m_fMinX = first ? p.m_fX : std::min(e.m_fMinX, p.m_fX);
    e.m_fMinY = first ? p.m_fY : std::min(e.m_fMinY, p.m_fY);
    e.m_fMaxX = first ? p.m_fX : std::max(e.m_fMaxX, p.m_fX);
    e.m_fMaxY = first ? p.m_fY : std::max(e.m_fMaxY, p.m_fY);
    first = false;
  };
  for (const RecordedSegment& s : segments) {
    grow(s.m_start);
    grow(s.m_end);
  }
  return e;
}

// The record's box: its extent in whole pixels, grown by half the first segment's width.
void ComputeBox(RecordedPath& record) {
  if (record.m_vecSegments.empty()) return;
  const Extent e = SegmentExtent(record.m_vecSegments);
  const float half = record.m_vecSegments.front().m_fLineWidth / 2;
  record.m_box.m_nX0 = Truncate(static_cast<float>(Truncate(e.m_fMinX)) - half);
  record.m_box.m_nY0 = Truncate(static_cast<float>(Truncate(e.m_fMinY)) - half);
  record.m_box.m_nX1 = Truncate(static_cast<float>(Truncate(e.m_fMaxX)) + half);
  record.m_box.m_nY1 = Truncate(static_cast<float>(Truncate(e.m_fMaxY)) + half);
}

// Thin filled or stroked rectangles become one stroked line along their long side, and a
// single straight line gets a box at least as thick as its stroke.
void ApplyThinShapeRules(RecordedPath& record) {
  auto& segments = record.m_vecSegments;
  const size_t n = segments.size();
  const bool hasCurve =
      std::any_of(segments.begin(), segments.end(), [](const RecordedSegment& s) { return s.m_nCurve != 0; });
  if ((n == 4 || n == 5) && !hasCurve && record.m_nClosed) {
    const Extent e = SegmentExtent(segments);
    const float width = e.m_fMaxX - e.m_fMinX;
    const float height = e.m_fMaxY - e.m_fMinY;
    RecordedSegment line;
    if (width < kRasterScale) {
      line.m_start = {e.m_fMaxX, e.m_fMinY};
      line.m_end = {e.m_fMaxX, e.m_fMaxY};
      line.m_fLineWidth = width;
    } else if (height < kRasterScale) {
      line.m_start = {e.m_fMinX, e.m_fMaxY};
      line.m_end = {e.m_fMaxX, e.m_fMaxY};
      line.m_fLineWidth = height;
    } else {
      return;
    }
    line.m_control1 = line.m_control2 = line.m_start;
    line.m_nStroked = 1;
    line.m_nDash = segments.front().m_nDash;
    const float* colour = record.m_nFilled ? record.m_afFill : segments.front().m_afStroke;
    std::copy(colour, colour + 3, line.m_afStroke);
    line.m_box = record.m_box;
    segments.assign(1, line);
    record.m_nFilled = 0;
    record.m_nClosed = 0;
    return;
  }
  if (n == 1 && !segments.front().m_nCurve) {
    DeviceBox& box = record.m_box;
    if (box.m_nX0 > box.m_nX1) std::swap(box.m_nX0, box.m_nX1);
    if (box.m_nY0 > box.m_nY1) std::swap(box.m_nY0, box.m_nY1);
    const int32_t w = Truncate(segments.front().m_fLineWidth);
    if (box.m_nX1 - box.m_nX0 < 1) box.m_nX1 = box.m_nX0 + w;
    if (box.m_nY1 - box.m_nY0 < 1) box.m_nY1 = box.m_nY0 + w;
  }
}

// Builds the records of one fill or stroke operation while the engine walks its path.
// Plain data: the walker callbacks reach it through a void pointer.
struct PathBuilder {
  std::vector<RecordedPath>* m_pOut;  // the operation's records, one per subpath
  fz_matrix m_ctm;                    // user space to device pixels
  RecordedPath* m_pTemplate;          // colour, filled flag and order of every record
  RecordedSegment* m_pSegment;        // stroke attributes of every segment
  DevicePoint m_current;
  DevicePoint m_start;
  bool m_bFailed;                     // a record could not be stored
};

RecordedPath& CurrentRecord(PathBuilder& b) {
  if (b.m_pOut->empty()) b.m_pOut->push_back(*b.m_pTemplate);
  return b.m_pOut->back();
}

void AddSegment(PathBuilder& b, DevicePoint c1, DevicePoint c2, DevicePoint end, bool curve) {
  RecordedSegment s = *b.m_pSegment;
  s.m_start = b.m_current;
  s.m_control1 = c1;
  s.m_control2 = c2;
  s.m_end = end;
  s.m_nCurve = curve ? 1 : 0;
  CurrentRecord(b).m_vecSegments.push_back(s);
  b.m_current = end;
}

void Walk_moveto(fz_context*, void* arg, float x, float y) {
  auto& b = *static_cast<PathBuilder*>(arg);
  try {
    RecordedPath& record = CurrentRecord(b);
    if (!record.m_vecSegments.empty()) {
      ComputeBox(record);
      b.m_pOut->push_back(*b.m_pTemplate);
    }
    b.m_start = b.m_current = Transform(x, y, b.m_ctm);
  } catch (...) {
    b.m_bFailed = true;
  }
}

void Walk_lineto(fz_context*, void* arg, float x, float y) {
  auto& b = *static_cast<PathBuilder*>(arg);
  try {
    AddSegment(b, b.m_current, b.m_current, Transform(x, y, b.m_ctm), false);
  } catch (...) {
    b.m_bFailed = true;
  }
}

void Walk_curveto(fz_context*, void* arg, float x1, float y1, float x2, float y2, float x3, float y3) {
  auto& b = *static_cast<PathBuilder*>(arg);
  try {
    AddSegment(b, Transform(x1, y1, b.m_ctm), Transform(x2, y2, b.m_ctm), Transform(x3, y3, b.m_ctm), true);
  } catch (...) {
    b.m_bFailed = true;
  }
}

void Walk_closepath(fz_context*, void* arg) {
  auto& b = *static_cast<PathBuilder*>(arg);
  try {
    AddSegment(b, b.m_current, b.m_current, b.m_start, false);
    CurrentRecord(b).m_nClosed = 1;
  } catch (...) {
    b.m_bFailed = true;
  }
}

// Quadratic curves, short curves and rectangles reach the four callbacks above.
const fz_path_walker kRecordWalker = {Walk_moveto, Walk_lineto, Walk_curveto, Walk_closepath,
                                      nullptr, nullptr, nullptr, nullptr};

// Engine frame: walks the path into the builder; false when the engine failed.
bool WalkPath(fz_context* ctx, const fz_path* path, PathBuilder* builder) {
  bool ok = true;
  fz_var(ok);
  fz_try(ctx) { fz_walk_path(ctx, path, &kRecordWalker, builder); }
  fz_catch(ctx) { ok = false; }
  return ok;
}

// A fingerprint of a path's geometry. The fill and the stroke of one operator reach the
// device as two copies of one path (a display list packs each call's path on its own).
struct PathHash {
  uint64_t m_nValue;
};

void HashMix(PathHash& h, uint64_t value) {
  h.m_nValue ^= value;
  h.m_nValue *= 0x100000001B3ull;  // FNV-1a prime
}

void HashFloat(PathHash& h, float value) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  HashMix(h, bits);
}

void Hash_moveto(fz_context*, void* arg, float x, float y) {
  auto& h = *static_cast<PathHash*>(arg);
  HashMix(h, 'M');
  HashFloat(h, x);
  HashFloat(h, y);
}

void Hash_lineto(fz_context*, void* arg, float x, float y) {
  auto& h = *static_cast<PathHash*>(arg);
  HashMix(h, 'L');
  HashFloat(h, x);
  HashFloat(h, y);
}

void Hash_curveto(fz_context*, void* arg, float x1, float y1, float x2, float y2, float x3, float y3) {
  auto& h = *static_cast<PathHash*>(arg);
  HashMix(h, 'C');
  for (float v : {x1, y1, x2, y2, x3, y3}) HashFloat(h, v);
}

void Hash_closepath(fz_context*, void* arg) { HashMix(*static_cast<PathHash*>(arg), 'Z'); }

const fz_path_walker kHashWalker = {Hash_moveto, Hash_lineto, Hash_curveto, Hash_closepath,
                                    nullptr, nullptr, nullptr, nullptr};

// Engine frame: the path's fingerprint; 0 when the engine cannot walk it.
uint64_t HashPath(fz_context* ctx, const fz_path* path) {
  PathHash h{0xCBF29CE484222325ull};  // FNV-1a offset basis
  fz_try(ctx) { fz_walk_path(ctx, path, &kHashWalker, &h); }
  fz_catch(ctx) { h.m_nValue = 0; }
  return h.m_nValue;
}

// Engine frame: the device-space bound of a path (stroked when `stroke` is set); empty
// when the engine cannot bound it.
fz_rect BoundPath(fz_context* ctx, const fz_path* path, const fz_stroke_state* stroke, fz_matrix ctm) {
  fz_rect r = fz_empty_rect;
  fz_var(r);
  fz_try(ctx) { r = fz_bound_path(ctx, path, stroke, ctm); }
  fz_catch(ctx) { r = fz_empty_rect; }
  return r;
}

fz_rect BoundText(fz_context* ctx, const fz_text* text, const fz_stroke_state* stroke, fz_matrix ctm) {
  fz_rect r = fz_infinite_rect;
  fz_var(r);
  fz_try(ctx) { r = fz_bound_text(ctx, text, stroke, ctm); }
  fz_catch(ctx) { r = fz_infinite_rect; }
  return r;
}

fz_rect BoundShade(fz_context* ctx, fz_shade* shade, fz_matrix ctm) {
  fz_rect r = fz_empty_rect;
  fz_var(r);
  fz_try(ctx) { r = fz_bound_shade(ctx, shade, ctm); }
  fz_catch(ctx) { r = fz_empty_rect; }
  return r;
}

// Engine frame: the colour as RGB fractions; black when it cannot be converted.
void ToRgb(fz_context* ctx, fz_colorspace* cs, const float* color, fz_color_params params, float rgb[3]) {
  rgb[0] = rgb[1] = rgb[2] = 0;
  if (!cs || !color) return;
  fz_try(ctx) { fz_convert_color(ctx, cs, color, fz_device_rgb(ctx), rgb, nullptr, params); }
  fz_catch(ctx) { rgb[0] = rgb[1] = rgb[2] = 0; }
}

int ToByte(float fraction) { return std::clamp(static_cast<int>(fraction * 255), 0, 255); }

// The paint's colour on a white page: channels 0..255 blended by the paint's opacity.
void CompositeOverWhite(fz_context* ctx, fz_colorspace* cs, const float* color, float alpha, fz_color_params params,
                        float out[3]) {
  float rgb[3];
  ToRgb(ctx, cs, color, params, rgb);
  const int a = ToByte(alpha);
  for (int i = 0; i < 3; ++i) {
    const int c = std::min(255, (ToByte(rgb[i]) * 255) >> 8);
    out[i] = static_cast<float>(a * c + (255 - a) * 255) / 255.0f;
  }
}

// Engine frame: a text holding only the glyphs the draw device paints as colour images
// (Type 3 glyphs that set their own colours); null when there are none or on failure.
fz_text* NewColourGlyphText(fz_context* ctx, const fz_text* text) {
  fz_text* out = nullptr;
  fz_var(out);
  fz_try(ctx) {
    for (const fz_text_span* span = text->head; span; span = span->next) {
      const fz_font* font = span->font;
      if (!font || !font->t3procs || !font->t3flags) continue;
      for (int i = 0; i < span->len; ++i) {
        const fz_text_item& item = span->items[i];
        if (item.gid < 0 || item.gid > 255) continue;
        const unsigned flags = font->t3flags[item.gid];
        if (!(flags & FZ_DEVFLAG_COLOR) || (flags & FZ_DEVFLAG_MASK)) continue;
        if (!out) out = fz_new_text(ctx);
        fz_matrix trm = span->trm;
        trm.e = item.x;
        trm.f = item.y;
        fz_show_glyph(ctx, out, span->font, trm, item.gid, item.ucs, span->wmode, span->bidi_level,
                      static_cast<fz_bidi_direction>(span->markup_dir), static_cast<fz_text_language>(span->language));
      }
    }
  }
  fz_catch(ctx) {
    fz_drop_text(ctx, out);
    out = nullptr;
  }
  return out;
}

// One entry of the recording-switch stack: tiles and mask definitions switch recording
// off for their contents.
struct SwitchEntry {
  bool m_bRecording;  // the switch before the tile or mask began
  bool m_bTile;       // a tile: its destination becomes a picture when it ends
  fz_rect m_area;     // the tile's destination, device pixels, clipped
};

// The recording state of one device. The device struct points to it; it is freed when
// the device is dropped.
class CCaptureDraw {
 public:
  CCaptureDraw(bool recording, CaptureRecords& records, fz_rect area)
      : m_bRecording(recording), m_records(records), m_area(area) {}

  bool Recording() const { return m_bRecording; }
  void NextCall() { ++m_nCalls; }
  void Fail() { m_bFailed = true; }
  bool Failed() const { return m_bFailed; }

  fz_rect Clip() const { return m_vecClips.empty() ? m_area : m_vecClips.back(); }

  void PushClip(fz_rect area) noexcept {
    try {
      m_vecClips.push_back(fz_intersect_rect(Clip(), area));
    } catch (...) {
      ++m_nLostClips;  // keeps pop_clip matched; the clip is simply not narrowed
      m_bFailed = true;
    }
  }

  void PopClip() noexcept {
    if (m_nLostClips > 0)
      --m_nLostClips;
    else if (!m_vecClips.empty())
      m_vecClips.pop_back();
  }

  void BeginTile(fz_rect area, fz_matrix ctm) noexcept {
    PushSwitch(SwitchEntry{m_bRecording, true, fz_intersect_rect(fz_transform_rect(area, ctm), Clip())});
  }

  void EndTile() noexcept {
    const SwitchEntry entry = PopSwitch();
    if (entry.m_bTile && entry.m_bRecording) RecordArea(entry.m_area);
  }

  void BeginMaskDefinition() noexcept { PushSwitch(SwitchEntry{m_bRecording, false, fz_empty_rect}); }
  void EndMaskDefinition() noexcept { PopSwitch(); }

  void RecordFill(fz_context* ctx, const fz_path* path, fz_matrix ctm, fz_colorspace* cs, const float* color,
                  float alpha, fz_color_params params) noexcept;
  void RecordStroke(fz_context* ctx, const fz_path* path, const fz_stroke_state* stroke, fz_matrix ctm,
                    fz_colorspace* cs, const float* color, float alpha, fz_color_params params) noexcept;
  void RecordImage(fz_matrix ctm) noexcept;
  void RecordArea(fz_rect area) noexcept;

 private:
  void PushSwitch(const SwitchEntry& entry) noexcept {
    try {
      m_vecSwitches.push_back(entry);
    } catch (...) {
      ++m_nLostSwitches;
      m_bFailed = true;
    }
    m_bRecording = false;
  }

  SwitchEntry PopSwitch() noexcept {
    if (m_nLostSwitches > 0) {
      --m_nLostSwitches;
      return SwitchEntry{false, false, fz_empty_rect};  // recording stays off: the state is lost
    }
    if (m_vecSwitches.empty()) return SwitchEntry{m_bRecording, false, fz_empty_rect};
    const SwitchEntry entry = m_vecSwitches.back();
    m_vecSwitches.pop_back();
    m_bRecording = entry.m_bRecording;
    return entry;
  }

  // The drawing number of a fill or stroke. The fill and the stroke of one painting
  // operator reach the device back to back with the same path and transform and share
  // one number.
  int32_t TakeNumber(fz_context* ctx, const fz_path* path, const fz_matrix& ctm, bool fill) {
    if (!fill && m_bLastFillPending && m_nCalls == m_nLastFillCall + 1 &&
        std::memcmp(&ctm, &m_lastFillCtm, sizeof ctm) == 0 && HashPath(ctx, path) == m_nLastFillHash)
      return m_nLastFillNumber;
    const int32_t number = m_records.m_nPathOperations++;
    m_bLastFillPending = fill;
    if (fill) {
      m_nLastFillHash = HashPath(ctx, path);
      m_lastFillCtm = ctm;
      m_nLastFillCall = m_nCalls;
      m_nLastFillNumber = number;
    }
    return number;
  }

  void AppendRecords(std::vector<RecordedPath>& made);
  bool MergeStrokeIntoFill(int32_t order, const RecordedSegment& stroke);

  bool m_bRecording;                   // record paths and pictures now
  CaptureRecords& m_records;           // where the records go
  fz_rect m_area;                      // the raster's pixel box: the outermost clip
  std::vector<fz_rect> m_vecClips;     // device-space clip areas, innermost last
  int m_nLostClips = 0;                // clips pushed while out of memory
  std::vector<SwitchEntry> m_vecSwitches;
  int m_nLostSwitches = 0;
  int32_t m_nPictures = 0;             // pictures recorded so far
  uint64_t m_nCalls = 0;               // device calls so far
  bool m_bLastFillPending = false;     // the last numbered operation was a fill
  uint64_t m_nLastFillHash = 0;        // its path's fingerprint, to spot its stroke
  fz_matrix m_lastFillCtm{};
  uint64_t m_nLastFillCall = 0;
  int32_t m_nLastFillNumber = 0;
  bool m_bFailed = false;
};

void CCaptureDraw::AppendRecords(std::vector<RecordedPath>& made) {
  if (made.empty()) return;
  ComputeBox(made.back());
  ApplyThinShapeRules(made.front());
  m_records.m_vecPaths.reserve(m_records.m_vecPaths.size() + made.size());
  for (RecordedPath& record : made) m_records.m_vecPaths.push_back(std::move(record));
}

void CCaptureDraw::RecordFill(fz_context* ctx, const fz_path* path, fz_matrix ctm, fz_colorspace* cs,
                              const float* color, float alpha, fz_color_params params) noexcept {
  if (!m_bRecording) return;
  try {
    const int32_t order = TakeNumber(ctx, path, ctm, true);
    if (fz_is_empty_rect(fz_intersect_rect(BoundPath(ctx, path, nullptr, ctm), Clip()))) return;
    RecordedPath templ;
    CompositeOverWhite(ctx, cs, color, alpha, params, templ.m_afFill);
    templ.m_nFilled = 1;
    templ.m_nOrder = order;
    RecordedSegment segment;
    std::vector<RecordedPath> made;
    PathBuilder builder{&made, ctm, &templ, &segment, {}, {}, false};
    if (!WalkPath(ctx, path, &builder) || builder.m_bFailed) {
      m_bFailed = true;
      return;
    }
    // A fill paints its last subpath closed even when the path leaves it open.
    if (!made.empty() && !(builder.m_current == builder.m_start))
      AddSegment(builder, builder.m_current, builder.m_current, builder.m_start, false);
    AppendRecords(made);
  } catch (...) {
    m_bFailed = true;
  }
}

bool CCaptureDraw::MergeStrokeIntoFill(int32_t order, const RecordedSegment& stroke) {
  bool merged = false;
  // Every subpath of the filled operation carries the outline, not only the first.
  for (RecordedPath& record : m_records.m_vecPaths) {
    if (record.m_nOrder != order) continue;
    for (RecordedSegment& s : record.m_vecSegments) {
      std::copy(stroke.m_afStroke, stroke.m_afStroke + 3, s.m_afStroke);
      s.m_nStroked = 1;
      s.m_nDash = stroke.m_nDash;
      s.m_fLineWidth = stroke.m_fLineWidth;
    }
    merged = true;
  }
  return merged;
}

void CCaptureDraw::RecordStroke(fz_context* ctx, const fz_path* path, const fz_stroke_state* stroke, fz_matrix ctm,
                                fz_colorspace* cs, const float* color, float alpha, fz_color_params params) noexcept {
  if (!m_bRecording || !stroke) return;
  try {
    const int32_t order = TakeNumber(ctx, path, ctm, false);
    if (fz_is_empty_rect(fz_intersect_rect(BoundPath(ctx, path, stroke, ctm), Clip()))) return;
    RecordedSegment segment;
    CompositeOverWhite(ctx, cs, color, alpha, params, segment.m_afStroke);
    segment.m_nStroked = 1;
    const float expansion = fz_matrix_expansion(ctm);
    segment.m_fLineWidth = stroke->linewidth;
    // Hairlines (width 0) paint one device pixel wide.
    if (expansion > 0 && stroke->linewidth * expansion < 0.1f) segment.m_fLineWidth = 1 / expansion;
    segment.m_nDash = DashCode(stroke->dash_list, stroke->dash_len, ctm.a, ctm.b, ctm.c, ctm.d);
    if (MergeStrokeIntoFill(order, segment)) return;

    RecordedPath templ;
    templ.m_nOrder = order;
    std::vector<RecordedPath> made;
    PathBuilder builder{&made, ctm, &templ, &segment, {}, {}, false};
    if (!WalkPath(ctx, path, &builder) || builder.m_bFailed) {
      m_bFailed = true;
      return;
    }
    AppendRecords(made);
  } catch (...) {
    m_bFailed = true;
  }
}

void CCaptureDraw::RecordImage(fz_matrix ctm) noexcept {
  if (!m_bRecording) return;
  fz_rect box = fz_transform_rect(fz_unit_rect, ctm);
  box.x0 = std::max(box.x0, 0.0f);
  box.y0 = std::max(box.y0, 0.0f);
  if (box.x1 - box.x0 < kMinPicturePixels && box.y1 - box.y0 < kMinPicturePixels) return;
  RecordArea(box);
}

void CCaptureDraw::RecordArea(fz_rect area) noexcept {
  if (!m_bRecording || fz_is_empty_rect(area)) return;
  try {
    RecordedPicture picture;
    picture.m_box = DeviceBox{Truncate(area.x0), Truncate(area.y0), Truncate(area.x1), Truncate(area.y1)};
    picture.m_fWidth = area.x1 - area.x0;
    picture.m_fHeight = area.y1 - area.y0;
    picture.m_nOrder = m_nPictures++;
    m_records.m_vecPictures.push_back(picture);
  } catch (...) {
    m_bFailed = true;
  }
}

// The engine device: plain data, allocated zero-filled and freed without destructors.
struct CaptureDrawDeviceData {
  fz_device super;
  fz_device* inner;     // the engine's draw device; null when only recording
  CCaptureDraw* state;  // owned; deleted in drop
};

CaptureDrawDeviceData* DataOf(fz_device* dev) { return reinterpret_cast<CaptureDrawDeviceData*>(dev); }

// Engine frame: runs one call on the draw device. Its errors mark this device failed and
// go on to the engine, which disables the device for the rest of the page.
template <typename Call>
void Forward(fz_context* ctx, CaptureDrawDeviceData* d, const Call& call) {
  if (!d->inner) return;
  fz_try(ctx) { call(d->inner); }
  fz_catch(ctx) {
    d->state->Fail();
    fz_rethrow(ctx);
  }
}

CCaptureDraw& Begin(fz_device* dev) {
  CCaptureDraw& state = *DataOf(dev)->state;
  state.NextCall();
  return state;
}

void CaptureDrawDevice_close_device(fz_context* ctx, fz_device* dev) {
  Forward(ctx, DataOf(dev), [&](fz_device* inner) { fz_close_device(ctx, inner); });
}

void CaptureDrawDevice_drop_device(fz_context* ctx, fz_device* dev) {
  CaptureDrawDeviceData* d = DataOf(dev);
  fz_drop_device(ctx, d->inner);
  d->inner = nullptr;
  delete d->state;
  d->state = nullptr;
}

void CaptureDrawDevice_fill_path(fz_context* ctx, fz_device* dev, const fz_path* path, int evenOdd, fz_matrix ctm,
                                 fz_colorspace* cs, const float* color, float alpha, fz_color_params params) {
  CCaptureDraw& state = Begin(dev);
  Forward(ctx, DataOf(dev),
          [&](fz_device* inner) { fz_fill_path(ctx, inner, path, evenOdd, ctm, cs, color, alpha, params); });
  state.RecordFill(ctx, path, ctm, cs, color, alpha, params);
}

void CaptureDrawDevice_stroke_path(fz_context* ctx, fz_device* dev, const fz_path* path, const fz_stroke_state* stroke,
                                   fz_matrix ctm, fz_colorspace* cs, const float* color, float alpha,
                                   fz_color_params params) {
  CCaptureDraw& state = Begin(dev);
  Forward(ctx, DataOf(dev),
          [&](fz_device* inner) { fz_stroke_path(ctx, inner, path, stroke, ctm, cs, color, alpha, params); });
  state.RecordStroke(ctx, path, stroke, ctm, cs, color, alpha, params);
}

void CaptureDrawDevice_clip_path(fz_context* ctx, fz_device* dev, const fz_path* path, int evenOdd, fz_matrix ctm,
                                 fz_rect scissor) {
  CCaptureDraw& state = Begin(dev);
  Forward(ctx, DataOf(dev), [&](fz_device* inner) { fz_clip_path(ctx, inner, path, evenOdd, ctm, scissor); });
  state.PushClip(BoundPath(ctx, path, nullptr, ctm));
}

void CaptureDrawDevice_clip_stroke_path(fz_context* ctx, fz_device* dev, const fz_path* path,
                                        const fz_stroke_state* stroke, fz_matrix ctm, fz_rect scissor) {
  CCaptureDraw& state = Begin(dev);
  Forward(ctx, DataOf(dev), [&](fz_device* inner) { fz_clip_stroke_path(ctx, inner, path, stroke, ctm, scissor); });
  state.PushClip(BoundPath(ctx, path, stroke, ctm));
}

// Text is written as text: while recording, only the glyphs that are pictures in their
// own right (colour Type 3 glyphs) reach the raster.
void CaptureDrawDevice_fill_text(fz_context* ctx, fz_device* dev, const fz_text* text, fz_matrix ctm,
                                 fz_colorspace* cs, const float* color, float alpha, fz_color_params params) {
  CCaptureDraw& state = Begin(dev);
  CaptureDrawDeviceData* d = DataOf(dev);
  if (!d->inner) return;
  if (!state.Recording()) {
    Forward(ctx, d, [&](fz_device* inner) { fz_fill_text(ctx, inner, text, ctm, cs, color, alpha, params); });
    return;
  }
  fz_text* colour = NewColourGlyphText(ctx, text);
  if (!colour) return;
  fz_try(ctx) { fz_fill_text(ctx, d->inner, colour, ctm, cs, color, alpha, params); }
  fz_always(ctx) { fz_drop_text(ctx, colour); }
  fz_catch(ctx) {
    state.Fail();
    fz_rethrow(ctx);
  }
}

void CaptureDrawDevice_stroke_text(fz_context* ctx, fz_device* dev, const fz_text* text, const fz_stroke_state* stroke,
                                   fz_matrix ctm, fz_colorspace* cs, const float* color, float alpha,
                                   fz_color_params params) {
  CCaptureDraw& state = Begin(dev);
  CaptureDrawDeviceData* d = DataOf(dev);
  if (!d->inner) return;
  if (!state.Recording()) {
    Forward(ctx, d,
            [&](fz_device* inner) { fz_stroke_text(ctx, inner, text, stroke, ctm, cs, color, alpha, params); });
    return;
  }
  fz_text* colour = NewColourGlyphText(ctx, text);
  if (!colour) return;
  fz_try(ctx) { fz_stroke_text(ctx, d->inner, colour, stroke, ctm, cs, color, alpha, params); }
  fz_always(ctx) { fz_drop_text(ctx, colour); }
  fz_catch(ctx) {
    state.Fail();
    fz_rethrow(ctx);
  }
}

// Text clips are always forwarded: they shape what images and shadings paint, and the
// draw device needs every clip matched by its pop.
void CaptureDrawDevice_clip_text(fz_context* ctx, fz_device* dev, const fz_text* text, fz_matrix ctm,
                                 fz_rect scissor) {
  CCaptureDraw& state = Begin(dev);
  Forward(ctx, DataOf(dev), [&](fz_device* inner) { fz_clip_text(ctx, inner, text, ctm, scissor); });
  state.PushClip(BoundText(ctx, text, nullptr, ctm));
}

void CaptureDrawDevice_clip_stroke_text(fz_context* ctx, fz_device* dev, const fz_text* text,
                                        const fz_stroke_state* stroke, fz_matrix ctm, fz_rect scissor) {
  CCaptureDraw& state = Begin(dev);
  Forward(ctx, DataOf(dev), [&](fz_device* inner) { fz_clip_stroke_text(ctx, inner, text, stroke, ctm, scissor); });
  state.PushClip(BoundText(ctx, text, stroke, ctm));
}

void CaptureDrawDevice_ignore_text(fz_context* ctx, fz_device* dev, const fz_text* text, fz_matrix ctm) {
  Begin(dev);
  Forward(ctx, DataOf(dev), [&](fz_device* inner) { fz_ignore_text(ctx, inner, text, ctm); });
}

void CaptureDrawDevice_fill_shade(fz_context* ctx, fz_device* dev, fz_shade* shade, fz_matrix ctm, float alpha,
                                  fz_color_params params) {
  CCaptureDraw& state = Begin(dev);
  Forward(ctx, DataOf(dev), [&](fz_device* inner) { fz_fill_shade(ctx, inner, shade, ctm, alpha, params); });
  if (state.Recording()) state.RecordArea(fz_intersect_rect(BoundShade(ctx, shade, ctm), state.Clip()));
}

void CaptureDrawDevice_fill_image(fz_context* ctx, fz_device* dev, fz_image* image, fz_matrix ctm, float alpha,
                                  fz_color_params params) {
  CCaptureDraw& state = Begin(dev);
  Forward(ctx, DataOf(dev), [&](fz_device* inner) { fz_fill_image(ctx, inner, image, ctm, alpha, params); });
  state.RecordImage(ctm);
}

void CaptureDrawDevice_fill_image_mask(fz_context* ctx, fz_device* dev, fz_image* image, fz_matrix ctm,
                                       fz_colorspace* cs, const float* color, float alpha, fz_color_params params) {
  CCaptureDraw& state = Begin(dev);
  Forward(ctx, DataOf(dev),
          [&](fz_device* inner) { fz_fill_image_mask(ctx, inner, image, ctm, cs, color, alpha, params); });
  state.RecordImage(ctm);
}

void CaptureDrawDevice_clip_image_mask(fz_context* ctx, fz_device* dev, fz_image* image, fz_matrix ctm,
                                       fz_rect scissor) {
  CCaptureDraw& state = Begin(dev);
  Forward(ctx, DataOf(dev), [&](fz_device* inner) { fz_clip_image_mask(ctx, inner, image, ctm, scissor); });
  state.PushClip(fz_transform_rect(fz_unit_rect, ctm));
}

void CaptureDrawDevice_pop_clip(fz_context* ctx, fz_device* dev) {
  CCaptureDraw& state = Begin(dev);
  Forward(ctx, DataOf(dev), [&](fz_device* inner) { fz_pop_clip(ctx, inner); });
  state.PopClip();
}

// A soft mask acts as a clip until its pop_clip; what draws the mask itself is not page
// content, so it is not recorded.
void CaptureDrawDevice_begin_mask(fz_context* ctx, fz_device* dev, fz_rect area, int luminosity, fz_colorspace* cs,
                                  const float* backdrop, fz_color_params params) {
  CCaptureDraw& state = Begin(dev);
  Forward(ctx, DataOf(dev),
          [&](fz_device* inner) { fz_begin_mask(ctx, inner, area, luminosity, cs, backdrop, params); });
  state.PushClip(area);
  state.BeginMaskDefinition();
}

void CaptureDrawDevice_end_mask(fz_context* ctx, fz_device* dev) {
  CCaptureDraw& state = Begin(dev);
  Forward(ctx, DataOf(dev), [&](fz_device* inner) { fz_end_mask(ctx, inner); });
  state.EndMaskDefinition();
}

void CaptureDrawDevice_begin_group(fz_context* ctx, fz_device* dev, fz_rect area, fz_colorspace* cs, int isolated,
                                   int knockout, int blendmode, float alpha) {
  Begin(dev);
  Forward(ctx, DataOf(dev),
          [&](fz_device* inner) { fz_begin_group(ctx, inner, area, cs, isolated, knockout, blendmode, alpha); });
}

void CaptureDrawDevice_end_group(fz_context* ctx, fz_device* dev) {
  Begin(dev);
  Forward(ctx, DataOf(dev), [&](fz_device* inner) { fz_end_group(ctx, inner); });
}

// Tiles are forwarded with id 0 so that the draw device never skips a cell from its cache
// (the recording switch must see every cell begin and end).
int CaptureDrawDevice_begin_tile(fz_context* ctx, fz_device* dev, fz_rect area, fz_rect view, float xstep,
                                 float ystep, fz_matrix ctm, int) {
  CCaptureDraw& state = Begin(dev);
  int cached = 0;
  Forward(ctx, DataOf(dev), [&](fz_device* inner) {
    cached = fz_begin_tile_id(ctx, inner, area, view, xstep, ystep, ctm, 0);
  });
  state.BeginTile(area, ctm);
  return cached;
}

void CaptureDrawDevice_end_tile(fz_context* ctx, fz_device* dev) {
  CCaptureDraw& state = Begin(dev);
  Forward(ctx, DataOf(dev), [&](fz_device* inner) { fz_end_tile(ctx, inner); });
  state.EndTile();
}

void CaptureDrawDevice_render_flags(fz_context* ctx, fz_device* dev, int set, int clear) {
  Begin(dev);
  Forward(ctx, DataOf(dev), [&](fz_device* inner) { fz_render_flags(ctx, inner, set, clear); });
}

void CaptureDrawDevice_set_default_colorspaces(fz_context* ctx, fz_device* dev, fz_default_colorspaces* spaces) {
  Begin(dev);
  Forward(ctx, DataOf(dev), [&](fz_device* inner) { fz_set_default_colorspaces(ctx, inner, spaces); });
}

void CaptureDrawDevice_begin_layer(fz_context* ctx, fz_device* dev, const char* name) {
  Begin(dev);
  Forward(ctx, DataOf(dev), [&](fz_device* inner) { fz_begin_layer(ctx, inner, name); });
}

void CaptureDrawDevice_end_layer(fz_context* ctx, fz_device* dev) {
  Begin(dev);
  Forward(ctx, DataOf(dev), [&](fz_device* inner) { fz_end_layer(ctx, inner); });
}

// Engine frame: the engine's draw device over `dest`, or null.
fz_device* NewInnerDrawDevice(fz_context* ctx, fz_pixmap* dest) {
  fz_device* inner = nullptr;
  fz_var(inner);
  fz_try(ctx) { inner = fz_new_draw_device(ctx, fz_identity, dest); }
  fz_catch(ctx) { inner = nullptr; }
  return inner;
}

// Engine frame: a zero-filled device struct, or null.
CaptureDrawDeviceData* NewDeviceData(fz_context* ctx) {
  CaptureDrawDeviceData* dev = nullptr;
  fz_var(dev);
  fz_try(ctx) { dev = fz_new_derived_device(ctx, CaptureDrawDeviceData); }
  fz_catch(ctx) { dev = nullptr; }
  return dev;
}

void SetCallbacks(fz_device& d) {
  d.close_device = CaptureDrawDevice_close_device;
  d.drop_device = CaptureDrawDevice_drop_device;
  d.fill_path = CaptureDrawDevice_fill_path;
  d.stroke_path = CaptureDrawDevice_stroke_path;
  d.clip_path = CaptureDrawDevice_clip_path;
  d.clip_stroke_path = CaptureDrawDevice_clip_stroke_path;
  d.fill_text = CaptureDrawDevice_fill_text;
  d.stroke_text = CaptureDrawDevice_stroke_text;
  d.clip_text = CaptureDrawDevice_clip_text;
  d.clip_stroke_text = CaptureDrawDevice_clip_stroke_text;
  d.ignore_text = CaptureDrawDevice_ignore_text;
  d.fill_shade = CaptureDrawDevice_fill_shade;
  d.fill_image = CaptureDrawDevice_fill_image;
  d.fill_image_mask = CaptureDrawDevice_fill_image_mask;
  d.clip_image_mask = CaptureDrawDevice_clip_image_mask;
  d.pop_clip = CaptureDrawDevice_pop_clip;
  d.begin_mask = CaptureDrawDevice_begin_mask;
  d.end_mask = CaptureDrawDevice_end_mask;
  d.begin_group = CaptureDrawDevice_begin_group;
  d.end_group = CaptureDrawDevice_end_group;
  d.begin_tile = CaptureDrawDevice_begin_tile;
  d.end_tile = CaptureDrawDevice_end_tile;
  d.render_flags = CaptureDrawDevice_render_flags;
  d.set_default_colorspaces = CaptureDrawDevice_set_default_colorspaces;
  d.begin_layer = CaptureDrawDevice_begin_layer;
  d.end_layer = CaptureDrawDevice_end_layer;
}

}  // namespace

int DashCode(const float* dashes, int count, float a, float b, float c, float d) {
  if (!dashes || count <= 0) return 0;
  float sum = 0;
  for (int i = 0; i < count; ++i) sum += dashes[i];
  const float scale = std::max({std::fabs(a), std::fabs(b), std::fabs(c), std::fabs(d)});
  if (sum < 0.01f || sum * scale < 0.5f) return 0;
  switch (count) {
    case 1:
      if (std::fabs(dashes[0]) < 0.001f) return 0;
      if (dashes[0] < 2) return 2;
      return dashes[0] >= 8 ? 4 : 3;
    case 2:
      return dashes[0] <= 3 && dashes[1] <= 3 ? 2 : 1;
    case 3:
    case 4:
      return dashes[0] <= 3 && dashes[2] <= 3 ? 2 : 3;
    case 5:
    case 6:
      return 3;
    default:
      return 0;
  }
}

fz_device* NewCaptureDrawDevice(fz_context* ctx, fz_irect area, fz_pixmap* dest, bool recording,
                                CaptureRecords& records) {
  auto* state = new (std::nothrow) CCaptureDraw(recording, records, fz_rect_from_irect(area));
  if (!state) return nullptr;
  fz_device* inner = nullptr;
  if (dest && !(inner = NewInnerDrawDevice(ctx, dest))) {
    delete state;
    return nullptr;
  }
  CaptureDrawDeviceData* dev = NewDeviceData(ctx);
  if (!dev) {
    fz_drop_device(ctx, inner);
    delete state;
    return nullptr;
  }
  dev->inner = inner;
  dev->state = state;
  SetCallbacks(dev->super);
  return &dev->super;
}

bool CaptureDrawFailed(fz_device* device) {
  CaptureDrawDeviceData* d = DataOf(device);
  return !d->state || d->state->Failed();
}

}  // namespace capture
