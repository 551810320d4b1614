#include "zip/ZipFolder.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <random>

#include "TestSupport.h"
#include "ZipTestSupport.h"
#include "zip/ZipWriter.h"

namespace {

using namespace zip_testing;
using testing_support::TempDir;

constexpr int64_t kModified = 1614834368;  // 2021-03-04 05:06:08 UTC
constexpr int64_t kAccessed = 1614902410;  // 2021-03-05 00:00:10 UTC
constexpr uint16_t kModifiedDosTime = 0x28C4;
constexpr uint16_t kModifiedDosDate = 0x5264;

std::string Le32(int64_t v) {
  const auto u = static_cast<uint32_t>(v);
  return {static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16), static_cast<char>(u >> 24)};
}

// The file tree of a package in miniature, each file with its content; empty folders separately.
const std::map<std::string, std::string> kTreeFiles = {
    {"[Content_Types].xml", "<Types/>"},
    {"_rels/.rels", "<Relationships/>"},
    {"ppt/slides/slide1.xml", std::string(2000, 's')},
    {"ppt/media/archive.ZIP", "PK stored as it is"},
    {"ppt/embed.tgz", "tgz stored as it is"},
    {"docProps/empty.xml", ""},
};
const char* const kTreeEmptyFolders[] = {"ppt/notes"};

void BuildTree(const std::filesystem::path& root) {
  for (const auto& [name, content] : kTreeFiles) {
    WriteText(root / name, content);
    SetTimes(root / name, kModified, kAccessed);
  }
  for (const char* folder : kTreeEmptyFolders) std::filesystem::create_directories(root / folder);
}

Archive PackTree(const TempDir& dir) {
  EXPECT_EQ(ZipFolder(dir.Wide("out.pptx"), dir.Wide("tree")), 0);
  return Parse(ReadBytes(dir / "out.pptx"));
}

TEST(ZipFolder, EmptyFolderGivesTheBare22ByteEndRecord) {
  TempDir dir;
  std::filesystem::create_directories(dir / "tree");
  ASSERT_EQ(ZipFolder(dir.Wide("out.pptx"), dir.Wide("tree")), 0);
  const Bytes expected = {0x50, 0x4B, 0x05, 0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(ReadBytes(dir / "out.pptx"), expected);
}

TEST(ZipFolder, EachFolderEntryPrecedesItsWholeSubtreeAndThePackedFolderHasNone) {
  TempDir dir;
  BuildTree(dir / "tree");
  const Archive archive = PackTree(dir);
  std::vector<std::string> names;
  for (const Entry& e : archive.entries) names.push_back(e.central.name);
  const std::vector<std::string> folders = {"_rels/", "ppt/", "ppt/slides/", "ppt/media/", "ppt/notes/", "docProps/"};
  ASSERT_EQ(names.size(), kTreeFiles.size() + folders.size());
  for (const auto& [name, content] : kTreeFiles) EXPECT_NE(std::find(names.begin(), names.end(), name), names.end());
  // Every name under a folder comes right after that folder's entry, before any name outside it.
  for (const std::string& folder : folders) {
    auto first = std::find(names.begin(), names.end(), folder);
    ASSERT_NE(first, names.end()) << folder;
    auto inside = [&](const std::string& n) { return n.compare(0, folder.size(), folder) == 0; };
    auto last = std::find_if_not(first, names.end(), inside);
    EXPECT_EQ(std::count_if(names.begin(), names.end(), inside), last - first) << folder;
  }
}

TEST(ZipFolder, FileEntriesCarryIdenticalLocalAndCentralFieldsAndTheirData) {
  TempDir dir;
  BuildTree(dir / "tree");
  const Archive archive = PackTree(dir);
  size_t files = 0;
  for (const Entry& e : archive.entries) {
    if (e.central.name.back() == '/') continue;
    ++files;
    SCOPED_TRACE(e.central.name);
    const std::string& content = kTreeFiles.at(e.central.name);
    const bool stored = e.central.name.ends_with(".ZIP") || e.central.name.ends_with(".tgz");
    for (const Header* h : {&e.local, &e.central}) {
      EXPECT_EQ(h->needed, 20);
      EXPECT_EQ(h->flags, stored ? 0x0000 : 0x0002);
      EXPECT_EQ(h->method, stored ? 0 : 8);
      EXPECT_EQ(h->dosTime, kModifiedDosTime);
      EXPECT_EQ(h->dosDate, kModifiedDosDate);
      EXPECT_EQ(h->crc, Crc(content));
      EXPECT_EQ(h->size, content.size());
      EXPECT_EQ(h->compressedSize, e.data.size());
      EXPECT_EQ(h->name, e.central.name);
    }
    EXPECT_EQ(e.central.madeBy, 0x0B17);
    EXPECT_EQ(e.central.commentLength, 0);
    EXPECT_EQ(e.central.diskStart, 0);
    EXPECT_EQ(e.central.internalAttributes, 0);
    EXPECT_EQ(e.central.externalAttributes, 0x81800020u);
    const std::string localExtra = std::string("\x55\x54\x0D\x00\x07", 5) + Le32(kModified) + Le32(kAccessed);
    EXPECT_EQ(e.local.extra.size(), 17u);
    EXPECT_EQ(e.local.extra.substr(0, 13), localExtra);
    EXPECT_EQ(e.central.extra, std::string("\x55\x54\x05\x00\x07", 5) + Le32(kModified));
    if (stored) {
      EXPECT_EQ(e.data, content);
    } else {
      EXPECT_EQ(InflateRaw(e.data), content);
    }
  }
  EXPECT_EQ(files, kTreeFiles.size());
}

TEST(ZipFolder, FolderEntriesAreStoredEmptyAndDatedNow) {
  TempDir dir;
  BuildTree(dir / "tree");
  const time_t before = ::time(nullptr);
  const Archive archive = PackTree(dir);
  const time_t after = ::time(nullptr);
  size_t folders = 0;
  for (const Entry& e : archive.entries) {
    if (e.central.name.back() != '/') continue;
    ++folders;
    SCOPED_TRACE(e.central.name);
    for (const Header* h : {&e.local, &e.central}) {
      EXPECT_EQ(h->flags, 0);
      EXPECT_EQ(h->method, 0);
      EXPECT_EQ(h->crc, 0u);
      EXPECT_EQ(h->size, 0u);
      EXPECT_EQ(h->compressedSize, 0u);
      EXPECT_EQ(h->dosTime, e.central.dosTime);
      EXPECT_EQ(h->dosDate, e.central.dosDate);
    }
    EXPECT_EQ(e.central.externalAttributes, 0x41C00010u);
    const int64_t added = static_cast<int32_t>(U32(Bytes(e.central.extra.begin(), e.central.extra.end()), 5));
    EXPECT_GE(added, before);
    EXPECT_LE(added, after);
    EXPECT_EQ(e.local.extra.substr(5), Le32(added) + Le32(added) + Le32(added));
    // The DOS fields are the same moment on the local clock.
    const time_t moment = static_cast<time_t>(added);
    std::tm local{};
    ::localtime_r(&moment, &local);
    uint16_t dosTime = 0, dosDate = 0;
    ToDosDateTime(local, dosTime, dosDate);
    EXPECT_EQ(e.central.dosTime, dosTime);
    EXPECT_EQ(e.central.dosDate, dosDate);
  }
  EXPECT_EQ(folders, 6u);
}

TEST(ZipFolder, DatesOutsideTheFormatsClampAsDocumented) {
  struct Case {
    const char* name;
    int64_t modified;
    int32_t unixTime;
    uint16_t dosTime, dosDate;
  };
  const Case cases[] = {
      {"old.xml", -301231504, 45296, 0x0000, 0x0021},          // 1960-06-15 12:34:56
      {"late.xml", 2540275750, 2145859750, 0x4125, 0x8CE1},    // 2050-07-01 08:09:10
  };
  TempDir dir;
  for (const Case& c : cases) {
    WriteText(dir / "tree" / c.name, c.name);
    SetTimes(dir / "tree" / c.name, c.modified, c.modified);
  }
  const Archive archive = PackTree(dir);
  ASSERT_EQ(archive.entries.size(), 2u);
  for (const Case& c : cases) {
    auto it = std::find_if(archive.entries.begin(), archive.entries.end(),
                           [&](const Entry& e) { return e.central.name == c.name; });
    ASSERT_NE(it, archive.entries.end()) << c.name;
    EXPECT_EQ(it->central.extra.substr(5), Le32(c.unixTime)) << c.name;
    EXPECT_EQ(it->local.extra.substr(5, 8), Le32(c.unixTime) + Le32(c.unixTime)) << c.name;
    EXPECT_EQ(it->central.dosTime, c.dosTime) << c.name;
    EXPECT_EQ(it->central.dosDate, c.dosDate) << c.name;
  }
}

TEST(ZipFolder, AReadOnlyFileLosesTheWriteBitAndGainsTheReadOnlyAttribute) {
  TempDir dir;
  WriteText(dir / "tree" / "ro.xml", "r");
  std::filesystem::permissions(dir / "tree" / "ro.xml", std::filesystem::perms::owner_read);
  const Archive archive = PackTree(dir);
  ASSERT_EQ(archive.entries.size(), 1u);
  EXPECT_EQ(archive.entries[0].central.externalAttributes, 0x81000021u);
}

// Compares two trees: the same files with the same bytes and the same (empty) folders.
void ExpectSameTree(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::map<std::string, std::string> left, right;
  for (auto [root, into] : {std::pair{a, &left}, std::pair{b, &right}}) {
    for (const auto& item : std::filesystem::recursive_directory_iterator(root)) {
      const std::string rel = std::filesystem::relative(item.path(), root).string();
      const Bytes bytes = item.is_directory() ? Bytes() : ReadBytes(item.path());
      (*into)[rel] = item.is_directory() ? "<folder>" : std::string(bytes.begin(), bytes.end());
    }
  }
  EXPECT_EQ(left.size(), right.size());
  for (const auto& [name, content] : left) {
    auto it = right.find(name);
    ASSERT_NE(it, right.end()) << name;
    EXPECT_TRUE(it->second == content) << name;
  }
}

TEST(ZipFolder, RoundTripsThroughUnzipAndPythonZipfile) {
  TempDir dir;
  BuildTree(dir / "tree");
  WriteText(dir / "tree" / "ppt" / "caf\xC3\xA9.xml", "non-ASCII name");
  ASSERT_EQ(ZipFolder(dir.Wide("out.pptx"), dir.Wide("tree")), 0);
  const std::string archive = (dir / "out.pptx").string();

  auto [testStatus, testOutput] = RunCommand("unzip -t '" + archive + "' 2>&1");
  EXPECT_EQ(testStatus, 0) << testOutput;
  EXPECT_NE(testOutput.find("No errors detected"), std::string::npos) << testOutput;
  auto [unzipStatus, unzipOutput] = RunCommand("unzip -qq '" + archive + "' -d '" + (dir / "unzip").string() + "' 2>&1");
  EXPECT_EQ(unzipStatus, 0) << unzipOutput;
  ExpectSameTree(dir / "tree", dir / "unzip");

  const std::string script =
      "import sys, zipfile\n"
      "z = zipfile.ZipFile(sys.argv[1])\n"
      "bad = z.testzip()\n"
      "assert bad is None, bad\n"
      "z.extractall(sys.argv[2])\n"
      "print(len(z.infolist()))\n";
  WriteText(dir / "check.py", script);
  auto [pyStatus, pyOutput] = RunCommand("/usr/bin/python3 '" + (dir / "check.py").string() + "' '" + archive + "' '" +
                                  (dir / "python").string() + "' 2>&1");
  EXPECT_EQ(pyStatus, 0) << pyOutput;
  EXPECT_EQ(pyOutput, std::to_string(kTreeFiles.size() + 1 + 6) + "\n");
  ExpectSameTree(dir / "tree", dir / "python");
}

TEST(ZipFolder, LargeFilesStreamThroughManyBlocks) {
  TempDir dir;
  std::mt19937 random(42);
  std::string text, noise(300000, '\0');
  const char* words[] = {"slide ", "text ", "run ", "shape ", "picture\n", "<a:t>", "</a:t>"};
  while (text.size() < 3000000) text += words[random() % 7];
  for (char& c : noise) c = static_cast<char>(random());
  WriteText(dir / "tree" / "big.xml", text);       // deflates into many output blocks
  WriteText(dir / "tree" / "noise.bin", noise);    // deflated output larger than a block per input block
  WriteText(dir / "tree" / "noise.zip", noise);    // stored, copied block by block
  const Archive archive = PackTree(dir);
  ASSERT_EQ(archive.entries.size(), 3u);
  for (const Entry& e : archive.entries) {
    SCOPED_TRACE(e.central.name);
    const std::string& content = e.central.name == "big.xml" ? text : noise;
    EXPECT_EQ(e.central.size, content.size());
    EXPECT_EQ(e.central.crc, Crc(content));
    const std::optional<std::string> data = e.central.method == 0 ? e.data : InflateRaw(e.data);
    EXPECT_TRUE(data == content);
  }
  auto [status, output] = RunCommand("unzip -t '" + (dir / "out.pptx").string() + "' 2>&1");
  EXPECT_EQ(status, 0) << output;
}

TEST(ZipFolder, ReplacesAnExistingArchive) {
  TempDir dir;
  WriteText(dir / "out.pptx", std::string(5000, 'o'));
  WriteText(dir / "tree" / "a.xml", "<a/>");
  const Archive archive = PackTree(dir);
  ASSERT_EQ(archive.entries.size(), 1u);
  EXPECT_EQ(archive.entries[0].central.localOffset, 0u);
}

TEST(ZipFolder, AnUnwritableDestinationFailsWithoutLeavingAFile) {
  TempDir dir;
  WriteText(dir / "tree" / "a.xml", "<a/>");
  WriteText(dir / "plainfile", "not a folder");
  std::filesystem::create_directories(dir / "taken.pptx" / "inner");
  // A path that cannot be deleted reports the system's error code, one that cannot be created ours.
  struct Case {
    std::string archive;
    int expected;
  };
  const Case cases[] = {
      {"missing-folder/out.pptx", kZipErrorCreate},
      {"plainfile/out.pptx", ENOTDIR},
      {"taken.pptx", EISDIR},  // an existing folder is not deleted as a file: it stays
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.archive);
    EXPECT_EQ(ZipFolder(dir.Wide(c.archive), dir.Wide("tree")), c.expected);
    EXPECT_FALSE(std::filesystem::is_regular_file(dir / c.archive));
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.pptx" / "inner"));
}

TEST(ZipFolder, ATreeThatCannotBePackedFailsWithoutLeavingAnArchive) {
  using Path = std::filesystem::path;
  struct Case {
    const char* what;
    void (*spoil)(const Path& tree);
    const char* archive;  // relative to the test folder
    int expected;
  };
  const Case cases[] = {
      {"missing folder", [](const Path& t) { std::filesystem::remove_all(t); }, "out.pptx", kZipErrorList},
      {"FIFO", [](const Path& t) { ::mkfifo((t / "sub" / "pipe").c_str(), 0600); }, "out.pptx", kZipErrorList},
      {"link to an ancestor folder", [](const Path& t) { std::filesystem::create_directory_symlink(t, t / "sub" / "loop"); },
       "out.pptx", kZipErrorList},
      {"dangling link", [](const Path& t) { std::filesystem::create_symlink(t / "nowhere", t / "sub" / "gone.xml"); },
       "out.pptx", kZipErrorSource},
      {"name that climbs out of the folder", [](const Path& t) { WriteText(t / "..\\evil.xml", "x"); }, "out.pptx",
       kZipErrorName},
      {"the archive inside the packed folder", [](const Path&) {}, "tree/sub/out.pptx", kZipErrorSource},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    WriteText(dir / "tree" / "a.xml", "<a/>");
    WriteText(dir / "tree" / "sub" / "b.xml", "<b/>");
    c.spoil(dir / "tree");
    EXPECT_EQ(ZipFolder(dir.Wide(c.archive), dir.Wide("tree")), c.expected);
    EXPECT_FALSE(std::filesystem::exists(dir / c.archive));
  }
}

// Limits the size of files this process may write, so that a real write to disk fails.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &m_saved);
    m_oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = m_saved;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &m_saved);
    ::signal(SIGXFSZ, m_oldHandler);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  struct rlimit m_saved {};
  sighandler_t m_oldHandler;
};

TEST(ZipFolder, AWriteThatFailsOnDiskIsReportedAndLeavesNoArchive) {
  TempDir dir;
  std::string noise(100000, '\0');
  std::mt19937 random(7);
  for (char& c : noise) c = static_cast<char>(random());
  WriteText(dir / "tree" / "a.xml", "<a/>");
  WriteText(dir / "tree" / "noise.zip", noise);
  int status = 0;
  {
    FileSizeLimit limit(50000);
    status = ZipFolder(dir.Wide("out.pptx"), dir.Wide("tree"));
  }
  EXPECT_EQ(status, kZipErrorWrite);
  EXPECT_FALSE(std::filesystem::exists(dir / "out.pptx"));
}

}  // namespace
