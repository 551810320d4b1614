#include "pptx/Hyperlink.h"

#include <string_view>

#include "pptx/XmlText.h"

namespace {

constexpr std::wstring_view kWebScheme = L"http://";
constexpr std::wstring_view kMailScheme = L"mailto:";

bool IsAsciiLetter(wchar_t ch) { return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z'); }
bool IsHexDigit(wchar_t ch) {
  return (ch >= L'0' && ch <= L'9') || (ch >= L'a' && ch <= L'f') || (ch >= L'A' && ch <= L'F');
}

// The text starts with `scheme` and has more after it: a bare scheme is no address.
bool StartsWithScheme(std::wstring_view text, std::wstring_view scheme) {
  return text.size() > scheme.size() && text.substr(0, scheme.size()) == scheme;
}

// "name://" followed by more text, name being a letter and then letters, digits, "+", "-"
// or ".": an address that already says how to reach it. Putting "http://" in front of
// "https://host" would send the reader to a host named "https".
bool HasOwnScheme(std::wstring_view text) {
  if (text.empty() || !IsAsciiLetter(text[0])) return false;
  size_t i = 1;
  while (i < text.size() && (IsAsciiLetter(text[i]) || (text[i] >= L'0' && text[i] <= L'9') || text[i] == L'+' ||
                             text[i] == L'-' || text[i] == L'.'))
    ++i;
  return StartsWithScheme(text.substr(i), L"://");
}

void AppendEscapedByte(std::wstring& out, unsigned byte) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  out += L'%';
  out += kDigits[(byte >> 4) & 15];
  out += kDigits[byte & 15];
}

// The UTF-8 bytes of `ch`, each as %XX; a code point UTF-8 cannot carry becomes U+FFFD.
void AppendEscapedChar(std::wstring& out, uint32_t ch) {
  if ((ch >= 0xD800 && ch <= 0xDFFF) || ch > 0x10FFFF) ch = 0xFFFD;
  if (ch < 0x80) {
    AppendEscapedByte(out, ch);
  } else if (ch < 0x800) {
    AppendEscapedByte(out, 0xC0 | (ch >> 6));
    AppendEscapedByte(out, 0x80 | (ch & 0x3F));
  } else if (ch < 0x10000) {
    AppendEscapedByte(out, 0xE0 | (ch >> 12));
    AppendEscapedByte(out, 0x80 | ((ch >> 6) & 0x3F));
    AppendEscapedByte(out, 0x80 | (ch & 0x3F));
  } else {
    AppendEscapedByte(out, 0xF0 | (ch >> 18));
    AppendEscapedByte(out, 0x80 | ((ch >> 12) & 0x3F));
    AppendEscapedByte(out, 0x80 | ((ch >> 6) & 0x3F));
    AppendEscapedByte(out, 0x80 | (ch & 0x3F));
  }
}

// Characters a URI never holds literally. Presentation applications refuse a package whose
// hyperlink targets are not URIs, and addresses copied from documents often hold spaces
// or accented letters.
bool NeedsEscape(std::wstring_view text, size_t i) {
  const auto ch = static_cast<uint32_t>(text[i]);
  if (ch <= 0x20 || ch >= 0x7F) return true;
  if (ch == L'"' || ch == L'<' || ch == L'>') return true;
  return ch == L'%' && !(i + 2 < text.size() && IsHexDigit(text[i + 1]) && IsHexDigit(text[i + 2]));
}

std::wstring PercentEncode(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (NeedsEscape(text, i))
      AppendEscapedChar(out, static_cast<uint32_t>(text[i]));
    else
      out += text[i];
  }
  return out;
}

}  // namespace

std::wstring AddHyperlink(SlideRelList& rels, int32_t linkType, const std::wstring& target) {
  if (linkType != SLIDE_REL_WEB && linkType != SLIDE_REL_EMAIL && linkType != SLIDE_REL_SLIDE) return {};
  rels.push_back({linkType, target});
  std::wstring out = L"<a:hlinkClick r:id=\"" + LastRelationshipId(rels) + L"\"";
  if (linkType == SLIDE_REL_SLIDE) out += L" action=\"ppaction://hlinksldjump\"";
  return out + L"/>";
}

std::wstring ExternalLinkTarget(int32_t linkType, const std::wstring& fullTarget) {
  // Like every text the writer escapes, a target ends at its first NUL.
  const std::wstring_view target = std::wstring_view(fullTarget).substr(0, fullTarget.find(L'\0'));
  const std::wstring escaped = EscapeXmlText(target);
  const std::wstring_view scheme = linkType == SLIDE_REL_EMAIL ? kMailScheme : kWebScheme;
  bool keep = StartsWithScheme(escaped, scheme);
  if (linkType != SLIDE_REL_EMAIL && !keep) keep = HasOwnScheme(escaped);
  std::wstring out = keep ? std::wstring() : std::wstring(scheme);
  return out + EscapeXmlText(PercentEncode(target));
}

std::wstring SlideLinkTarget(const std::wstring& target) { return L"slide" + EscapeXmlAttribute(target) + L".xml"; }
