#pragma once
// Documents the benchmarks convert, made by the fixture builder so that every run measures
// the same bytes.

#include <string>

#include "FixtureBuilder.h"

namespace bench {

constexpr int kLinesPerPage = 52;
constexpr int kWordsPerLine = 13;

// Running text: justified-looking lines of words from a fixed vocabulary, in a repeatable order.
inline fixtures::DocSpec RunningText(int pages) {
  static const char* const kWords[] = {
      "the",     "conversion", "of",     "documents", "into",   "editable", "text",   "keeps",
      "reading", "order",      "across", "columns",   "and",    "pages",    "while",  "every",
      "line",    "stays",      "where",  "it",        "stood",  "on",       "paper",  "with",
      "its",     "font",       "size",   "weight",    "colour", "spacing",  "margin", "paragraph"};
  constexpr unsigned kWordCount = sizeof kWords / sizeof kWords[0];
  unsigned state = 12345;
  fixtures::DocSpec doc;
  for (int page = 0; page < pages; ++page) {
    fixtures::PageSpec pageSpec;
    pageSpec.m_vecTexts.push_back({72, 60, "Chapter " + std::to_string(page + 1), "Helvetica-Bold", 14});
    for (int line = 0; line < kLinesPerPage; ++line) {
      std::string text;
      for (int word = 0; word < kWordsPerLine; ++word) {
        state = state * 1103515245u + 12345u;
        if (!text.empty()) text += ' ';
        text += kWords[(state >> 16) % kWordCount];
      }
      pageSpec.m_vecTexts.push_back({72, 84.0 + 14 * line, text + ".", "Times-Roman", 10.5});
    }
    doc.m_vecPages.push_back(std::move(pageSpec));
  }
  return doc;
}

}  // namespace bench
