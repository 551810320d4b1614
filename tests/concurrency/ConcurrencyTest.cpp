// Several converters at once (the command-line tool's --jobs) over the same files must give
// exactly what one converter gives. In the ThreadSanitizer build (PAGEVANE_TSAN) the tool runs
// under the race detector, and a reported race makes it exit with TSan's exit code, which
// fails the test as well.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "FixtureBuilder.h"
#include "GraphicsContent.h"
#include "TestSupport.h"
#include "cli/CliProcess.h"

namespace {

namespace fs = std::filesystem;

// Pages that exercise every shared piece of the conversion: several fonts (font map and text
// measurement), pictures (JPEG export, media numbering), shapes, shadings, links and rotation.
fixtures::DocSpec MixedDocument(int pages, unsigned seed) {
  fixtures::DocSpec doc;
  for (int n = 0; n < pages; ++n) {
    fixtures::PageSpec page;
    page.m_nRotate = n % 3 == 2 ? 90 : 0;
    page.m_vecTexts.push_back({72, 72, "Report page " + std::to_string(n + 1), "Helvetica-Bold", 22});
    page.m_vecTexts.push_back({72, 120, "Running text in a serif face, line one.", "Times-Roman", 11});
    page.m_vecTexts.push_back({72, 136, "Monospaced figures 0123456789 on line two.", "Courier", 11});
    page.m_vecTexts.push_back({320, 120, "A second column beside the first one.", "Helvetica", 11});
    page.m_vecExtras.push_back(fixtures::PhotographContent({72, 420, 200, 150, 64, 48, {0, 0, 0}}, seed + n));
    page.m_vecExtras.push_back(fixtures::PathContent("0.2 0.4 0.8 rg 320 420 m 480 420 l 400 560 l h f\n"
                                                     "1 0 0 RG 3 w 72 380 m 520 380 l S\n"));
    page.m_vecExtras.push_back(fixtures::ShadingContent(320, 600, 150, 80));
    page.m_vecLinks.push_back({72, 60, 200, 20, "https://example.org/report", 0, ""});
    page.m_vecLinks.push_back({320, 110, 150, 14, "", pages, ""});
    doc.m_vecPages.push_back(std::move(page));
  }
  return doc;
}

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every file under `root` by its relative path. A package is compared by its unpacked parts:
// the archive's timestamps differ from run to run, the parts must not.
std::map<std::string, std::string> OutputTree(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(root)) {
    const fs::path& path = entry.path();
    if (path.extension() != ".pptx") {
      files[path.filename().string()] = FileBytes(path);
      continue;
    }
    const fs::path unpacked = root / ("unpacked-" + path.stem().string());
    const std::string command = "unzip -q -o '" + path.string() + "' -d '" + unpacked.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    for (const auto& part : fs::recursive_directory_iterator(unpacked))
      if (part.is_regular_file())
        files[path.filename().string() + ":" + fs::relative(part.path(), unpacked).string()] = FileBytes(part.path());
    fs::remove_all(unpacked);
  }
  return files;
}

cli_test::CliResult Convert(const std::string& kind, int jobs, const fs::path& outputDir,
                            const std::vector<std::string>& inputs) {
  fs::create_directories(outputDir);
  std::vector<std::string> args = {"--to", kind, "--jobs", std::to_string(jobs), "--output-dir", outputDir.string()};
  args.insert(args.end(), inputs.begin(), inputs.end());
  cli_test::CliRunOptions options;
  options.m_limit = std::chrono::seconds(900);  // the race detector slows the tool many times over
  return cli_test::RunCli(args, options);
}

TEST(Concurrency, SeveralConvertersGiveWhatOneConverterGives) {
  testing_support::TempDir dir;
  std::vector<std::string> inputs;
  for (int i = 0; i < 3; ++i) {
    const fs::path path = dir / ("doc" + std::to_string(i) + ".pdf");
    ASSERT_TRUE(fixtures::WritePdf(path, MixedDocument(3 + i, 7 * i)));
    inputs.push_back(path.string());
  }
  // Each file twice, so that converters read the same file at the same time.
  const std::vector<std::string> once = inputs;
  inputs.insert(inputs.end(), once.begin(), once.end());

  for (const std::string kind : {"pptx", "txt"}) {
    SCOPED_TRACE(kind);
    const cli_test::CliResult single = Convert(kind, 1, dir / (kind + "-single"), inputs);
    ASSERT_EQ(single.m_nExit, 0) << single.m_strOut << single.m_strErr;
    const cli_test::CliResult several = Convert(kind, 4, dir / (kind + "-several"), inputs);
    ASSERT_EQ(several.m_nExit, 0) << several.m_strOut << several.m_strErr;

    const auto expected = OutputTree(dir / (kind + "-single"));
    const auto actual = OutputTree(dir / (kind + "-several"));
    EXPECT_EQ(expected.size(), kind == "txt" ? inputs.size() : actual.size());
    ASSERT_EQ(actual.size(), expected.size());
    for (const auto& [name, bytes] : expected) {
      const auto found = actual.find(name);
      ASSERT_NE(found, actual.end()) << name;
      EXPECT_TRUE(found->second == bytes) << name << " differs between one converter and several";
    }
  }
}

}  // namespace
