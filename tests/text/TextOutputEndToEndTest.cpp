#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "TestSupport.h"
#include "driver/ConvertFile.h"
#include "driver/Converter.h"
#include "driver/OutputKind.h"

namespace {

using testing_support::TempDir;

const std::string kStars = "****************************";

// Converts the document to text through the real converter; the file's bytes.
std::string ConvertToText(const TempDir& dir, const fixtures::DocSpec& docSpec, std::vector<int32_t> pages) {
  EXPECT_TRUE(fixtures::WritePdf(dir / "layout.pdf", docSpec));
  CConverter converter;
  converter.SetOwner(nullptr, dir.Wide(""));
  CConvertJob job;
  job.m_strInputPath = dir.Wide("layout.pdf");
  job.m_strOutputPath = dir.Wide("layout.txt");
  job.m_vecPages = std::move(pages);
  job.m_nKind = KIND_TEXT;
  EXPECT_EQ(ConvertFile(job, converter), CONVERT_DONE);
  std::ifstream in(dir / "layout.txt", std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  std::filesystem::remove(dir / "layout.txt");
  return bytes.str();
}

// A PDF through the real converter (capture, layout entry point, text writer) into a .txt,
// compared byte for byte.
TEST(TextOutputEndToEnd, ConvertsAFixtureToTheExpectedBytes) {
  TempDir dir;
  fixtures::DocSpec docSpec;
  fixtures::PageSpec first;
  first.m_vecTexts = {{72, 72, "Hello world"}, {72, 120, "Caf\xE9 (50%)"}};
  fixtures::PageSpec blank;
  fixtures::PageSpec third;
  third.m_vecTexts = {{72, 72, "Last"}};
  docSpec.m_vecPages = {first, blank, third};
  // The two lines of page 1 are single-column text: one region, one paragraph.
  const std::string expected = "\xEF\xBB\xBF" + kStars + " Page 1" + kStars + "\r\n\r\n" +
                               "Hello world Caf\xC3\xA9 (50%)\r\n\r\n\r\n\r\n" +
                               "\r\n" + kStars + " Page 2" + kStars + "\r\n\r\n\r\n\r\n" +
                               "\r\n" + kStars + " Page 3" + kStars + "\r\n\r\nLast\r\n\r\n\r\n\r\n";
  EXPECT_EQ(ConvertToText(dir, docSpec, {1, 2, 3}), expected);
}

// Page layouts in reading order: a heading over two columns drawn column by column (one
// paragraph per column, left first), then a table drawn row by row: the cells of a row join
// into one line, and the rows, stacked in drawing order, read as one paragraph.
TEST(TextOutputEndToEnd, ColumnsAndTableRowsReadInOrder) {
  TempDir dir;
  fixtures::PageSpec page;
  page.m_vecTexts.push_back({72, 60, "Quarterly report of the northern and southern regions", "Helvetica-Bold", 16});
  const char* left[] = {"The left column", "runs down the page", "in four lines", "of body text."};
  const char* right[] = {"The right column", "follows it after", "the left one ends", "on the page."};
  for (int i = 0; i < 4; ++i) page.m_vecTexts.push_back({72, 100.0 + 14 * i, left[i], "Times-Roman", 11});
  for (int i = 0; i < 4; ++i) page.m_vecTexts.push_back({320, 100.0 + 14 * i, right[i], "Times-Roman", 11});
  const char* cells[3][3] = {{"Region", "Sales", "Growth"}, {"North", "120", "4%"}, {"South", "95", "7%"}};
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col)
      page.m_vecTexts.push_back({72.0 + 150 * col, 260.0 + 24 * row, cells[row][col], "Helvetica", 10});
  fixtures::DocSpec docSpec;
  docSpec.m_vecPages = {page};

  const std::string expected = "\xEF\xBB\xBF" + kStars + " Page 1" + kStars + "\r\n\r\n" +
                               "Quarterly report of the northern and southern regions\r\n\r\n" +
                               "The left column runs down the page in four lines of body text.\r\n\r\n" +
                               "The right column follows it after the left one ends on the page.\r\n\r\n" +
                               "Region Sales Growth North 120 4% South 95 7%\r\n\r\n\r\n\r\n";
  EXPECT_EQ(ConvertToText(dir, docSpec, {1}), expected);
}

}  // namespace
