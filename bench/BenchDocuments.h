#pragma once
// Documents the benchmarks convert, made by the fixture builder so that every run measures
// the same bytes.

#include <cmath>
#include <cstdio>
#include <string>

#include "FixtureBuilder.h"
#include "GraphicsContent.h"

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

// A report page: a heading, two photographs, a bar chart, a 40-segment line chart over a
// dashed grid, and a paragraph of running text. Every page differs a little (image noise,
// bar heights, the line), so nothing can be cached across pages.
inline fixtures::DocSpec PhotosAndCharts(int pages) {
  const auto num = [](double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    return std::string(buffer);
  };
  fixtures::DocSpec doc;
  for (int page = 0; page < pages; ++page) {
    fixtures::PageSpec pageSpec;
    pageSpec.m_vecTexts.push_back({72, 60, "Site survey " + std::to_string(page + 1), "Helvetica-Bold", 16});
    pageSpec.m_vecTexts.push_back({72, 300, "Figure 1: north facade and yard", "Helvetica", 9});
    pageSpec.m_vecTexts.push_back({320, 240, "Monthly output", "Helvetica", 9});
    for (int line = 0; line < 8; ++line)
      pageSpec.m_vecTexts.push_back({72, 620.0 + 14 * line,
                                     "The survey keeps every photograph and chart where it stood on the page, line " +
                                         std::to_string(line + 1) + ".",
                                     "Times-Roman", 10.5});
    // Photographs: 300 x 200 and 240 x 240 pixels (user space: y up from the bottom).
    pageSpec.m_vecExtras.push_back(fixtures::PhotographContent({72, 552, 220, 200, 300, 200}, 2u * page + 1));
    pageSpec.m_vecExtras.push_back(fixtures::PhotographContent({72, 250, 180, 180, 240, 240}, 2u * page + 2));
    // Bar chart with axes.
    std::string bars = "q 0 0 0 RG 1 w 320 610 m 540 610 l S 320 610 m 320 760 l S ";
    for (int bar = 0; bar < 8; ++bar) {
      const double height = 20 + (page * 37 + bar * 53) % 120;
      bars += num(0.2 + 0.08 * bar) + " 0.4 0.7 rg " + num(330 + bar * 26) + " 610 18 " + num(height) + " re f ";
    }
    pageSpec.m_vecExtras.push_back(fixtures::PathContent(bars + "Q"));
    // Line chart: a dashed grid and a 40-segment polyline.
    std::string chart = "q 0.6 G 0.5 w [3 2] 0 d ";
    for (int grid = 0; grid <= 4; ++grid)
      chart += "320 " + num(300 + grid * 40) + " m 540 " + num(300 + grid * 40) + " l S ";
    chart += "[] 0 d 0.8 0.1 0.1 RG 1.5 w ";
    for (int point = 0; point <= 40; ++point) {
      const double y = 380 + 60 * std::sin(0.3 * point + page) * std::cos(0.11 * point);
      chart += num(320 + point * 5.5) + " " + num(y) + (point == 0 ? " m " : " l ");
    }
    pageSpec.m_vecExtras.push_back(fixtures::PathContent(chart + "S Q"));
    doc.m_vecPages.push_back(std::move(pageSpec));
  }
  return doc;
}

}  // namespace bench
