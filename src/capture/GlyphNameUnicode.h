#pragma once
// Unicode values from glyph names that carry a character code ("G41", "a65", "uni0041"),
// for glyphs of fonts whose names the engine does not know. Some producers name glyphs by
// hexadecimal codes, others by decimal ones; one decision holds for a whole document.

#include <cstdint>
#include <string>
#include <vector>

namespace capture {

// True for a name that can decide the document's numbering (not empty, not ".notdef").
bool IsGlyphNameCandidate(const char* name);

// True when the names look hexadecimal: any name of a letter and two hexadecimal digits,
// or of two hexadecimal digits, with a digit from a to f (either case).
bool HasHexGlyphNames(const std::vector<std::string>& names);

// The value a glyph name spells, or -1 when it spells none or one above U+FFFF.
int32_t UnicodeFromGlyphName(const char* name, bool hexDocument);

}  // namespace capture
