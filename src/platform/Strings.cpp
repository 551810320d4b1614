#include "platform/Strings.h"

namespace platform {

namespace {

bool IsEncodable(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 sequence at text[i]; advances i. Returns U+FFFD for any malformed,
// overlong or surrogate sequence, consuming one byte so decoding resynchronises.
char32_t DecodeUtf8(std::string_view text, size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  int extra = 0;
  char32_t c = 0;
  char32_t min = 0;
  if (lead < 0x80) {
    ++i;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1; c = lead & 0x1F; min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2; c = lead & 0x0F; min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3; c = lead & 0x07; min = 0x10000;
  } else {
    ++i;
    return 0xFFFD;
  }
  if (i + extra >= text.size()) {
    ++i;
    return 0xFFFD;
  }
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(text[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    c = (c << 6) | (b & 0x3F);
  }
  if (c < min || !IsEncodable(c)) {
    ++i;
    return 0xFFFD;
  }
  i += extra + 1;
  return c;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) out += static_cast<wchar_t>(DecodeUtf8(text, i));
  return out;
}

std::optional<std::string> WideToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t w : text) {
    const auto c = static_cast<char32_t>(w);
    if (!IsEncodable(c)) return std::nullopt;
    AppendUtf8(out, c);
  }
  return out;
}

std::string WideToUtf8Lossy(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t w : text) {
    const auto c = static_cast<char32_t>(w);
    AppendUtf8(out, IsEncodable(c) ? c : 0xFFFD);
  }
  return out;
}

std::optional<std::filesystem::path> ToPath(std::wstring_view path) {
  auto bytes = WideToUtf8(path);
  if (!bytes) return std::nullopt;
  return std::filesystem::path(std::move(*bytes));
}

std::wstring FromPath(const std::filesystem::path& path) { return Utf8ToWide(path.native()); }

}  // namespace platform
