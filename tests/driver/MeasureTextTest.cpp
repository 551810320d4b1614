#include "driver/MeasureText.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/FontLookup.h"

namespace {

// DejaVu Sans ships with the setup script; the tests measure against it.
const std::wstring kFamily = L"DejaVu Sans";

TEST(MeasureText, MeasuresInAnInstalledFamilyAtTheTruncatedSize) {
  ASSERT_TRUE(platform::IsFamilyInstalled(kFamily));
  float width12 = -1, width129 = -1, width13 = -1, height = -1;
  ASSERT_TRUE(MeasureText(L" ", kFamily, 12.0f, false, false, width12, height));
  ASSERT_TRUE(MeasureText(L" ", kFamily, 12.9f, false, false, width129, height));
  ASSERT_TRUE(MeasureText(L" ", kFamily, 13.0f, false, false, width13, height));
  EXPECT_GT(width12, 0);
  EXPECT_EQ(width129, width12);  // 12.9 measures at 12 pixels
  EXPECT_EQ(height, 0);

  float one = 0, three = 0;
  ASSERT_TRUE(MeasureText(L"W", kFamily, 40, false, false, one, height));
  ASSERT_TRUE(MeasureText(L"WWW", kFamily, 40, false, false, three, height));
  EXPECT_EQ(three, 3 * one);  // the sum of per-character advances
}

TEST(MeasureText, FamilyNamesMatchExactlyIgnoringCase) {
  float width = 0, height = 0;
  EXPECT_TRUE(MeasureText(L"a", L"dejavu sans", 12, false, false, width, height));
  EXPECT_FALSE(MeasureText(L"a", L"DejaVu", 12, false, false, width, height));
  EXPECT_FALSE(MeasureText(L"a", L"No Such Family 42", 12, false, false, width, height));
  EXPECT_FALSE(MeasureText(L"a", L"", 12, false, false, width, height));
}

TEST(MeasureText, EmptyTextMeasuresZero) {
  float width = -1, height = -1;
  EXPECT_TRUE(MeasureText(L"", L"No Such Family 42", 12, false, false, width, height));
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
}

TEST(MeasureText, BoldIsNeverNarrowerAndTinySizesMeasureZero) {
  float regular = 0, bold = 0, tiny = -1, height = 0;
  ASSERT_TRUE(MeasureText(L"Wide words", kFamily, 20, false, false, regular, height));
  ASSERT_TRUE(MeasureText(L"Wide words", kFamily, 20, true, false, bold, height));
  EXPECT_GE(bold, regular);
  ASSERT_TRUE(MeasureText(L"abc", kFamily, 0.5f, false, false, tiny, height));
  EXPECT_EQ(tiny, 0);
}

TEST(MeasureText, ThreadsMeasuringAtOnceAgree) {
  float expected = 0, height = 0;
  ASSERT_TRUE(MeasureText(L"The quick brown fox", kFamily, 14, false, true, expected, height));
  std::vector<std::thread> threads;
  std::atomic<int> mismatches{0};
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 200; ++i) {
        float w = 0, h = 0;
        if (!MeasureText(L"The quick brown fox", kFamily, 14, false, true, w, h) || w != expected) ++mismatches;
      }
    });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(mismatches, 0);
}

TEST(MeasureText, HookRecordIsOnePerProcess) {
  CMeasureHook& hook = GetMeasureHook();
  EXPECT_EQ(&hook, &GetMeasureHook());
  hook.m_pfnMeasure = MeasureText;
  float width = 0, height = 0;
  EXPECT_TRUE(GetMeasureHook().m_pfnMeasure.load()(L"x", kFamily, 10, false, false, width, height));
}

}  // namespace
