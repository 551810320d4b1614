#include "pptx/XmlText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsXmlChar(wchar_t ch) {
  const auto c = static_cast<uint32_t>(ch);
  if (c < 0x20) return c == 0x09 || c == 0x0A || c == 0x0D;
  if (c >= 0xD800 && c <= 0xDFFF) return false;
  if (c == 0xFFFE || c == 0xFFFF) return false;
  return c <= 0x10FFFF;
}

std::wstring Escape(std::wstring_view text, bool attribute) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t ch : text) {
    switch (ch) {
      case L'&': out += L"&amp;"; break;
      case L'<': out += L"&lt;"; break;
      case L'>': out += L"&gt;"; break;
      case L'\x2022': out += L"&#183;"; break;
      case L'"':
        if (attribute)
          out += L"&quot;";
        else
          out += ch;
        break;
      default:
        if (IsXmlChar(ch)) out += ch;
    }
  }
  return out;
}

int ColorChannel(double value) {
  if (!(value > 0)) return 0;  // negative and NaN
  return value >= 255 ? 255 : static_cast<int>(value);
}

}  // namespace

std::wstring EscapeXmlText(std::wstring_view text) { return Escape(text, false); }

std::wstring EscapeXmlAttribute(std::wstring_view text) { return Escape(text, true); }

std::wstring FormatColor(double red, double green, double blue) {
  static constexpr wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring out;
  for (double channel : {red, green, blue}) {
    const int v = ColorChannel(channel);
    out += kDigits[v >> 4];
    out += kDigits[v & 15];
  }
  return out;
}

int64_t TruncateToInt64(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kLimit = 9.2e18;  // just inside the 64-bit range
  if (value >= kLimit) return static_cast<int64_t>(kLimit);
  if (value <= -kLimit) return -static_cast<int64_t>(kLimit);
  return static_cast<int64_t>(value);
}

std::wstring IntText(int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::wstring(buffer, result.ptr);
}
