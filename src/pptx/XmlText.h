#pragma once
// Text conventions shared by every part the presentation writer builds: escaping of word
// texts, font names and link targets, the colour notation, and locale-independent numbers.

#include <cstdint>
#include <string>
#include <string_view>

// Escapes "&", "<" and ">" and writes the bullet U+2022 as "&#183;" (the middle dot).
// Characters that XML 1.0 forbids (C0 controls other than tab, line feed and carriage
// return, U+FFFE, U+FFFF, surrogates, values above U+10FFFF) are dropped so the part stays
// well-formed; quotation marks stay as they are. Never fails.
std::wstring EscapeXmlText(std::wstring_view text);

// EscapeXmlText for a value inside a double-quoted attribute: a quotation mark becomes
// "&quot;" as well, so a font name holding one cannot end the attribute. Never fails.
std::wstring EscapeXmlAttribute(std::wstring_view text);

// Six lowercase hexadecimal digits RRGGBB. Each channel (0 to 255) is truncated toward
// zero and kept within 0 to 255; NaN counts as 0. Never fails.
std::wstring FormatColor(double red, double green, double blue);

// `value` truncated toward zero; NaN gives 0 and values beyond the 64-bit range saturate,
// so no number written into a part is ever undefined. Never fails.
int64_t TruncateToInt64(double value);

// Decimal text of an integer: a minus sign when negative, no leading zeros. Never fails.
std::wstring IntText(int64_t value);
