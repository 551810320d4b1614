#include "capture/GlyphNameUnicode.h"

#include <cctype>
#include <cstring>

namespace capture {

namespace {

bool IsHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexLetter(char c) { return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// Leading digits of `text` in the given base; stops at the first other character.
long LeadingValue(const char* text, int base) {
  long value = 0;
  for (; *text; ++text) {
    int digit = IsDigit(*text) ? *text - '0' : (base == 16 && IsHex(*text)) ? (std::tolower(*text) - 'a' + 10) : -1;
    if (digit < 0) break;
    value = value * base + digit;
    if (value > 0x10FFFF) return value;  // large enough to be refused; no overflow
  }
  return value;
}

long DecimalFallback(const char* name, size_t length) {
  if (length >= 3 && length <= 5 && IsDigit(name[1]) && IsDigit(name[2])) return LeadingValue(name + 1, 10);
  if (length >= 4 && length <= 6 && IsDigit(name[2]) && IsDigit(name[3])) return LeadingValue(name + 2, 10);
  if (length > 6 && std::strncmp(name, "uni", 3) == 0 && IsHex(name[3]) && IsHex(name[4]) && IsHex(name[5]) &&
      IsHex(name[6]))
    return LeadingValue(name + 3, 16);
  return -1;
}

}  // namespace

bool IsGlyphNameCandidate(const char* name) { return name && *name && std::strcmp(name, ".notdef") != 0; }

bool HasHexGlyphNames(const std::vector<std::string>& names) {
  for (const auto& name : names) {
    if (name.size() == 3 && IsLetter(name[0]) && IsHex(name[1]) && IsHex(name[2]) &&
        (IsHexLetter(name[1]) || IsHexLetter(name[2])))
      return true;
    if (name.size() == 2 && IsHex(name[0]) && IsHex(name[1]) && (IsHexLetter(name[0]) || IsHexLetter(name[1])))
      return true;
  }
  return false;
}

int32_t UnicodeFromGlyphName(const char* name, bool hexDocument) {
  if (!IsGlyphNameCandidate(name)) return -1;
  const size_t length = std::strlen(name);
  long value = -1;
  if (hexDocument) {
    if (length == 3 && IsLetter(name[0]) && IsHex(name[1]) && IsHex(name[2]))
      value = LeadingValue(name + 1, 16);
    else if (length == 2 && IsHex(name[0]) && IsHex(name[1]))
      value = LeadingValue(name, 16);
  } else if (length >= 2 && length <= 4 && IsDigit(name[0]) && IsDigit(name[1])) {
    value = LeadingValue(name, 10);
  }
  if (value < 0) value = DecimalFallback(name, length);
  return value >= 0 && value <= 0xFFFF ? static_cast<int32_t>(value) : -1;
}

}  // namespace capture
