#include "driver/MeasureText.h"

#include <cmath>

#include "platform/FontLookup.h"

bool MeasureText(const std::wstring& text, const std::wstring& fontName, float size, bool bold,
                 bool italic, float& width, float& height) {
  width = 0;
  height = 0;
  if (text.empty()) return true;
  const float truncated = std::trunc(size);
  const int pixelHeight = std::isfinite(truncated) && truncated < 1e6f ? static_cast<int>(truncated) : 0;
  for (wchar_t ch : text) {
    auto advance = platform::GetAdvanceWidth(fontName, bold, italic, pixelHeight, static_cast<char32_t>(ch));
    if (!advance) return false;
    width += static_cast<float>(*advance);
  }
  return true;
}

CMeasureHook& GetMeasureHook() {
  static CMeasureHook* hook = new CMeasureHook;
  return *hook;
}
