#include "pdf/MuInterface.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "capture/TextPage.h"

namespace {

using testing_support::TempDir;

// One folder of fixtures for every test of this suite.
class MuInterfaceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_dir = new TempDir;
    auto& d = *s_dir;
    ASSERT_TRUE(fixtures::WritePdf(d / "plain.pdf", fixtures::NumberedPages(3)));
    fixtures::DocSpec user = fixtures::NumberedPages(2);
    user.m_encryption = fixtures::Encryption{"secret", "owner"};
    ASSERT_TRUE(fixtures::WritePdf(d / "user.pdf", user));
    fixtures::DocSpec ownerOnly = fixtures::NumberedPages(1);
    ownerOnly.m_encryption = fixtures::Encryption{"", "owner"};
    ASSERT_TRUE(fixtures::WritePdf(d / "owner-only.pdf", ownerOnly));
    fixtures::DocSpec sizes;
    for (auto [w, h, rotate] : {std::tuple{595.0, 842.0, 0}, {612.0, 792.0, 90}, {200.0, 100.0, 270}}) {
      fixtures::PageSpec page;
      page.m_dWidth = w;
      page.m_dHeight = h;
      page.m_nRotate = rotate;
      sizes.m_vecPages.push_back(page);
    }
    ASSERT_TRUE(fixtures::WritePdf(d / "sizes.pdf", sizes));
    ASSERT_TRUE(fixtures::WriteBytes(d / "not-a-pdf.pdf", fixtures::NotAPdfBytes()));
    ASSERT_TRUE(fixtures::WriteBytes(d / "damaged.pdf", fixtures::DamagedPdfBytes()));
    ASSERT_TRUE(fixtures::WriteBytes(d / "zero-pages.pdf", fixtures::ZeroPagePdfBytes()));
    std::filesystem::create_directory(d / "folder.pdf");
  }
  static void TearDownTestSuite() {
    delete s_dir;
    s_dir = nullptr;
  }
  static std::wstring Path(const std::string& name) { return s_dir->Wide(name); }
  static TempDir* s_dir;
};

TempDir* MuInterfaceTest::s_dir = nullptr;

TEST_F(MuInterfaceTest, OpenAndCheckGiveTheSameCodeForEveryFile) {
  struct Case {
    const char* file;
    std::string password1, password2;
    int expected;
  };
  const std::string longPassword(300, 'x');
  const Case cases[] = {
      {"plain.pdf", "", "", 3},
      {"plain.pdf", "ignored", "also", 3},
      {"user.pdf", "", "", OPEN_NEEDS_PASSWORD},
      {"user.pdf", "wrong", "", OPEN_NEEDS_PASSWORD},
      {"user.pdf", "secret", "", 2},
      {"user.pdf", "", "secret", 2},
      {"user.pdf", "owner", "", 2},
      {"user.pdf", "wrong", "secret", OPEN_NEEDS_PASSWORD},  // only the first is tried
      {"user.pdf", longPassword, "", OPEN_NEEDS_PASSWORD},   // refused, never truncated
      {"plain.pdf", longPassword, "", 3},                    // unused when no password is needed
      {"owner-only.pdf", "", "", 1},
      {"no-such-file.pdf", "", "", OPEN_CANNOT_READ},
      {"folder.pdf", "", "", OPEN_CANNOT_READ},
      {"not-a-pdf.pdf", "", "", OPEN_ENGINE_ERROR},
      {"damaged.pdf", "", "", OPEN_ENGINE_ERROR},
      {"zero-pages.pdf", "", "", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " / " + c.password1.substr(0, 10) + " / " + c.password2);
    CMuInterface doc;
    EXPECT_EQ(doc.OpenDocument(Path(c.file), c.password1, c.password2), c.expected);
    doc.CloseDocument();
    EXPECT_EQ(CMuInterface::CheckDocument(Path(c.file), c.password1, c.password2), c.expected);
  }
}

TEST_F(MuInterfaceTest, PathsThatCannotBeConvertedOrAreTooLongGiveMinusThree) {
  CMuInterface doc;
  EXPECT_EQ(doc.OpenDocument(Path("plain.pdf") + L'\xD800', "", ""), OPEN_BAD_PATH);
  doc.CloseDocument();
  // An existing file whose path does not fit the engine's 1024-byte buffer.
  std::filesystem::path deep = s_dir->Path();
  while (deep.native().size() < 1100) deep /= std::string(200, 'd');
  std::filesystem::create_directories(deep);
  ASSERT_TRUE(fixtures::WritePdf(deep / "long.pdf", fixtures::NumberedPages(1)));
  EXPECT_EQ(doc.OpenDocument(platform::FromPath(deep / "long.pdf"), "", ""), OPEN_BAD_PATH);
  EXPECT_EQ(CMuInterface::CheckDocument(platform::FromPath(deep / "long.pdf"), "", ""), OPEN_BAD_PATH);
}

TEST_F(MuInterfaceTest, OpenStoresPathAndChosenPassword) {
  CMuInterface doc;
  ASSERT_EQ(doc.OpenDocument(Path("user.pdf"), "", "secret"), 2);
  EXPECT_EQ(doc.m_strFilePath, Path("user.pdf"));
  EXPECT_EQ(doc.m_strPassword, "secret");
}

TEST_F(MuInterfaceTest, PageSizesAreDisplayedSizesAndZeroOutOfRange) {
  CMuInterface doc{CMuInterface::PreviewInstance{}};
  ASSERT_EQ(doc.OpenDocument(Path("sizes.pdf"), "", ""), 3);
  struct Case {
    int page;
    float width, height;
  };
  for (auto c : {Case{1, 595, 842}, Case{2, 792, 612}, Case{3, 100, 200}, Case{0, 0, 0}, Case{4, 0, 0}}) {
    float w = -1, h = -1;
    doc.GetPageSize(c.page, w, h);
    EXPECT_FLOAT_EQ(w, c.width) << "page " << c.page;
    EXPECT_FLOAT_EQ(h, c.height) << "page " << c.page;
  }
}

TEST_F(MuInterfaceTest, CloseIsIdempotentAndAllowsReopening) {
  CMuInterface never;
  never.CloseDocument();
  never.CloseDocument();

  CMuInterface doc;
  EXPECT_EQ(doc.OpenDocument(Path("not-a-pdf.pdf"), "", ""), OPEN_ENGINE_ERROR);
  doc.CloseDocument();
  EXPECT_EQ(doc.m_pContext, nullptr);
  EXPECT_EQ(doc.OpenDocument(Path("plain.pdf"), "", ""), 3);
  ASSERT_NE(doc.LoadPage(1), nullptr);
  doc.CloseDocument();
  doc.CloseDocument();
  EXPECT_EQ(doc.m_pTextPage, nullptr);
  EXPECT_EQ(doc.m_pDocument, nullptr);
}

TEST_F(MuInterfaceTest, LoadPageKeepsOnlyTheCurrentModelWhenReleasing) {
  CMuInterface doc;
  ASSERT_EQ(doc.OpenDocument(Path("sizes.pdf"), "", ""), 3);
  nsPDFData::CTextPage* first = doc.LoadPage(1);
  ASSERT_NE(first, nullptr);
  nsPDFData::CTextPage* third = doc.LoadPage(3);
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(doc.m_pTextPage, third);
  EXPECT_TRUE(doc.m_lstKeptPages.empty());
  EXPECT_FLOAT_EQ(third->m_fWidth, 100);
  EXPECT_FLOAT_EQ(third->m_fHeight, 200);
  EXPECT_EQ(third->m_nType, 4);
}

TEST_F(MuInterfaceTest, LoadPageKeepsPreviousModelsUntilCloseWhenNotReleasing) {
  CMuInterface doc;
  ASSERT_EQ(doc.OpenDocument(Path("plain.pdf"), "", ""), 3);
  doc.m_bReleasePages = false;
  for (int n = 1; n <= 3; ++n) ASSERT_NE(doc.LoadPage(n), nullptr);
  EXPECT_EQ(doc.m_lstKeptPages.size(), 2u);
  doc.CloseDocument();
  EXPECT_TRUE(doc.m_lstKeptPages.empty());
}

TEST_F(MuInterfaceTest, LoadPageOutOfRangeOrClosedYieldsNullAndStaysUsable) {
  CMuInterface doc;
  EXPECT_EQ(doc.LoadPage(1), nullptr);
  ASSERT_EQ(doc.OpenDocument(Path("plain.pdf"), "", ""), 3);
  ASSERT_NE(doc.LoadPage(1), nullptr);
  EXPECT_EQ(doc.LoadPage(4), nullptr);
  EXPECT_EQ(doc.m_pTextPage, nullptr);
  EXPECT_EQ(doc.GetLastError(), "page 4 could not be loaded");
  EXPECT_EQ(doc.LoadPage(0), nullptr);
  EXPECT_NE(doc.LoadPage(2), nullptr);
}

}  // namespace
