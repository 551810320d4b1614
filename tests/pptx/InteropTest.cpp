#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "PackageCheck.h"
#include "TestSupport.h"
#include "driver/ConvertFile.h"
#include "driver/Converter.h"
#include "driver/OutputKind.h"

namespace {

namespace fs = std::filesystem;
using namespace pptx_test;
using testing_support::TempDir;

std::string Quote(const fs::path& path) { return "'" + path.string() + "'"; }

// The number on pdfinfo's "Pages:" line; -1 when there is none.
int PageCount(const std::string& info) {
  const size_t at = info.find("Pages:");
  return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

// The words each page of the fixture must give back after LibreOffice has rendered the package.
struct PageWords {
  fixtures::PageSpec m_page;
  std::vector<std::string> m_vecWords;
};

std::vector<PageWords> FixturePages() {
  fixtures::PageSpec letter;
  letter.m_dWidth = 612;
  letter.m_dHeight = 792;
  letter.m_vecTexts = {{72, 72, "Quarterly report"},
                       {72, 120, "R&D <costs> rose \"sharply\""},
                       {320, 120, "Second column"},
                       {72, 400, "Far below"}};
  // Links become slide hyperlinks: an address with a space and an accent (written as a
  // percent-encoded URI), an e-mail address and a jump to the last slide.
  letter.m_vecLinks = {{60, 55, 240, 25, "https://example.com/annual report/caf\xC3\xA9", 0, ""},
                       {60, 103, 100, 25, "mailto:finance@example.com", 0, ""},
                       {60, 383, 120, 25, "", 3, ""}};
  fixtures::PageSpec blank;
  fixtures::PageSpec turned;
  turned.m_vecTexts = {{72, 72, "Last page", "Times-Roman", 14}};
  fixtures::TextRun upward{100, 500, "Sideways"};
  upward.m_adMatrix[0] = 0;
  upward.m_adMatrix[1] = 1;
  upward.m_adMatrix[2] = -1;
  upward.m_adMatrix[3] = 0;
  turned.m_vecTexts.push_back(upward);
  return {{letter, {"Quarterly", "report", "R&D", "<costs>", "\"sharply\"", "Second", "column", "Far", "below"}},
          {blank, {}},
          {turned, {"Last", "page", "Sideways"}}};
}

// A fixture PDF through the real converter into a .pptx, which must be a sound package
// and must open in LibreOffice with one page per slide and every word in its place.
TEST(PptxInterop, LibreOfficeOpensAConvertedFixture) {
  TempDir dir;
  ASSERT_TRUE(InstallTemplates(dir.Path()));
  const std::vector<PageWords> pages = FixturePages();
  fixtures::DocSpec docSpec;
  for (const PageWords& page : pages) docSpec.m_vecPages.push_back(page.m_page);
  ASSERT_TRUE(fixtures::WritePdf(dir / "report.pdf", docSpec));

  CConverter converter;
  converter.SetOwner(nullptr, dir.Wide(""));
  CConvertJob job;
  job.m_strInputPath = dir.Wide("report.pdf");
  job.m_strOutputPath = dir.Wide("report.pptx");
  job.m_vecPages = {1, 2, 3};
  job.m_nKind = KIND_POWERPOINT;
  ASSERT_EQ(ConvertFile(job, converter), CONVERT_DONE);

  ASSERT_TRUE(ExtractPackage(dir / "report.pptx", dir / "x"));
  EXPECT_EQ(CheckPackage(dir / "x"), std::vector<std::string>{});

  const fs::path profile = dir / "lo-profile";
  ASSERT_TRUE(RunCommand("soffice --headless -env:UserInstallation=file://" + profile.string() +
                         " --convert-to pdf --outdir " + Quote(dir / "back") + " " + Quote(dir / "report.pptx") +
                         " >/dev/null 2>&1"));
  const fs::path back = dir / "back" / "report.pdf";
  ASSERT_TRUE(fs::is_regular_file(back));
  ASSERT_TRUE(RunCommand("pdfinfo " + Quote(back) + " > " + Quote(dir / "info.txt")));
  EXPECT_EQ(PageCount(ReadBytes(dir / "info.txt")), 3) << ReadBytes(dir / "info.txt");

  for (size_t i = 0; i < pages.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    const fs::path text = dir / ("page" + n + ".txt");
    ASSERT_TRUE(RunCommand("pdftotext -f " + n + " -l " + n + " " + Quote(back) + " " + Quote(text)));
    const std::string got = ReadBytes(text);
    for (const std::string& word : pages[i].m_vecWords)
      EXPECT_NE(got.find(word), std::string::npos) << "page " << n << " lacks " << word << " in:\n" << got;
  }
}

}  // namespace
