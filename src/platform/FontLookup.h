#pragma once
// Installed font families and their advance widths: the stand-in for the display
// device's font enumeration and character widths. Thread-safe.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// True when a family of exactly this name (ignoring case) is installed. No substitution.
bool IsFamilyInstalled(std::wstring_view family);

// Advance width, in whole pixels, of one character in the installed family at a character
// height of `pixelHeight` pixels, in the face closest to the requested style. When bold is
// asked of a family without a bold face the width grows by one pixel, as synthesised bold
// does on screen. nullopt when the family is not installed.
std::optional<int> GetAdvanceWidth(std::wstring_view family, bool bold, bool italic,
                                   int pixelHeight, char32_t ch);

// Every installed family name (each name a face answers to), unsorted, without duplicates.
std::vector<std::wstring> ListFontFamilies();

}  // namespace platform
