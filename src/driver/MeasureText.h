#pragma once
// Width of a text in an installed font, for the writers (a space in a word's font, to turn
// gaps into spaces). Reached through one process-wide hook record.

#include <atomic>
#include <string>

// Measures the total advance width of `text` in pixels, in the installed family `fontName`
// with a character height of `size` truncated to whole pixels. `height` is always 0.
// Returns false when the family is not installed (no substitution); the outputs then hold
// a partial sum and must not be used. The empty text measures 0 and succeeds. Thread-safe.
bool MeasureText(const std::wstring& text, const std::wstring& fontName, float size, bool bold,
                 bool italic, float& width, float& height);

using MeasureTextFn = bool (*)(const std::wstring&, const std::wstring&, float, bool, bool,
                               float&, float&);

// The hook record the writers call through. Made on first use, never freed.
struct CMeasureHook {
  std::atomic<int> m_nMode{0};                // writer mode of the job; set by the text writer
  std::atomic<MeasureTextFn> m_pfnMeasure{nullptr};  // MeasureText once a writer has begun
};

// The process's hook record; the first call creates it. Never fails.
CMeasureHook& GetMeasureHook();
