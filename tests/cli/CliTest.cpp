// pagevane-cli end to end: the built program run on fixture PDFs, as a user would run it.

#include <gtest/gtest.h>
#include <signal.h>
#include <termios.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "CliProcess.h"
#include "TestSupport.h"

namespace {

using cli_test::CliResult;
using cli_test::CliRunOptions;
using cli_test::RunCli;
using testing_support::TempDir;
namespace fs = std::filesystem;

constexpr const char* kRangeRule = "items separated by commas, each N or N-M, numbers rising, no spaces";

// Page N reads "Sheet N", so the text shows which pages were converted and in what order.
fixtures::DocSpec Sheets(int count) {
  fixtures::DocSpec doc;
  for (int n = 1; n <= count; ++n) {
    fixtures::PageSpec page;
    page.m_vecTexts.push_back({72, 72, "Sheet " + std::to_string(n)});
    doc.m_vecPages.push_back(std::move(page));
  }
  return doc;
}

// Many pages of running text: a conversion that takes a while.
fixtures::DocSpec LongDocument(int pages) {
  fixtures::DocSpec doc;
  for (int n = 0; n < pages; ++n) {
    fixtures::PageSpec page;
    for (int line = 0; line < 40; ++line)
      page.m_vecTexts.push_back({72, 72.0 + 17 * line, "The quick brown fox jumps over the lazy dog, line " +
                                                          std::to_string(line) + " of page " + std::to_string(n + 1)});
    doc.m_vecPages.push_back(std::move(page));
  }
  return doc;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Names in `folder`, sorted.
std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(m_dir / "in");
    fs::create_directories(m_dir / "out");
    ASSERT_TRUE(fixtures::WritePdf(In("sheets.pdf"), Sheets(3)));
    fixtures::DocSpec locked = Sheets(1);
    locked.m_encryption = fixtures::Encryption{"secret", "owner"};
    ASSERT_TRUE(fixtures::WritePdf(In("locked.pdf"), locked));
  }

  std::string In(const std::string& name) const { return (m_dir / "in" / name).string(); }
  std::string Out() const { return (m_dir / "out").string(); }
  std::string WriteInput(const std::string& name, const std::string& bytes) const {
    fixtures::WriteBytes(In(name), bytes);
    return In(name);
  }

  TempDir m_dir;
};

TEST_F(CliTest, UsageErrorsExitTwoAndWriteNothing) {
  const std::string file = WriteInput("plain-file", "x");
  struct Case {
    std::vector<std::string> m_vecArgs;
    std::string m_strMessage;  // expected in standard error
  } cases[] = {
      {{"--pages", "3-1"}, kRangeRule},
      {{"--pages", "1, 2"}, kRangeRule},
      {{"--pages", "0"}, kRangeRule},
      {{"--pages", "4-5-6"}, kRangeRule},
      {{"--pages", "1,,2"}, kRangeRule},
      {{"--pages", "5-"}, kRangeRule},
      {{"--output-dir", Out() + "/missing"}, "Output folder does not exist, please select a valid output folder."},
      {{"--output-dir", file}, "Output folder does not exist, please select a valid output folder."},
      {{"--to", "docx"}, "docx"},
      {{"--jobs", "0"}, "--jobs"},
      {{"--password-file", In("no-such-file")}, "password file"},
      {{"--password", "a", "--password-file", file}, "not both"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.m_vecArgs;
    if (std::find(args.begin(), args.end(), "--output-dir") == args.end()) args.insert(args.end(), {"--output-dir", Out()});
    args.push_back(In("sheets.pdf"));
    const CliResult result = RunCli(args);
    SCOPED_TRACE(c.m_vecArgs.front() + " " + c.m_vecArgs.back());
    EXPECT_EQ(result.m_nExit, 2);
    EXPECT_NE(result.m_strErr.find(c.m_strMessage), std::string::npos) << result.m_strErr;
    EXPECT_EQ(result.m_strOut, "");
    EXPECT_TRUE(Names(m_dir / "out").empty());
  }
  const CliResult noFiles = RunCli({"--output-dir", Out()});
  EXPECT_EQ(noFiles.m_nExit, 2);
}

// Without --output-dir the output lands in the working folder, named as typed there.
TEST_F(CliTest, ConvertsTheChosenPagesIntoTheWorkingFolder) {
  CliRunOptions options;
  options.m_cwd = m_dir / "out";
  const CliResult result = RunCli({"--pages", "2-3", In("sheets.pdf")}, options);
  ASSERT_EQ(result.m_nExit, 0) << result.m_strOut << result.m_strErr;
  EXPECT_EQ(result.m_strOut, "done: " + In("sheets.pdf") + " -> sheets.txt\n");
  EXPECT_EQ(result.m_strErr, "");  // no bar: standard error is not a terminal
  const std::string text = ReadFile(m_dir / "out" / "sheets.txt");
  EXPECT_EQ(text.rfind("\xEF\xBB\xBF", 0), 0u);
  EXPECT_EQ(text.find("Sheet 1"), std::string::npos);
  ASSERT_NE(text.find("Sheet 2"), std::string::npos);
  EXPECT_LT(text.find("Sheet 2"), text.find("Sheet 3"));
}

TEST_F(CliTest, SameNameFromTwoFoldersGetsANumber) {
  fs::create_directories(m_dir / "in" / "d1");
  fs::create_directories(m_dir / "in" / "d2");
  ASSERT_TRUE(fixtures::WritePdf(In("d1/a.pdf"), Sheets(1)));
  ASSERT_TRUE(fixtures::WritePdf(In("d2/a.pdf"), Sheets(2)));
  // A PDF whose name lacks ".pdf" keeps its whole name as the base.
  ASSERT_TRUE(fixtures::WritePdf(In("d1/a"), Sheets(1)));
  // Two converters: names are handed out before any file exists.
  const CliResult result =
      RunCli({"--jobs", "2", "--output-dir", Out(), In("d1/a.pdf"), In("d2/a.pdf"), In("d1/a")});
  ASSERT_EQ(result.m_nExit, 0) << result.m_strOut << result.m_strErr;
  EXPECT_NE(result.m_strOut.find("done: " + In("d1/a.pdf") + " -> " + Out() + "/a.txt\n"), std::string::npos);
  EXPECT_NE(result.m_strOut.find("done: " + In("d2/a.pdf") + " -> " + Out() + "/a(1).txt\n"), std::string::npos);
  EXPECT_NE(result.m_strOut.find("done: " + In("d1/a") + " -> " + Out() + "/a(2).txt\n"), std::string::npos);
  EXPECT_EQ(Names(m_dir / "out"), (std::vector<std::string>{"a(1).txt", "a(2).txt", "a.txt"}));
  EXPECT_EQ(ReadFile(m_dir / "out" / "a.txt").find("Sheet 2"), std::string::npos);
  EXPECT_NE(ReadFile(m_dir / "out" / "a(1).txt").find("Sheet 2"), std::string::npos);
}

TEST_F(CliTest, PasswordsOpenProtectedFilesOrFailThem) {
  std::ofstream(m_dir / "right.txt") << "secret\r\nsecond line\n";
  std::ofstream(m_dir / "wrong.txt") << "Secret\n";
  struct Case {
    std::vector<std::string> m_vecArgs;
    int m_nExit;
    std::string m_strLine;  // expected in standard output
  } cases[] = {
      {{}, 1, "failed: " + In("locked.pdf") + ": The file needs a password; give it with --password-file or --password."},
      {{"--password", "wrong"}, 1, "failed: " + In("locked.pdf") + ": The password does not open the file."},
      {{"--password-file", (m_dir / "wrong.txt").string()}, 1, "failed: " + In("locked.pdf") + ": The password does not open the file."},
      {{"--password", "secret"}, 0, "done: " + In("locked.pdf") + " -> " + Out() + "/locked.txt"},
      {{"--password-file", (m_dir / "right.txt").string()}, 0, "done: " + In("locked.pdf") + " -> " + Out() + "/locked.txt"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.m_vecArgs;
    args.insert(args.end(), {"--output-dir", Out(), In("locked.pdf")});
    const CliResult result = RunCli(args);
    SCOPED_TRACE(c.m_strLine);
    EXPECT_EQ(result.m_nExit, c.m_nExit);
    EXPECT_EQ(result.m_strOut, c.m_strLine + "\n");
    EXPECT_EQ(fs::exists(m_dir / "out" / "locked.txt"), c.m_nExit == 0);
    fs::remove(m_dir / "out" / "locked.txt");
  }
}

TEST_F(CliTest, FilesThatCannotBeConvertedFailAndTheBatchGoesOn) {
  const std::string notPdf = WriteInput("not.pdf", fixtures::NotAPdfBytes());
  const std::string empty = WriteInput("empty.pdf", fixtures::ZeroPagePdfBytes());
  ASSERT_TRUE(fixtures::WritePdf(In("one.pdf"), Sheets(1)));
  const CliResult result = RunCli({"--jobs", "1", "--pages", "2-3", "--output-dir", Out(), In("missing.pdf"),
                                   notPdf, empty, In("one.pdf"), In("sheets.pdf"), In("locked.pdf")});
  EXPECT_EQ(result.m_nExit, 1);
  EXPECT_EQ(result.m_strOut, "failed: " + In("missing.pdf") + ": The file does not exist.\n"
                             "failed: " + notPdf + ": The file is not a PDF or is damaged.\n"
                             "failed: " + empty + ": The file has no pages.\n"
                             "failed: " + In("one.pdf") + ": The page range 2-3 goes beyond the file's 1 page.\n"
                             "done: " + In("sheets.pdf") + " -> " + Out() + "/sheets.txt\n"
                             "failed: " + In("locked.pdf") + ": The file needs a password; give it with --password-file or --password.\n");
  EXPECT_EQ(Names(m_dir / "out"), (std::vector<std::string>{"sheets.txt"}));
}

TEST_F(CliTest, PresentationOutputWritesAPackage) {
  const CliResult result = RunCli({"--to", "pptx", "--output-dir", Out(), In("sheets.pdf")});
  EXPECT_EQ(result.m_nExit, 0) << result.m_strErr;
  EXPECT_EQ(result.m_strOut, "done: " + In("sheets.pdf") + " -> " + Out() + "/sheets.pptx\n");
  EXPECT_EQ(Names(m_dir / "out"), (std::vector<std::string>{"sheets.pptx"}));
  EXPECT_EQ(ReadFile(m_dir / "out" / "sheets.pptx").substr(0, 4), std::string("PK\x03\x04", 4));
}

TEST_F(CliTest, ParallelJobsWriteTheSameBytesAsOneJob) {
  std::vector<std::string> inputs;
  for (int n = 1; n <= 4; ++n) {
    fs::create_directories(m_dir / "in" / std::to_string(n));
    const std::string name = std::to_string(n) + "/" + (n % 2 ? "odd" : "even") + ".pdf";
    ASSERT_TRUE(fixtures::WritePdf(In(name), n == 4 ? LongDocument(30) : Sheets(n)));
    inputs.push_back(In(name));
  }
  inputs.push_back(In("sheets.pdf"));
  std::map<std::string, std::map<std::string, std::string>> outputs;  // jobs -> name -> bytes
  for (const std::string jobs : {"1", "3"}) {
    const fs::path folder = m_dir / ("out" + jobs);
    fs::create_directories(folder);
    std::vector<std::string> args = {"--jobs", jobs, "--output-dir", folder.string()};
    args.insert(args.end(), inputs.begin(), inputs.end());
    const CliResult result = RunCli(args);
    ASSERT_EQ(result.m_nExit, 0) << result.m_strOut << result.m_strErr;
    for (const auto& name : Names(folder)) outputs[jobs][name] = ReadFile(folder / name);
  }
  EXPECT_EQ(outputs["1"].size(), 5u);
  EXPECT_EQ(outputs["1"], outputs["3"]);
  // Names follow the order of the command line, not the order the jobs finish in.
  EXPECT_NE(outputs["3"]["odd.txt"].find("Sheet 1"), std::string::npos);
  EXPECT_NE(outputs["3"]["odd(1).txt"].find("Sheet 3"), std::string::npos);
}

// The bar on a terminal shows that the conversion runs; Ctrl-C then cancels it: no output
// file, not even of the files after it, and the exit code of an interrupted program.
TEST_F(CliTest, CtrlCCancelsWithoutLeavingAPartialFile) {
  ASSERT_TRUE(fixtures::WritePdf(In("long.pdf"), LongDocument(1500)));
  CliRunOptions options;
  options.m_bStderrTerminal = true;
  bool interrupted = false;
  options.m_onStderr = [&](pid_t pid, const std::string& err, const auto&) {
    if (!interrupted && err.find("% ") != std::string::npos) {
      interrupted = true;
      ::kill(pid, SIGINT);
    }
  };
  const CliResult result = RunCli({"--jobs", "1", "--output-dir", Out(), In("long.pdf"), In("sheets.pdf")}, options);
  ASSERT_TRUE(interrupted) << result.m_strErr;
  EXPECT_EQ(result.m_nExit, 130) << result.m_strOut;
  EXPECT_EQ(result.m_strOut, "cancelled: " + In("long.pdf") + "\n");
  EXPECT_NE(result.m_strErr.find("0/2 files"), std::string::npos);
  EXPECT_TRUE(Names(m_dir / "out").empty());
}

TEST_F(CliTest, AsksForAMissingPasswordWithoutEcho) {
  CliRunOptions options;
  options.m_bStdinTerminal = true;
  std::string echoed;
  bool echoAtExit = false;
  options.m_pTerminalInput = &echoed;
  options.m_pEchoOnAtExit = &echoAtExit;
  bool answered = false;
  options.m_onStderr = [&](pid_t, const std::string& err, const auto& write) {
    if (!answered && err.find("Password for ") != std::string::npos) {
      answered = true;
      write("secret\n");
    }
  };
  // Asked once: the second file takes the password typed for the first.
  ASSERT_TRUE(fixtures::WritePdf(In("locked2.pdf"), [] {
    fixtures::DocSpec doc = Sheets(1);
    doc.m_encryption = fixtures::Encryption{"secret", "owner"};
    return doc;
  }()));
  const CliResult result = RunCli({"--output-dir", Out(), "--jobs", "1", In("locked.pdf"), In("locked2.pdf")}, options);
  EXPECT_EQ(result.m_nExit, 0) << result.m_strOut << result.m_strErr;
  EXPECT_EQ(result.m_strErr, "Password for " + In("locked.pdf") + ": ");
  EXPECT_EQ(Names(m_dir / "out"), (std::vector<std::string>{"locked.txt", "locked2.txt"}));
  EXPECT_EQ(echoed.find("secret"), std::string::npos) << echoed;
  EXPECT_TRUE(echoAtExit);
}

TEST_F(CliTest, CtrlCAtThePasswordPromptCancels) {
  CliRunOptions options;
  options.m_bStdinTerminal = true;
  bool echoAtExit = false;
  options.m_pEchoOnAtExit = &echoAtExit;
  bool interrupted = false;
  options.m_onStderr = [&](pid_t pid, const std::string& err, const auto&) {
    if (!interrupted && err.find("Password for ") != std::string::npos) {
      interrupted = true;
      ::kill(pid, SIGINT);
    }
  };
  const CliResult result = RunCli({"--output-dir", Out(), In("locked.pdf"), In("sheets.pdf")}, options);
  ASSERT_TRUE(interrupted);
  EXPECT_EQ(result.m_nExit, 130);
  EXPECT_TRUE(Names(m_dir / "out").empty());
  EXPECT_TRUE(echoAtExit);  // the terminal echoes again
}

}  // namespace
