#include "capture/SpanPage.h"

#include <mupdf/fitz.h>

#include <cmath>
#include <cstring>

namespace capture {

void UnionRect(Rect& box, const Rect& other, bool& boxSet) {
  if (!boxSet) {
    box = other;
    boxSet = true;
    return;
  }
  box.x0 = std::min(box.x0, other.x0);
  box.y0 = std::min(box.y0, other.y0);
  box.x1 = std::max(box.x1, other.x1);
  box.y1 = std::max(box.y1, other.y1);
}

StyleSheet::~StyleSheet() = default;

TextStyle* StyleSheet::Lookup(fz_context* ctx, fz_font* font, float size, int writingMode,
                              double red, double green, double blue) {
  for (auto& style : m_vecStyles) {
    if (style->m_pFont != font || style->m_fSize != size || style->m_nWritingMode != writingMode ||
        style->m_nScript != 0)
      continue;
    if (red < -1 || (std::fabs(style->m_dRed - red) < 0.001 && std::fabs(style->m_dGreen - green) < 0.001 &&
                     std::fabs(style->m_dBlue - blue) < 0.001))
      return style.get();
  }
  auto style = std::make_unique<TextStyle>();
  style->m_nId = m_nNextId++;
  style->m_pFont = fz_keep_font(ctx, font);
  style->m_fSize = size;
  style->m_nWritingMode = writingMode;
  style->m_dRed = red;
  style->m_dGreen = green;
  style->m_dBlue = blue;
  const char* name = fz_font_name(ctx, font);
  style->m_strFontName.assign(name ? name : "", 0, name ? std::min<size_t>(std::strlen(name), 31) : 0);
  if (fz_font_flags_t* flags = fz_font_flags(font)) {
    style->m_bFakeBold = flags->fake_bold;
    style->m_bFakeItalic = flags->fake_italic;
  }
  m_vecStyles.insert(m_vecStyles.begin(), std::move(style));
  return m_vecStyles.front().get();
}

void StyleSheet::Release(fz_context* ctx) {
  for (auto& style : m_vecStyles) fz_drop_font(ctx, style->m_pFont);
  m_vecStyles.clear();
}

}  // namespace capture
