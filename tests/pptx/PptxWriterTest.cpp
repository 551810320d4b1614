#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "PackageCheck.h"
#include "PageModelBuilder.h"
#include "TestSupport.h"
#include "platform/Strings.h"
#include "pptx/PackageFolder.h"
#include "pptx/PackageParts.h"
#include "pptx/PptxWriter.h"

namespace {

namespace fs = std::filesystem;
using namespace pptx_test;
using testing_support::TempDir;

std::string Utf8(const std::wstring& text) { return platform::WideToUtf8Lossy(text); }

// A program folder with the template tree beside an output folder.
class PptxWriterTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(InstallTemplates(m_dir / "program")); }

  std::wstring ProgramDir() const { return m_dir.Wide("program"); }
  std::wstring Output(const std::string& name = "out.pptx") const { return m_dir.Wide(name); }
  fs::path Extracted() const { return m_dir / "x"; }

  // Writes a package of `pages` (the first page's size comes from the first page).
  bool WritePackage(std::initializer_list<CTextPage*> pages, const std::wstring& output) {
    if (!m_writer.Init(ProgramDir(), static_cast<int>(pages.size()), output)) return false;
    int slide = 0;
    for (CTextPage* page : pages) {
      if (++slide == 1) {
        m_writer.SetSlideSize(page->m_fWidth, page->m_fHeight);
        if (!m_writer.SetFirstPage(*page)) return false;
      }
      if (!m_writer.WriteSlide(*page, slide)) return false;
    }
    return m_writer.Finish();
  }

  // Nothing of the writer stays in the program folder but the template tree.
  void ExpectNoWorkFolder() {
    for (const auto& entry : fs::directory_iterator(m_dir / "program"))
      EXPECT_EQ(entry.path().filename(), "Resource");
  }

  TempDir m_dir;
  CPptxWriter m_writer;
};

CTextPage* NewPage(float width, float height, const wchar_t* text) {
  auto* page = new CTextPage;
  SetBox(*page, 0, 0, width, height);
  AddBlock(*page, {NewColumn(72, 72, 100, 12, {NewLine(72, 72, 100, 12, {{text, 72, 72, 100, 12, 12, L"Missing"}})})});
  return page;
}

TEST_F(PptxWriterTest, WritesAConsistentPackageWithEverySlide) {
  std::unique_ptr<CTextPage> first(NewPage(612, 792, L"one")), second(NewPage(300, 300, L"two")),
      third(NewPage(612, 792, L"three"));
  ASSERT_TRUE(WritePackage({first.get(), second.get(), third.get()}, Output())) << Utf8(m_writer.GetLastError());
  ExpectNoWorkFolder();
  ASSERT_TRUE(ExtractPackage(m_dir / "out.pptx", Extracted()));
  EXPECT_EQ(CheckPackage(Extracted()), std::vector<std::string>{});

  EXPECT_EQ(ReadBytes(Extracted() / "[Content_Types].xml"), Utf8(BuildContentTypes(3)));
  EXPECT_EQ(ReadBytes(Extracted() / "ppt/_rels/presentation.xml.rels"), Utf8(BuildPresentationRels(3)));
  EXPECT_EQ(ReadBytes(Extracted() / "ppt/presentation.xml"), Utf8(BuildPresentation(3, 7772400, 10058400)));
  EXPECT_TRUE(fs::is_regular_file(Extracted() / "_rels/.rels"));
  EXPECT_FALSE(fs::exists(Extracted() / "_rels/temp.rels"));
  const std::string slide3 = ReadBytes(Extracted() / "ppt/slides/slide3.xml");
  EXPECT_NE(slide3.find("<a:t>three</a:t>"), std::string::npos);
  EXPECT_NE(slide3.find("name=\"TextBox 2\""), std::string::npos);  // ids run on across slides
}

TEST_F(PptxWriterTest, APackageWithoutPagesGetsTheDefaultSize) {
  ASSERT_TRUE(WritePackage({}, Output()));
  ASSERT_TRUE(ExtractPackage(m_dir / "out.pptx", Extracted()));
  EXPECT_EQ(CheckPackage(Extracted()), std::vector<std::string>{});
  EXPECT_EQ(ReadBytes(Extracted() / "ppt/presentation.xml"), Utf8(BuildPresentation(0, 9144000, 6858000)));
}

// A page twice as large as a slide may be makes every length of the package half as long.
TEST_F(PptxWriterTest, AFirstPageBeyondTheSlideRangeScalesThePackage) {
  std::unique_ptr<CTextPage> page(NewPage(8064, 4032, L"big"));
  ASSERT_TRUE(WritePackage({page.get()}, Output()));
  ASSERT_TRUE(ExtractPackage(m_dir / "out.pptx", Extracted()));
  EXPECT_NE(ReadBytes(Extracted() / "ppt/presentation.xml").find("<p:sldSz cx=\"51206400\" cy=\"25603200\"/>"),
            std::string::npos);
  const std::string slide = ReadBytes(Extracted() / "ppt/slides/slide1.xml");
  EXPECT_NE(slide.find("<a:off x=\"457200\" y=\"457200\"/>"), std::string::npos);
  EXPECT_NE(slide.find("sz=\"600\""), std::string::npos);
}

TEST_F(PptxWriterTest, InitRemovesALeftoverWorkFolderAndWritersNeverShareOne) {
  ASSERT_TRUE(m_writer.Init(ProgramDir(), 1, Output()));
  const fs::path work = *platform::ToPath(m_writer.WorkFolder());
  EXPECT_EQ(work.parent_path(), m_dir / "program");
  EXPECT_NE(work.filename().string().find(std::to_string(::getpid())), std::string::npos);
  ASSERT_TRUE(WritePartFile(work / "stale.txt", L"left by a cancelled job"));

  CPptxWriter other;
  ASSERT_TRUE(other.Init(ProgramDir(), 1, Output("other.pptx")));
  EXPECT_NE(other.WorkFolder(), m_writer.WorkFolder());

  ASSERT_TRUE(m_writer.Init(ProgramDir(), 1, Output()));  // the cancelled job's writer starts anew
  EXPECT_FALSE(fs::exists(work / "stale.txt"));
  EXPECT_TRUE(fs::is_regular_file(work / "_rels/.rels"));
}

// A killed process cannot clean up; the next writer removes work folders of processes
// that no longer run, and nothing else.
TEST_F(PptxWriterTest, InitRemovesWorkFoldersOfProcessesThatNoLongerRun) {
  const fs::path program = m_dir / "program";
  const std::vector<std::string> kept = {"TempCreateDir-1-1", "TempCreateDir-x-1", "TempCreateDirectory",
                                         "TempCreateDir-" + std::to_string(::getpid()) + "-999"};
  const std::string stale = "TempCreateDir-2147483646-3";  // above any pid Linux hands out
  for (const std::string& name : kept) fs::create_directories(program / name / "ppt");
  fs::create_directories(program / stale / "ppt");
  ASSERT_TRUE(m_writer.Init(ProgramDir(), 0, Output()));
  EXPECT_FALSE(fs::exists(program / stale));
  for (const std::string& name : kept) EXPECT_TRUE(fs::exists(program / name)) << name;
}

TEST_F(PptxWriterTest, FailsWithoutTemplates) {
  EXPECT_FALSE(m_writer.Init(m_dir.Wide("nowhere"), 1, Output()));
  EXPECT_NE(m_writer.GetLastError().find(L"templates are missing"), std::wstring::npos);
  std::unique_ptr<CTextPage> page(NewPage(612, 792, L"x"));
  EXPECT_FALSE(m_writer.WriteSlide(*page, 1));
  EXPECT_FALSE(m_writer.Finish());
  EXPECT_FALSE(fs::exists(m_dir / "out.pptx"));
}

// A writer that cannot write fails the job and leaves no partial output behind.
TEST_F(PptxWriterTest, FinishFailsWhenTheOutputCannotBeWritten) {
  std::unique_ptr<CTextPage> page(NewPage(612, 792, L"x"));
  EXPECT_FALSE(WritePackage({page.get()}, m_dir.Wide("missing-folder/out.pptx")));
  EXPECT_FALSE(m_writer.GetLastError().empty());
  EXPECT_FALSE(fs::exists(m_dir / "missing-folder"));
  ExpectNoWorkFolder();
  EXPECT_TRUE(m_writer.WorkFolder().empty());
}

TEST_F(PptxWriterTest, APackerFailureRemovesOnlyWhatItWrote) {
  std::unique_ptr<CTextPage> page(NewPage(612, 792, L"x"));
  m_writer.SetPacker([](const std::wstring& archive, const std::wstring&) {
    WritePartFile(*platform::ToPath(archive), L"PK partial");
    return -6;
  });
  EXPECT_FALSE(WritePackage({page.get()}, Output()));
  EXPECT_FALSE(fs::exists(m_dir / "out.pptx"));
  ExpectNoWorkFolder();

  ASSERT_TRUE(WritePartFile(m_dir / "taken.pptx", L"someone else's"));
  m_writer.SetPacker([](const std::wstring&, const std::wstring&) { return 13; });
  EXPECT_FALSE(WritePackage({page.get()}, Output("taken.pptx")));
  EXPECT_EQ(ReadBytes(m_dir / "taken.pptx"), "someone else's");
}

TEST_F(PptxWriterTest, RefusesSlidesOutsideTheAnnouncedCountAndAnIncompletePackage) {
  std::unique_ptr<CTextPage> page(NewPage(612, 792, L"x"));
  ASSERT_TRUE(m_writer.Init(ProgramDir(), 2, Output()));
  EXPECT_FALSE(m_writer.WriteSlide(*page, 0));
  EXPECT_FALSE(m_writer.WriteSlide(*page, 3));
  EXPECT_TRUE(m_writer.WriteSlide(*page, 1));
  EXPECT_FALSE(m_writer.Finish());
  EXPECT_FALSE(fs::exists(m_dir / "out.pptx"));
  ExpectNoWorkFolder();
}

TEST_F(PptxWriterTest, AFirstPageImageReplacesTheThumbnail) {
  std::unique_ptr<CTextPage> page(NewPage(612, 792, L"x"));
  ASSERT_TRUE(WritePartFile(m_dir / "page.jpeg", L"not really a jpeg"));
  page->m_strPageImage = m_dir.Wide("page.jpeg");
  ASSERT_TRUE(WritePackage({page.get()}, Output()));
  ASSERT_TRUE(ExtractPackage(m_dir / "out.pptx", Extracted()));
  EXPECT_EQ(ReadBytes(Extracted() / "docProps/thumbnail.jpeg"), "not really a jpeg");

  page->m_strPageImage = m_dir.Wide("no-such.jpeg");
  ASSERT_TRUE(m_writer.Init(ProgramDir(), 1, Output("second.pptx")));
  EXPECT_FALSE(m_writer.SetFirstPage(*page));
}

TEST_F(PptxWriterTest, TheWorkFolderMovesToTheTemporaryFolderWhenTheProgramFolderIsReadOnly) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  fs::permissions(m_dir / "program", fs::perms::owner_write, fs::perm_options::remove);
  const bool begun = m_writer.Init(ProgramDir(), 0, Output());
  fs::permissions(m_dir / "program", fs::perms::owner_write, fs::perm_options::add);
  ASSERT_TRUE(begun) << Utf8(m_writer.GetLastError());
  EXPECT_EQ(platform::ToPath(m_writer.WorkFolder())->parent_path(), fs::temp_directory_path());
  EXPECT_TRUE(m_writer.Finish());
  EXPECT_TRUE(fs::is_regular_file(m_dir / "out.pptx"));
}

TEST(PackageFolder, CopiesTheTemplateTreeStoringTempRelsAsRels) {
  TempDir dir;
  fs::create_directories(dir / "src/_rels/deep");
  fs::create_directories(dir / "dst");
  ASSERT_TRUE(WritePartFile(dir / "src/_rels/temp.rels", L"rels"));
  ASSERT_TRUE(WritePartFile(dir / "src/_rels/temp.rels.bak", L"bak"));
  ASSERT_TRUE(WritePartFile(dir / "src/_rels/deep/a.xml", L"a"));
  ASSERT_TRUE(WritePartFile(dir / "dst/a.xml", L"old"));
  ASSERT_TRUE(CopyTemplateTree(dir / "src", dir / "dst"));
  EXPECT_EQ(ReadBytes(dir / "dst/_rels/.rels"), "rels");
  EXPECT_EQ(ReadBytes(dir / "dst/_rels/temp.rels.bak"), "bak");
  EXPECT_EQ(ReadBytes(dir / "dst/_rels/deep/a.xml"), "a");
  EXPECT_FALSE(fs::exists(dir / "dst/_rels/temp.rels"));
  EXPECT_FALSE(CopyTemplateTree(dir / "no-source", dir / "dst"));

  EXPECT_FALSE(WritePartFile(dir / "empty.xml", L""));
  EXPECT_FALSE(fs::exists(dir / "empty.xml"));
  ASSERT_TRUE(WritePartFile(dir / "dst/a.xml", L"\x4E2D\n"));
  EXPECT_EQ(ReadBytes(dir / "dst/a.xml"), "\xE4\xB8\xAD\n");
  EXPECT_FALSE(WritePartFile(dir / "no-folder/a.xml", L"a"));
  DeleteFolderTree(dir / "dst");
  DeleteFolderTree(dir / "dst");
  EXPECT_FALSE(fs::exists(dir / "dst"));
}

}  // namespace
