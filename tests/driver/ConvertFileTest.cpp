#include "driver/ConvertFile.h"

#include <gtest/gtest.h>

#include "FakeWriters.h"
#include "TestSupport.h"
#include "driver/Converter.h"
#include "driver/OutputKind.h"

namespace {

using testing_support::TempDir;

class ConvertFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fixtures::DocSpec sizes;
    for (auto [w, h] : {std::pair{100.0, 200.0}, {300.0, 400.0}, {500.0, 600.0}}) {
      fixtures::PageSpec page;
      page.m_dWidth = w;
      page.m_dHeight = h;
      sizes.m_vecPages.push_back(page);
    }
    ASSERT_TRUE(fixtures::WritePdf(m_dir / "sizes.pdf", sizes));
    fixtures::DocSpec locked = fixtures::NumberedPages(1);
    locked.m_encryption = fixtures::Encryption{"secret", "owner"};
    ASSERT_TRUE(fixtures::WritePdf(m_dir / "locked.pdf", locked));
    ASSERT_TRUE(fixtures::WriteBytes(m_dir / "missing-page.pdf", fixtures::MissingPagePdfBytes()));

    NewConverter();
  }

  // A converter with fake writers whose jobs run on the test's thread.
  void NewConverter() {
    m_pConverter = std::make_unique<CConverter>();
    auto text = std::make_unique<fakes::CFakeTextWriter>();
    m_pText = text.get();
    m_pConverter->SetTextWriter(std::move(text));
    auto pptx = std::make_unique<fakes::CFakePptxWriter>();
    m_pPptx = pptx.get();
    m_pConverter->SetPresentationWriter(std::move(pptx));
    m_pConverter->SetOwner(&m_sink, m_dir.Wide(""));
  }

  CConvertJob Job(const std::string& input, int kind, std::vector<int> pages) {
    CConvertJob job;
    job.m_strInputPath = m_dir.Wide(input);
    job.m_strOutputPath = m_dir.Wide("out" + platform::WideToUtf8Lossy(GetKindExtension(kind)));
    job.m_vecPages.assign(pages.begin(), pages.end());
    job.m_nKind = kind;
    job.m_nItemIndex = 7;
    return job;
  }
  bool OutputExists(int kind) {
    return std::filesystem::exists(m_dir / ("out" + platform::WideToUtf8Lossy(GetKindExtension(kind))));
  }

  TempDir m_dir;
  fakes::CRecordingSink m_sink;
  std::unique_ptr<CConverter> m_pConverter;
  fakes::CFakeTextWriter* m_pText = nullptr;
  fakes::CFakePptxWriter* m_pPptx = nullptr;
};

TEST_F(ConvertFileTest, SendsTwoProgressFractionsPerPage) {
  struct Case {
    std::vector<int> pages;
    std::vector<float> fractions;
  };
  const Case cases[] = {
      {{}, {}},
      {{1}, {0.5f, 1.0f}},
      {{1, 2, 3}, {1 / 6.0f, 2 / 6.0f, 3 / 6.0f, 4 / 6.0f, 5 / 6.0f, 1.0f}},
  };
  for (const auto& c : cases) {
    m_sink.m_vecNotes.clear();
    EXPECT_EQ(ConvertFile(Job("sizes.pdf", KIND_TEXT, c.pages), *m_pConverter), CONVERT_DONE);
    EXPECT_EQ(m_sink.Progress(), c.fractions);
    for (const auto& note : m_sink.m_vecNotes) EXPECT_EQ(note.m_nItemIndex, 7);
  }
}

TEST_F(ConvertFileTest, EmptyPageListWritesNoTextFileButFinishesAPresentation) {
  EXPECT_EQ(ConvertFile(Job("sizes.pdf", KIND_TEXT, {}), *m_pConverter), CONVERT_DONE);
  EXPECT_FALSE(OutputExists(KIND_TEXT));
  EXPECT_EQ(m_pText->m_vecCalls, (std::vector<std::string>{"begin 0 kind 5 mode 1"}));

  EXPECT_EQ(ConvertFile(Job("sizes.pdf", KIND_POWERPOINT, {}), *m_pConverter), CONVERT_DONE);
  EXPECT_EQ(m_pPptx->m_vecCalls, (std::vector<std::string>{"init 0", "finish"}));
  EXPECT_TRUE(OutputExists(KIND_POWERPOINT));
}

TEST_F(ConvertFileTest, SlidesFollowTheListOrderAndTheSizeComesFromTheFirstListedPage) {
  EXPECT_EQ(ConvertFile(Job("sizes.pdf", KIND_POWERPOINT, {3, 1}), *m_pConverter), CONVERT_DONE);
  EXPECT_EQ(m_pPptx->m_vecCalls,
            (std::vector<std::string>{"init 2", "size 500x600", "first 500x600", "slide 1 500x600",
                                      "slide 2 100x200", "finish"}));
}

TEST_F(ConvertFileTest, UnreadablePageBecomesABlankPageAndTheJobSaysSo) {
  EXPECT_EQ(ConvertFile(Job("missing-page.pdf", KIND_TEXT, {1, 2}), *m_pConverter), CONVERT_DONE);
  EXPECT_EQ(m_pText->m_vecCalls,
            (std::vector<std::string>{"begin 2 kind 5 mode 1", "page 1 300x400", "page 2 300x400", "write"}));
  EXPECT_EQ(m_sink.Progress().size(), 4u);
  EXPECT_EQ(m_pConverter->m_strMessage, L"1 page could not be read and was left blank: page 2 could not be loaded.");
}

TEST_F(ConvertFileTest, CancelIsNoticedAfterEachHalfOfAPage) {
  // The cancel is raised on the k-th progress notification (0: before the job starts).
  struct Case {
    int raiseAt;
    size_t progressSeen;
    bool textWritten;
  };
  const Case cases[] = {
      {0, 1, false},  // raised before the first page: noticed after its capture
      {1, 1, false},
      {2, 2, false},  // between pages
      {6, 6, false},  // while the last page was written: noticed before finishing
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.raiseAt);
    m_sink.m_vecNotes.clear();
    int seen = 0;
    m_sink.m_onNotify = [&](const CConvertNotify&) {
      if (++seen == c.raiseAt) m_pConverter->CancelJobs();
    };
    if (c.raiseAt == 0) m_pConverter->CancelJobs();
    EXPECT_EQ(ConvertFile(Job("sizes.pdf", KIND_TEXT, {1, 2, 3}), *m_pConverter), CONVERT_CANCELLED);
    EXPECT_EQ(m_sink.Progress().size(), c.progressSeen);
    EXPECT_FALSE(OutputExists(KIND_TEXT));
    EXPECT_EQ(m_pConverter->m_muInterface.m_pDocument, nullptr);
    m_sink.m_onNotify = nullptr;
    NewConverter();
  }
}

TEST_F(ConvertFileTest, CancelDuringFinishingDeletesTheFinishedOutput) {
  m_pText->m_onWrite = [&] { m_pConverter->CancelJobs(); };
  EXPECT_EQ(ConvertFile(Job("sizes.pdf", KIND_TEXT, {1}), *m_pConverter), CONVERT_CANCELLED);
  EXPECT_EQ(m_pText->m_vecCalls.back(), "write");
  EXPECT_FALSE(OutputExists(KIND_TEXT));
}

TEST_F(ConvertFileTest, FailuresGiveResultOneWithAReasonAndNoOutput) {
  struct Case {
    const char* name;
    CConvertJob job;
    const wchar_t* reason;
  };
  CConvertJob noPassword = Job("locked.pdf", KIND_TEXT, {1});
  CConvertJob wrongPassword = noPassword;
  wrongPassword.m_strUserPassword = "wrong";
  CConvertJob notThere = Job("absent.pdf", KIND_TEXT, {1});
  CConvertJob dormant = Job("sizes.pdf", KIND_EXCEL, {1});
  CConvertJob unknown = Job("sizes.pdf", 42, {1});
  const Case cases[] = {
      {"no password", noPassword, L"The file needs a password, or the password is wrong."},
      {"wrong password", wrongPassword, L"The file needs a password, or the password is wrong."},
      {"missing file", notThere, L"The file cannot be opened for reading."},
      {"dormant kind", dormant, L"Excel output is not available in this build."},
      {"unknown kind", unknown, L"Unknown output kind 42."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    m_sink.m_vecNotes.clear();
    EXPECT_EQ(ConvertFile(c.job, *m_pConverter), CONVERT_FAILED);
    EXPECT_EQ(m_pConverter->m_strMessage, c.reason);
    EXPECT_TRUE(m_sink.Progress().empty());
    EXPECT_FALSE(OutputExists(KIND_TEXT));
    EXPECT_EQ(m_pConverter->m_muInterface.m_pContext, nullptr);
  }
  CConvertJob right = noPassword;
  right.m_strOwnerPassword = "secret";
  EXPECT_EQ(ConvertFile(right, *m_pConverter), CONVERT_DONE);
}

TEST_F(ConvertFileTest, AWriterThatCannotWriteFailsTheJob) {
  m_pText->m_bFailWrite = true;
  EXPECT_EQ(ConvertFile(Job("sizes.pdf", KIND_TEXT, {1}), *m_pConverter), CONVERT_FAILED);
  EXPECT_EQ(m_pConverter->m_strMessage, L"disk full");
  EXPECT_FALSE(OutputExists(KIND_TEXT));
}

TEST_F(ConvertFileTest, AKindWithoutAWriterFailsClearly) {
  m_pConverter->SetPresentationWriter(nullptr);
  EXPECT_EQ(ConvertFile(Job("sizes.pdf", KIND_POWERPOINT, {1}), *m_pConverter), CONVERT_FAILED);
  EXPECT_EQ(m_pConverter->m_strMessage, L"PowerPoint output is not available in this build.");
}

}  // namespace
