#include "capture/TextCaptureDevice.h"

#include <mupdf/fitz.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <unordered_map>
#include <vector>

#include "capture/GlyphNameUnicode.h"

namespace capture {

namespace {

constexpr int32_t kSpace = 0x20;

// Ascender and descender of a font in em units.
struct FontMetrics {
  float m_fAscender = 1;
  float m_fDescender = 0;
};

// The state of one page capture. Plain members only: the device struct points to it.
class CTextCapture {
 public:
  CTextCapture(StyleSheet& sheet, SpanPage& page, GlyphNameState& glyphNames)
      : m_sheet(sheet), m_page(page), m_glyphNames(glyphNames) {}

  // One text-drawing call. `red` below -1 marks text that is not filled.
  void Capture(fz_context* ctx, const fz_text* text, fz_matrix ctm, double red, double green,
               double blue, bool filled) noexcept {
    try {
      for (const fz_text_span* span = text ? text->head : nullptr; span; span = span->next)
        CaptureSpan(ctx, span, ctm, red, green, blue, filled);
    } catch (...) {
      m_bFailed = true;
    }
  }

  void Close() noexcept {
    try {
      FlushLine();
    } catch (...) {
      m_bFailed = true;
    }
  }

  bool m_bFailed = false;  // a callback ran out of memory; some text was dropped

 private:
  void CaptureSpan(fz_context* ctx, const fz_text_span* span, fz_matrix ctm, double red, double green,
                   double blue, bool filled) {
    fz_matrix tm = span->trm;
    tm.e = 0;
    tm.f = 0;
    const fz_matrix r = fz_concat(tm, ctm);
    const float size = std::sqrt(std::fabs(r.a * r.d - r.b * r.c));
    TextStyle* style = m_sheet.Lookup(ctx, span->font, size, span->wmode, red, green, blue);
    if (filled) SetTransform(*style, span->trm, ctm);
    ExtractChars(ctx, span, ctm, *style);
  }

  static void SetTransform(TextStyle& style, const fz_matrix& t, const fz_matrix& m) {
    style.m_afTransform[0] = m.a * t.a + m.b * t.c;
    style.m_afTransform[1] = m.a * t.b + m.b * t.d;
    style.m_afTransform[2] = m.c * t.a + m.d * t.c;
    style.m_afTransform[3] = m.c * t.b + m.d * t.d;
    style.m_afTransform[4] = m.e * t.a + m.f * t.c + t.e;
    style.m_afTransform[5] = m.e * t.b + m.f * t.d + t.f;
  }

  FontMetrics Metrics(fz_context* ctx, fz_font* font) {
    FontMetrics metrics;
    auto* face = static_cast<FT_Face>(fz_font_ft_face(ctx, font));
    if (face) {
      FT_Set_Char_Size(face, 64, 64, 72, 72);
      const float scale = IsGlyphNameFont(font) ? 1000.0f : static_cast<float>(face->units_per_EM);
      if (scale > 0) {
        metrics.m_fAscender = face->ascender / scale;
        metrics.m_fDescender = face->descender / scale;
      }
    } else if (fz_font_t3_procs(ctx, font)) {
      fz_rect box = fz_font_bbox(ctx, font);
      if (!fz_is_empty_rect(box)) {
        metrics.m_fAscender = box.y1;
        metrics.m_fDescender = box.y0;
      }
    }
    return metrics;
  }

  bool IsGlyphNameFont(fz_font* font) const {
    for (fz_font* marked : m_vecGlyphNameFonts)
      if (marked == font) return true;
    return false;
  }

  // The advance of a glyph in em units, remembered per font, glyph and writing mode:
  // loading glyphs dominates the capture's time otherwise.
  float Advance(fz_context* ctx, fz_font* font, int gid, int wmode) {
    const AdvanceKey key{font, gid, wmode};
    if (auto it = m_mapAdvances.find(key); it != m_mapAdvances.end()) return it->second;
    const float advance = MeasureAdvance(ctx, font, gid, wmode);
    m_mapAdvances.emplace(key, advance);
    return advance;
  }

  // Unscaled advances come from the font's metrics tables without loading the outline;
  // divided by the units per em they equal the advance at a one-point em.
  static float MeasureAdvance(fz_context* ctx, fz_font* font, int gid, int wmode) {
    auto* face = static_cast<FT_Face>(fz_font_ft_face(ctx, font));
    if (!face) return AdvanceFromEngine(ctx, font, gid, wmode);
    FT_Fixed advance = 0;
    const FT_Int32 flags = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP | FT_LOAD_IGNORE_TRANSFORM |
                           (wmode ? FT_LOAD_VERTICAL_LAYOUT : 0);
    if (face->units_per_EM == 0 || FT_Get_Advance(face, static_cast<FT_UInt>(gid), flags, &advance) != 0) return 0;
    return static_cast<float>(advance) / face->units_per_EM;
  }

  // Engine frame: the advance of a glyph of a font without a FreeType face (Type 3).
  static float AdvanceFromEngine(fz_context* ctx, fz_font* font, int gid, int wmode) {
    float advance = 0;
    fz_var(advance);
    fz_try(ctx) { advance = fz_advance_glyph(ctx, font, gid, wmode); }
    fz_catch(ctx) { advance = 0; }
    return advance;
  }

  // The Unicode value of an item, with the glyph-name rule for values the engine left unknown.
  int32_t ItemUnicode(fz_context* ctx, fz_font* font, const fz_text_item& item) {
    if (item.ucs != 0xFFFD || item.gid < 0) return item.ucs;
    auto* face = static_cast<FT_Face>(fz_font_ft_face(ctx, font));
    if (!face || !FT_HAS_GLYPH_NAMES(face)) return item.ucs;
    char name[64] = {};
    if (FT_Get_Glyph_Name(face, static_cast<FT_UInt>(item.gid), name, sizeof name) != 0) return item.ucs;
    if (m_glyphNames.m_nHexNames < 0 && IsGlyphNameCandidate(name))
      m_glyphNames.m_nHexNames = FaceHasHexGlyphNames(face) ? 1 : 0;
    const int32_t value = UnicodeFromGlyphName(name, m_glyphNames.m_nHexNames == 1);
    if (value < 0) return item.ucs;
    if (!IsGlyphNameFont(font)) m_vecGlyphNameFonts.push_back(font);
    return value;
  }

  static bool FaceHasHexGlyphNames(FT_Face face) {
    std::vector<std::string> names;
    const FT_Long count = std::min<FT_Long>(face->num_glyphs, 256);
    for (FT_Long gid = 0; gid < count; ++gid) {
      char name[64] = {};
      if (FT_Get_Glyph_Name(face, static_cast<FT_UInt>(gid), name, sizeof name) == 0) names.emplace_back(name);
    }
    return HasHexGlyphNames(names);
  }

  void ExtractChars(fz_context* ctx, const fz_text_span* span, fz_matrix ctm, TextStyle& style) {
    if (span->len <= 0) return;
    // Values first: a font that glyph names give values measures its ascender and descender
    // per 1000 units, and that holds for the call that reveals it too.
    std::vector<int32_t> values(static_cast<size_t>(span->len));
    for (int i = 0; i < span->len; ++i) values[static_cast<size_t>(i)] = ItemUnicode(ctx, span->font, span->items[i]);
    const FontMetrics metrics = Metrics(ctx, span->font);
    fz_matrix tm = span->trm;
    tm.e = 0;
    tm.f = 0;
    const fz_matrix r = fz_concat(tm, ctm);
    const fz_point dir = fz_transform_vector(span->wmode ? fz_make_point(0, 1) : fz_make_point(1, 0), r);
    const fz_point unit = fz_normalize_vector(dir);
    const float size = std::sqrt(std::fabs(r.a * r.d - r.b * r.c));

    for (int i = 0; i < span->len;) {
      const fz_text_item& item = span->items[i];
      style.m_nNewSpan = i == 0 ? 1 : 0;
      fz_matrix ri = span->trm;
      ri.e = item.x;
      ri.f = item.y;
      ri = fz_concat(ri, ctm);
      fz_point delta{0, 0};
      if (!(m_pen.x == -1 && m_pen.y == -1)) delta = fz_make_point(m_pen.x - ri.e, m_pen.y - ri.f);
      const float dist = std::sqrt(delta.x * delta.x + delta.y * delta.y);
      if (dist > 0) {
        if (dist > 0.9f * size) {
          FlushLine();
          m_nLastChar = kSpace;
        } else {
          const float along = std::fabs((delta.x / dist) * unit.x + (delta.y / dist) * unit.y);
          if (along > 0.95f && dist > 0.2f * size && m_nLastChar != kSpace) {
            fz_rect spaceBox = fz_transform_rect(fz_make_rect(-0.2f, metrics.m_fDescender, 0, metrics.m_fAscender), ri);
            AddUnicode(style, kSpace, ToRect(spaceBox));
            m_nLastChar = kSpace;
          }
        }
      }
      const float advance = Advance(ctx, span->font, item.gid, span->wmode);
      const fz_rect glyph = fz_transform_rect(fz_make_rect(0, metrics.m_fDescender, advance, metrics.m_fAscender), ri);
      m_pen = fz_make_point(ri.e + advance * dir.x, ri.f + advance * dir.y);

      int n = 1;
      while (i + n < span->len && span->items[i + n].gid < 0) ++n;
      const Rect box = ToRect(glyph);
      for (int k = 0; k < n; ++k) {
        const int32_t ucs = values[static_cast<size_t>(i + k)];
        Rect part = box;
        if (n > 1) {
          const float width = (box.x1 - box.x0) / n;
          part.x0 = box.x0 + width * k;
          part.x1 = part.x0 + width;
        }
        AddUnicode(style, ucs, part);
        m_nLastChar = ucs;
      }
      i += n;
    }
  }

  static Rect ToRect(const fz_rect& r) { return Rect{r.x0, r.y0, r.x1, r.y1}; }

  // Expands ligatures into equal parts of the box, then adds each character.
  void AddUnicode(TextStyle& style, int32_t unicode, const Rect& box) {
    if (unicode == -1) return;
    const char* expansion = nullptr;
    switch (unicode) {
      case 0xFB00: expansion = "ff"; break;
      case 0xFB01: expansion = "fi"; break;
      case 0xFB02: expansion = "fl"; break;
      case 0xFB03: expansion = "ffi"; break;
      case 0xFB04: expansion = "ffl"; break;
      case 0xFB05:
      case 0xFB06: expansion = "st"; break;
      default: break;
    }
    if (!expansion) {
      AddChar(style, unicode, box);
      return;
    }
    const int count = static_cast<int>(std::strlen(expansion));
    const float width = (box.x1 - box.x0) / count;
    for (int k = 0; k < count; ++k) {
      Rect part = box;
      part.x0 = box.x0 + width * k;
      part.x1 = part.x0 + width;
      AddChar(style, expansion[k], part);
    }
  }

  void AddChar(TextStyle& style, int32_t unicode, const Rect& box) {
    if (!m_span.m_pStyle) m_span.m_pStyle = &style;
    if (unicode < 0x20 || unicode == 0xA0) unicode = kSpace;
    const bool loneSpace = m_span.m_vecChars.size() == 1 && m_span.m_vecChars[0].m_nUnicode == kSpace;
    if (style.m_nNewSpan == 1 || unicode == kSpace || loneSpace) {
      PushSpan();
      m_span.m_pStyle = &style;
      style.m_nNewSpan = 0;
    }
    m_span.m_vecChars.push_back(TextChar{box, unicode});
    UnionRect(m_span.m_box, box, m_span.m_bBoxSet);
  }

  void PushSpan() {
    TextSpan span = std::move(m_span);
    m_span = TextSpan{};
    if (span.m_vecChars.empty()) return;
    UnionRect(m_line.m_box, span.m_box, m_line.m_bBoxSet);
    bool blank = true;
    for (const auto& c : span.m_vecChars) blank = blank && c.m_nUnicode == kSpace;
    span.m_nOrder = blank ? -1 : m_page.m_nNextOrder++;
    m_line.m_vecSpans.push_back(std::move(span));
  }

  void FlushLine() {
    PushSpan();
    if (!m_line.m_vecSpans.empty()) {
      SpanLine line = std::move(m_line);
      SpanBlock& block = FindBlock(line);
      UnionRect(block.m_box, line.m_box, block.m_bBoxSet);
      block.m_vecLines.push_back(std::move(line));
    }
    m_line = SpanLine{};
    m_span = TextSpan{};
  }

  // The first block the line continues (just below it, overlapping horizontally and
  // starting near its left edge), or a new one.
  SpanBlock& FindBlock(const SpanLine& line) {
    const TextSpan& first = line.m_vecSpans.front();
    const float s = first.m_pStyle && !first.m_vecChars.empty() ? first.m_pStyle->m_fSize : 1.0f;
    for (auto& block : m_page.m_vecBlocks) {
      const float dy = line.m_box.y0 - block.m_box.y1;
      if (-1.5f * s < dy && dy < 0.5f * s && line.m_box.x0 <= block.m_box.x1 &&
          block.m_box.x0 <= line.m_box.x1 &&
          std::fabs(line.m_box.x0 - block.m_box.x0) < (block.m_box.x1 - block.m_box.x0) / 2)
        return block;
    }
    return m_page.m_vecBlocks.emplace_back();
  }

  StyleSheet& m_sheet;
  SpanPage& m_page;
  GlyphNameState& m_glyphNames;
  struct AdvanceKey {
    fz_font* m_pFont;
    int m_nGlyph;
    int m_nWritingMode;
    bool operator==(const AdvanceKey&) const = default;
  };
  struct AdvanceKeyHash {
    size_t operator()(const AdvanceKey& key) const {
      return std::hash<const void*>()(key.m_pFont) ^ (static_cast<size_t>(key.m_nGlyph) * 2 + key.m_nWritingMode) * 0x9E3779B97F4A7C15ull;
    }
  };
  std::unordered_map<AdvanceKey, float, AdvanceKeyHash> m_mapAdvances;  // em advances already measured
  std::vector<fz_font*> m_vecGlyphNameFonts;  // fonts whose glyph names gave Unicode values
  SpanLine m_line;                            // the current line
  TextSpan m_span;                            // the current span
  fz_point m_pen{-1, -1};                     // where the previous glyph ended
  int32_t m_nLastChar = kSpace;
};

// The engine device: plain data, allocated zero-filled and freed without destructors.
struct TextCaptureDeviceData {
  fz_device super;
  CTextCapture* capture;  // owned; deleted in drop
};

CTextCapture* CaptureOf(fz_device* dev) { return reinterpret_cast<TextCaptureDeviceData*>(dev)->capture; }

// Engine frame: the colour as RGB fractions; black when the engine cannot convert it.
void ToRgb(fz_context* ctx, fz_colorspace* cs, const float* color, fz_color_params params, float rgb[3]) {
  rgb[0] = rgb[1] = rgb[2] = 0;
  if (!cs || !color) return;
  fz_try(ctx) { fz_convert_color(ctx, cs, color, fz_device_rgb(ctx), rgb, nullptr, params); }
  fz_catch(ctx) { rgb[0] = rgb[1] = rgb[2] = 0; }
}

// Composites a channel over white by the alpha, in whole bytes as the raster would.
double CompositeOverWhite(float channel, int alpha) {
  const int c = static_cast<int>(std::clamp(channel, 0.0f, 1.0f) * 255);
  const int scaled = std::min(255, (c * 255) >> 8);
  return (alpha * scaled + (255 - alpha) * 255) / 255.0 / 255.0;
}

void TextCaptureDevice_fill_text(fz_context* ctx, fz_device* dev, const fz_text* text, fz_matrix ctm,
                                 fz_colorspace* cs, const float* color, float alpha, fz_color_params params) {
  float rgb[3];
  ToRgb(ctx, cs, color, params, rgb);
  const int a = static_cast<int>(std::clamp(alpha, 0.0f, 1.0f) * 255);
  CaptureOf(dev)->Capture(ctx, text, ctm, CompositeOverWhite(rgb[0], a), CompositeOverWhite(rgb[1], a),
                          CompositeOverWhite(rgb[2], a), true);
}

void TextCaptureDevice_stroke_text(fz_context* ctx, fz_device* dev, const fz_text* text, const fz_stroke_state*,
                                   fz_matrix ctm, fz_colorspace*, const float*, float, fz_color_params) {
  CaptureOf(dev)->Capture(ctx, text, ctm, -2, 0, 0, false);
}

void TextCaptureDevice_clip_text(fz_context* ctx, fz_device* dev, const fz_text* text, fz_matrix ctm, fz_rect) {
  CaptureOf(dev)->Capture(ctx, text, ctm, -2, 0, 0, false);
}

void TextCaptureDevice_clip_stroke_text(fz_context* ctx, fz_device* dev, const fz_text* text,
                                        const fz_stroke_state*, fz_matrix ctm, fz_rect) {
  CaptureOf(dev)->Capture(ctx, text, ctm, -2, 0, 0, false);
}

void TextCaptureDevice_ignore_text(fz_context* ctx, fz_device* dev, const fz_text* text, fz_matrix ctm) {
  CaptureOf(dev)->Capture(ctx, text, ctm, -2, 0, 0, false);
}

void TextCaptureDevice_close_device(fz_context*, fz_device* dev) { CaptureOf(dev)->Close(); }

void TextCaptureDevice_drop_device(fz_context*, fz_device* dev) {
  delete CaptureOf(dev);
  reinterpret_cast<TextCaptureDeviceData*>(dev)->capture = nullptr;
}

}  // namespace

fz_device* NewTextCaptureDevice(fz_context* ctx, StyleSheet& sheet, SpanPage& page, GlyphNameState& glyphNames) {
  auto* capture = new (std::nothrow) CTextCapture(sheet, page, glyphNames);
  if (!capture) return nullptr;
  TextCaptureDeviceData* dev = nullptr;
  fz_var(dev);
  fz_try(ctx) { dev = fz_new_derived_device(ctx, TextCaptureDeviceData); }
  fz_catch(ctx) {
    delete capture;
    return nullptr;
  }
  dev->capture = capture;
  // Only text calls have callbacks: images, shadings and paths pass by untouched.
  dev->super.fill_text = TextCaptureDevice_fill_text;
  dev->super.stroke_text = TextCaptureDevice_stroke_text;
  dev->super.clip_text = TextCaptureDevice_clip_text;
  dev->super.clip_stroke_text = TextCaptureDevice_clip_stroke_text;
  dev->super.ignore_text = TextCaptureDevice_ignore_text;
  dev->super.close_device = TextCaptureDevice_close_device;
  dev->super.drop_device = TextCaptureDevice_drop_device;
  return &dev->super;
}

bool TextCaptureFailed(fz_device* device) {
  CTextCapture* capture = device ? CaptureOf(device) : nullptr;
  return capture && capture->m_bFailed;
}

}  // namespace capture
