#include "driver/Converter.h"

#include <gtest/gtest.h>

#include <future>

#include "FakeWriters.h"
#include "TestSupport.h"
#include "driver/OutputKind.h"

namespace {

using testing_support::TempDir;
using namespace std::chrono_literals;

class ConverterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixtures::WritePdf(m_dir / "three.pdf", fixtures::NumberedPages(3)));
    ASSERT_TRUE(fixtures::WritePdf(m_dir / "long.pdf", fixtures::NumberedPages(40)));
  }

  // A converter with a fake text writer, started on its worker thread.
  std::unique_ptr<CConverter> StartConverter() {
    auto converter = std::make_unique<CConverter>();
    converter->SetTextWriter(std::make_unique<fakes::CFakeTextWriter>());
    converter->Start(&m_sink, m_dir.Wide(""));
    return converter;
  }

  CConvertJob Job(int item, const std::string& input = "three.pdf", int pages = 3) {
    CConvertJob job;
    job.m_strInputPath = m_dir.Wide(input);
    job.m_strOutputPath = m_dir.Wide("out" + std::to_string(item) + ".txt");
    for (int p = 1; p <= pages; ++p) job.m_vecPages.push_back(p);
    job.m_nKind = KIND_TEXT;
    job.m_nItemIndex = item;
    return job;
  }

  TempDir m_dir;
  fakes::CRecordingSink m_sink;
};

TEST_F(ConverterTest, ConvertsAJobAndReportsItsResult) {
  auto converter = StartConverter();
  converter->AddJobs({Job(1)});
  ASSERT_TRUE(m_sink.WaitForResults(1));
  EXPECT_EQ(m_sink.Results(), (std::vector<std::pair<int, int>>{{1, CONVERT_DONE}}));
  EXPECT_EQ(m_sink.Progress().size(), 6u);
  EXPECT_TRUE(std::filesystem::exists(m_dir / "out1.txt"));
}

TEST_F(ConverterTest, AddingJobsReplacesTheQueuedOnes) {
  auto converter = StartConverter();
  std::promise<void> firstProgress, release;
  auto released = release.get_future().share();
  bool held = false;
  m_sink.m_onNotify = [&](const CConvertNotify& n) {
    if (n.m_nItemIndex == 1 && !held) {
      held = true;
      firstProgress.set_value();
      released.wait();  // the worker is busy with job 1 while jobs 2 and 3 are queued
    }
  };
  converter->AddJobs({Job(1)});
  firstProgress.get_future().wait();
  converter->AddJobs({Job(2)});
  converter->AddJobs({Job(3), Job(4)});
  release.set_value();
  ASSERT_TRUE(m_sink.WaitForResults(3));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(m_sink.Results(),
            (std::vector<std::pair<int, int>>{{1, CONVERT_DONE}, {3, CONVERT_DONE}, {4, CONVERT_DONE}}));
}

// The owner adds the next job from inside the result handler, as the main window does;
// each must be picked up at once, even while the worker is heading back to sleep.
TEST_F(ConverterTest, AJobAddedAsTheWorkerGoesToSleepIsPickedUp) {
  auto converter = StartConverter();
  constexpr int kJobs = 200;
  m_sink.m_onNotify = [&](const CConvertNotify& n) {
    if (n.m_nNotifyType == NOTIFY_DONE && n.m_nItemIndex < kJobs) {
      std::thread([&converter, this, next = n.m_nItemIndex + 1] {
        converter->AddJobs({Job(next, "three.pdf", 0)});
      }).detach();
    }
  };
  converter->AddJobs({Job(1, "three.pdf", 0)});
  ASSERT_TRUE(m_sink.WaitForResults(kJobs));
  EXPECT_EQ(m_sink.Results().back(), (std::pair<int, int>{kJobs, CONVERT_DONE}));
}

TEST_F(ConverterTest, CancelWithoutAJobDoesNotStopTheNextBatch) {
  auto converter = StartConverter();
  converter->CancelJobs();
  converter->AddJobs({});
  EXPECT_TRUE(converter->IsCancelRaised());
  converter->AddJobs({Job(1)});
  ASSERT_TRUE(m_sink.WaitForResults(1));
  EXPECT_EQ(m_sink.Results().front().second, CONVERT_DONE);
}

TEST_F(ConverterTest, CancelStopsTheRunningJobAndDiscardsTheQueue) {
  auto converter = StartConverter();
  m_sink.m_onNotify = [&](const CConvertNotify& n) {
    if (n.m_nNotifyType == NOTIFY_PROGRESS && n.m_fProgress > 0.2f) converter->CancelJobs();
  };
  converter->AddJobs({Job(1, "long.pdf", 40), Job(2)});
  ASSERT_TRUE(m_sink.WaitForResults(1));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(m_sink.Results(), (std::vector<std::pair<int, int>>{{1, CONVERT_CANCELLED}}));
  EXPECT_FALSE(std::filesystem::exists(m_dir / "out1.txt"));
}

TEST_F(ConverterTest, DestroyingTheConverterStopsAJobInTheMiddle) {
  auto converter = StartConverter();
  std::promise<void> started;
  std::atomic<bool> signalled{false};
  m_sink.m_onNotify = [&](const CConvertNotify&) {
    if (!signalled.exchange(true)) started.set_value();
  };
  converter->AddJobs({Job(1, "long.pdf", 40)});
  started.get_future().wait();
  auto destroyed = std::async(std::launch::async, [&] { converter.reset(); });
  ASSERT_EQ(destroyed.wait_for(60s), std::future_status::ready);
  EXPECT_LT(m_sink.Progress().size(), 80u);
  EXPECT_TRUE(m_sink.Results().empty());
  EXPECT_FALSE(std::filesystem::exists(m_dir / "out1.txt"));
}

TEST_F(ConverterTest, DestroyingAnIdleConverterReturns) {
  auto converter = StartConverter();
  auto destroyed = std::async(std::launch::async, [&] { converter.reset(); });
  EXPECT_EQ(destroyed.wait_for(60s), std::future_status::ready);
}

}  // namespace
