#include "zip/ZipWriter.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "ZipTestSupport.h"
#include "zip/ZipFolder.h"

namespace {

using namespace zip_testing;
using testing_support::TempDir;

TEST(ZipEntryName, MapsRelativePathsAndRefusesUnsafeOnes) {
  struct Case {
    std::wstring input;
    bool folder;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {L"a.xml", false, "a.xml"},
      {L"ppt\\slides\\slide1.xml", false, "ppt/slides/slide1.xml"},
      {L"ppt/media\\image1.jpeg", false, "ppt/media/image1.jpeg"},
      {L"sub", true, "sub/"},
      {L"sub\\", true, "sub/"},
      {L"a\\b/", true, "a/b/"},
      {L"[Content_Types].xml", false, "[Content_Types].xml"},
      {L".rels", false, ".rels"},
      {L"..rels", false, "..rels"},
      {L"caf\u00E9.xml", false, "caf\xC3\xA9.xml"},
      {L"", false, std::nullopt},
      {L"", true, std::nullopt},
      {L"/", true, std::nullopt},
      {L"\\abs.xml", false, std::nullopt},
      {L"/abs.xml", false, std::nullopt},
      {L"..", true, std::nullopt},
      {L"..\\evil.xml", false, std::nullopt},
      {L"a/../../evil.xml", false, std::nullopt},
      {L"a/./b.xml", false, std::nullopt},
      {L"a//b.xml", false, std::nullopt},
      {L"dir/", false, std::nullopt},  // a file entry must not read as a folder
      {std::wstring(L"a\0b", 3), false, std::nullopt},
      {std::wstring(1, static_cast<wchar_t>(0xD800)), false, std::nullopt},  // lone surrogate
      {std::wstring(65535, L'x'), false, std::string(65535, 'x')},
      {std::wstring(65536, L'x'), false, std::nullopt},  // the name length field is 16 bits
      {std::wstring(65535, L'x'), true, std::nullopt},   // the trailing '/' no longer fits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(platform::WideToUtf8Lossy(c.input.substr(0, 40)) + (c.folder ? " (folder)" : ""));
    EXPECT_EQ(MakeZipEntryName(c.input, c.folder), c.expected);
  }
}

TEST(ZipEntryName, StoresOnlyAlreadyCompressedExtensionsIgnoringCase) {
  const char* stored[] = {"a.Z", "a.z", "b.zip", "B.ZIP", "c.zoo", "d.arc", "e.LZH", "f.arj",
                          "g.gz", "h.tgz", "i.TGZ", "sub/x.tar.gz", ".zip"};
  const char* deflated[] = {"slide1.xml", "image1.jpeg", ".rels", "printerSettings1.bin", "zip",
                            "a.zip.xml", "sub.zip/file", "x.gzip", "x.7z", "a.zi", "noext"};
  for (const char* name : stored) EXPECT_TRUE(IsStoredZipName(name)) << name;
  for (const char* name : deflated) EXPECT_FALSE(IsStoredZipName(name)) << name;
}

TEST(ZipTimes, ClampsUnixTimesToTheSigned32BitYearsKeepingTheTimeOfDay) {
  struct Case {
    int64_t input;
    int32_t expected;
  };
  const Case cases[] = {
      {0, 0},
      {1614834368, 1614834368},           // 2021-03-04 05:06:08, unchanged
      {-301231504, 45296},                // 1960-06-15 12:34:56 -> 1970-01-01 12:34:56
      {-1, 86399},                        // 1969-12-31 23:59:59 -> 1970-01-01 23:59:59
      {2540275750, 2145859750},           // 2050-07-01 08:09:10 -> 2037-12-31 08:09:10
      {2145916799, 2145916799},           // the last second of 2037 stays
      {INT64_MAX, 2145916799},            // beyond any calendar: the latest moment
      {INT64_MIN, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ClampUnixTime(c.input), c.expected) << c.input;
}

TEST(ZipTimes, PacksDosTimeAndDateAndClampsTheUnrepresentableYears) {
  struct Case {
    int year, month, day, hour, minute, second;
    uint16_t time, date;
  };
  const Case cases[] = {
      {2021, 3, 4, 5, 6, 8, 0x28C4, 0x5264},
      {2021, 3, 4, 5, 6, 9, 0x28C4, 0x5264},  // two-second resolution truncates
      {1980, 1, 1, 0, 0, 0, 0x0000, 0x0021},
      {2107, 12, 31, 23, 59, 59, 0xBF7D, 0xFF9F},
      {1979, 12, 31, 23, 59, 59, 0x0000, 0x0021},  // before the DOS epoch: its first moment
      {1960, 6, 15, 12, 34, 56, 0x0000, 0x0021},
      {2108, 1, 1, 0, 0, 0, 0xBF7D, 0xFF9F},       // after it: its last moment
  };
  for (const Case& c : cases) {
    std::tm t{};
    t.tm_year = c.year - 1900;
    t.tm_mon = c.month - 1;
    t.tm_mday = c.day;
    t.tm_hour = c.hour;
    t.tm_min = c.minute;
    t.tm_sec = c.second;
    uint16_t time = 0, date = 0;
    ToDosDateTime(t, time, date);
    EXPECT_EQ(time, c.time) << c.year;
    EXPECT_EQ(date, c.date) << c.year;
  }
}

// A small tree that exercises every kind of entry.
void BuildSmallTree(const std::filesystem::path& root) {
  WriteText(root / "a.xml", "<a/>");
  WriteText(root / "sub" / "b.xml", std::string(300, 'b'));
  std::filesystem::create_directories(root / "sub" / "empty");
  WriteText(root / "c.gz", "already compressed");
}

// Bytes a complete packing of the tree spends (appended and patched) on a sink that never fails.
size_t BytesSpentPacking(const std::filesystem::path& root) {
  FailingSink::State state;
  CZipWriter writer;
  writer.Create(std::make_unique<FailingSink>(state, SIZE_MAX));
  EXPECT_EQ(AddFolderTree(writer, root), kZipOk);
  EXPECT_EQ(writer.Close(), kZipOk);
  EXPECT_TRUE(state.committed);
  EXPECT_NO_THROW(Parse(state.bytes));
  return state.written;
}

TEST(ZipWriter, AWriteFailingAtAnyByteIsReportedAndDiscardsTheArchive) {
  TempDir dir;
  BuildSmallTree(dir.Path());
  const size_t total = BytesSpentPacking(dir.Path());
  ASSERT_GT(total, 200u);
  for (size_t limit = 0; limit < total; ++limit) {
    SCOPED_TRACE(limit);
    FailingSink::State state;
    CZipWriter writer;
    ASSERT_EQ(writer.Create(std::make_unique<FailingSink>(state, limit)), kZipOk);
    const int walk = AddFolderTree(writer, dir.Path());
    const int close = writer.Close();
    EXPECT_TRUE(walk != kZipOk || close != kZipOk);
    if (walk != kZipOk) {
      EXPECT_EQ(walk, kZipErrorWrite);
      EXPECT_EQ(close, kZipErrorWrite);  // a writer that failed to write never closes cleanly
    }
    EXPECT_FALSE(state.committed);
    EXPECT_TRUE(state.discarded);
    EXPECT_EQ(writer.AddFolder(L"late"), close);
  }
}

TEST(ZipWriter, ACommitThatFailsIsReportedAndDiscards) {
  FailingSink::State state;
  CZipWriter writer;
  ASSERT_EQ(writer.Create(std::make_unique<FailingSink>(state, SIZE_MAX, true)), kZipOk);
  ASSERT_EQ(writer.AddFolder(L"x"), kZipOk);
  EXPECT_EQ(writer.Close(), kZipErrorWrite);
  EXPECT_TRUE(state.discarded);
  EXPECT_EQ(writer.Close(), kZipErrorWrite);  // asking again does not turn it into success
}

TEST(ZipWriter, RefusesCallsOutOfOrderAndKeepsGoingAfterAMissingSource) {
  TempDir dir;
  WriteText(dir / "ok.xml", "<ok/>");
  FailingSink::State state;
  CZipWriter writer;
  EXPECT_EQ(writer.AddFolder(L"early"), kZipErrorState);
  EXPECT_EQ(writer.Close(), kZipErrorState);
  ASSERT_EQ(writer.Create(std::make_unique<FailingSink>(state, SIZE_MAX)), kZipOk);
  EXPECT_EQ(writer.Create(std::make_unique<FailingSink>(state, SIZE_MAX)), kZipErrorState);
  EXPECT_EQ(writer.AddFile(L"missing.xml", dir.Wide("missing.xml")), kZipErrorSource);
  EXPECT_EQ(writer.AddFile(L"folder.xml", dir.Wide("")), kZipErrorSource);  // a folder is no file
  EXPECT_EQ(writer.AddFile(L"", dir.Wide("ok.xml")), kZipErrorName);
  EXPECT_EQ(writer.AddFile(L"ok.xml", dir.Wide("ok.xml")), kZipOk);
  ASSERT_EQ(writer.Close(), kZipOk);
  EXPECT_EQ(writer.Close(), kZipOk);
  EXPECT_EQ(writer.AddFolder(L"late"), kZipErrorState);

  const Archive archive = Parse(state.bytes);
  ASSERT_EQ(archive.entries.size(), 1u);
  EXPECT_EQ(archive.entries[0].central.name, "ok.xml");
  EXPECT_EQ(InflateRaw(archive.entries[0].data), "<ok/>");
}

// The entry count fields are 16 bits wide: one entry more would wrap them to zero.
TEST(ZipWriter, RefusesTheEntryThatWouldOverflowTheEntryCount) {
  FailingSink::State state;
  CZipWriter writer;
  ASSERT_EQ(writer.Create(std::make_unique<FailingSink>(state, SIZE_MAX)), kZipOk);
  for (int i = 0; i < 65535; ++i) ASSERT_EQ(writer.AddFolder(L"f" + std::to_wstring(i)), kZipOk) << i;
  EXPECT_EQ(writer.AddFolder(L"one-too-many"), kZipErrorLimit);
  ASSERT_EQ(writer.Close(), kZipOk);
  const size_t end = state.bytes.size() - 22;
  EXPECT_EQ(U16(state.bytes, end + 8), 65535);
  EXPECT_EQ(U16(state.bytes, end + 10), 65535);
  EXPECT_EQ(Parse(state.bytes).entries.back().central.name, "f65534/");
}

TEST(ZipWriter, NonAsciiNamesCarryTheUtf8FlagAsciiNamesDoNot) {
  TempDir dir;
  WriteText(dir / "f.xml", "x");
  FailingSink::State state;
  CZipWriter writer;
  ASSERT_EQ(writer.Create(std::make_unique<FailingSink>(state, SIZE_MAX)), kZipOk);
  ASSERT_EQ(writer.AddFile(L"caf\u00E9.xml", dir.Wide("f.xml")), kZipOk);
  ASSERT_EQ(writer.AddFolder(L"\u00E9t\u00E9"), kZipOk);
  ASSERT_EQ(writer.AddFile(L"plain.xml", dir.Wide("f.xml")), kZipOk);
  ASSERT_EQ(writer.Close(), kZipOk);
  const Archive archive = Parse(state.bytes);
  ASSERT_EQ(archive.entries.size(), 3u);
  EXPECT_EQ(archive.entries[0].local.flags, 0x0802);
  EXPECT_EQ(archive.entries[0].central.flags, 0x0802);
  EXPECT_EQ(archive.entries[1].central.flags, 0x0800);
  EXPECT_EQ(archive.entries[2].central.flags, 0x0002);
}

}  // namespace
