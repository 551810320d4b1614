#include "driver/OutputPath.h"

#include <gtest/gtest.h>

#include <fstream>

#include "TestSupport.h"
#include "driver/OutputKind.h"

namespace {

using testing_support::TempDir;
namespace fs = std::filesystem;

struct Case {
  const char* m_pszName;
  std::vector<std::string> m_vecFiles;    // files already in the output folder
  std::vector<std::string> m_vecFolders;  // folders already in the output folder
  std::vector<std::string> m_vecReserved; // names handed out to jobs still running
  std::string m_strFileName;              // the PDF's file name
  int m_nKind;
  std::string m_strExpected;              // the chosen name inside the folder
};

const Case kCases[] = {
    {"FreeName", {}, {}, {}, "a.pdf", KIND_TEXT, "a.txt"},
    {"TakenGetsOne", {"a.pptx"}, {}, {}, "a.pdf", KIND_POWERPOINT, "a(1).pptx"},
    {"OneTakenGetsTwo", {"a.pptx", "a(1).pptx"}, {}, {}, "a.pdf", KIND_POWERPOINT, "a(2).pptx"},
    {"FolderOfThatNameTakesIt", {}, {"a.txt"}, {}, "a.pdf", KIND_TEXT, "a(1).txt"},
    {"OtherKindDoesNotTakeIt", {"a.txt"}, {}, {}, "a.pdf", KIND_POWERPOINT, "a.pptx"},
    {"GapIsNotFilledBeforeTheBase", {"a(1).txt"}, {}, {}, "a.pdf", KIND_TEXT, "a.txt"},
    {"ReservedCountsAsTaken", {}, {}, {"a.txt"}, "a.pdf", KIND_TEXT, "a(1).txt"},
    {"ReservedAndDiskTogether", {"a(1).txt"}, {}, {"a.txt"}, "a.pdf", KIND_TEXT, "a(2).txt"},
    {"LastFourCharactersGo", {}, {}, {}, "Report.PDF", KIND_TEXT, "Report.txt"},
    {"OnlyTheLastExtensionGoes", {}, {}, {}, "x.pdf.pdf", KIND_TEXT, "x.pdf.txt"},
    {"NumbersAreDecimal", {"b.txt", "b(1).txt", "b(2).txt", "b(3).txt", "b(4).txt", "b(5).txt",
                           "b(6).txt", "b(7).txt", "b(8).txt", "b(9).txt"},
     {}, {}, "b.pdf", KIND_TEXT, "b(10).txt"},
    {"FolderKindIgnoresFiles", {"c"}, {}, {}, "c.pdf", KIND_CSV, ""},
    {"FolderKindSkipsFolders", {}, {"c"}, {}, "c.pdf", KIND_CSV, "c(1)"},
};

class OutputPathTest : public ::testing::TestWithParam<Case> {};

TEST_P(OutputPathTest, ChoosesTheFirstFreeName) {
  const Case& c = GetParam();
  TempDir dir;
  for (const auto& name : c.m_vecFiles) std::ofstream(dir / name) << "x";
  for (const auto& name : c.m_vecFolders) fs::create_directory(dir / name);
  std::set<std::wstring> reserved;
  for (const auto& name : c.m_vecReserved) reserved.insert(dir.Wide(name));

  const std::wstring folder = platform::FromPath(dir.Path());
  const std::wstring chosen = MakeUniqueOutputPath(folder, platform::Utf8ToWide(c.m_strFileName), c.m_nKind, reserved);
  // A file of the folder kind's name blocks creating the folder: no name is given then.
  const std::wstring expected = c.m_strExpected.empty() ? L"" : dir.Wide(c.m_strExpected);
  EXPECT_EQ(platform::WideToUtf8Lossy(chosen), platform::WideToUtf8Lossy(expected));
  if (c.m_nKind == KIND_CSV && !expected.empty()) {
    EXPECT_TRUE(fs::is_directory(dir / c.m_strExpected));
  }
}

INSTANTIATE_TEST_SUITE_P(Names, OutputPathTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.m_pszName); });

TEST(OutputPath, FolderTextEndingInSlashGetsNoSecondSlash) {
  EXPECT_EQ(MakeUniqueOutputPath(L"/no-such-folder/", L"a.pdf", KIND_TEXT), L"/no-such-folder/a.txt");
  EXPECT_EQ(MakeUniqueOutputPath(L"/no-such-folder", L"a.pdf", KIND_TEXT), L"/no-such-folder/a.txt");
}

TEST(OutputPath, DanglingLinkTakesTheName) {
  TempDir dir;
  fs::create_symlink(dir / "gone", dir / "a.txt");
  EXPECT_EQ(MakeUniqueOutputPath(platform::FromPath(dir.Path()), L"a.pdf", KIND_TEXT), dir.Wide("a(1).txt"));
}

}  // namespace
