#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "TestSupport.h"
#include "driver/ConvertFile.h"
#include "driver/Converter.h"
#include "driver/OutputKind.h"

namespace {

using testing_support::TempDir;

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
  ASSERT_TRUE(fixtures::WritePdf(dir / "in.pdf", docSpec));

  CConverter converter;
  converter.SetOwner(nullptr, dir.Wide(""));
  CConvertJob job;
  job.m_strInputPath = dir.Wide("in.pdf");
  job.m_strOutputPath = dir.Wide("in.txt");
  job.m_vecPages = {1, 2, 3};
  job.m_nKind = KIND_TEXT;
  ASSERT_EQ(ConvertFile(job, converter), CONVERT_DONE);

  std::ifstream in(dir / "in.txt", std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  const std::string stars = "****************************";
  // The two lines of page 1 are single-column text: one region, one paragraph.
  const std::string expected = "\xEF\xBB\xBF" + stars + " Page 1" + stars + "\r\n\r\n" +
                               "Hello world Caf\xC3\xA9 (50%)\r\n\r\n\r\n\r\n" +
                               "\r\n" + stars + " Page 2" + stars + "\r\n\r\n\r\n\r\n" +
                               "\r\n" + stars + " Page 3" + stars + "\r\n\r\nLast\r\n\r\n\r\n\r\n";
  EXPECT_EQ(bytes.str(), expected);
}

}  // namespace
