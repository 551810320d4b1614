#include "settings/ConfigFile.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "TestSupport.h"
#include "platform/Strings.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

const std::string kDefaultFile = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n  <xmlroot></xmlroot>";

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The file parsed on its own, to check what the store wrote rather than what it reads back.
struct Parsed {
  pugi::xml_document doc;
  bool ok = false;
  explicit Parsed(const fs::path& path) {
    ok = static_cast<bool>(doc.load_file(path.c_str(), pugi::parse_default | pugi::parse_ws_pcdata_single));
  }
  pugi::xml_node Root() const { return doc.document_element(); }
  int Count(const char* name) const {
    int n = 0;
    for (pugi::xml_node child : Root().children(name)) n += child ? 1 : 0;
    return n;
  }
};

class ConfigFile : public testing::Test {
 protected:
  TempDir dir;
  fs::path file = dir / "config.xml";
  std::wstring path = dir.Wide("config.xml");
};

TEST_F(ConfigFile, MissingFileBecomesTheSixtyByteDefault) {
  CConfigFile config(path);
  EXPECT_TRUE(config.IsEnabled());
  EXPECT_EQ(kDefaultFile.size(), 60u);
  EXPECT_EQ(ReadBytes(file), kDefaultFile);
  EXPECT_EQ(config.GetValue(L"OutputDir"), L"");
}

TEST_F(ConfigFile, FilesThatDoNotLoadAreReplacedByTheDefault) {
  const std::string cases[] = {
      "",
      "plain text",
      "<xmlroot><OutputDir>/x</OutputDir>",            // unclosed root
      "<xmlroot></xmlroot><second/>",                   // two document elements
      "<?xml version=\"1.0\"?>",                        // no element at all
      std::string("\x00\xFF\xFE<", 4),
  };
  for (const std::string& bytes : cases) {
    SCOPED_TRACE(bytes);
    WriteBytes(file, bytes);
    CConfigFile config(path);
    EXPECT_TRUE(config.IsEnabled());
    EXPECT_EQ(ReadBytes(file), kDefaultFile);
    EXPECT_EQ(config.GetValue(L"OutputDir"), L"");
  }
}

TEST_F(ConfigFile, AWellFormedFileIsKeptAsItIs) {
  const std::string bytes = "<xmlroot>\n<OutputDir>/home/me/out</OutputDir>\n</xmlroot>\n";
  WriteBytes(file, bytes);
  CConfigFile config(path);
  EXPECT_EQ(ReadBytes(file), bytes);
  EXPECT_EQ(config.GetValue(L"OutputDir"), L"/home/me/out");
}

TEST_F(ConfigFile, WritesRightAfterCreatingTheDefaultAreKept) {
  CConfigFile config(path);
  config.SetValue(L"OutputDir", L"/out");
  EXPECT_EQ(config.GetValue(L"OutputDir"), L"/out");
  Parsed parsed(file);
  ASSERT_TRUE(parsed.ok);
  EXPECT_STREQ(parsed.Root().name(), "xmlroot");
  EXPECT_STREQ(parsed.Root().child_value("OutputDir"), "/out");
}

TEST_F(ConfigFile, ReadingAMissingKeyDoesNotCreateIt) {
  CConfigFile config(path);
  config.SetValue(L"OutputDir", L"/out");
  const std::string before = ReadBytes(file);
  EXPECT_EQ(config.GetValue(L"ShowEncryptedTip"), L"");
  EXPECT_EQ(ReadBytes(file), before);
}

TEST_F(ConfigFile, WritingTwiceLeavesOneElementWithTheLatestValue) {
  CConfigFile config(path);
  config.SetValue(L"ShowEncryptedTip", L"YES");
  config.SetValue(L"OutputDir", L"/a");
  config.SetValue(L"ShowEncryptedTip", L"NO");
  Parsed parsed(file);
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.Count("ShowEncryptedTip"), 1);
  EXPECT_STREQ(parsed.Root().child_value("ShowEncryptedTip"), "NO");
  EXPECT_EQ(config.GetValue(L"OutputDir"), L"/a");
}

TEST_F(ConfigFile, EveryReadAndWriteSeesTheFileAsItIsNow) {
  CConfigFile first(path);
  CConfigFile second(path);
  first.SetValue(L"OutputDir", L"/one");
  EXPECT_EQ(second.GetValue(L"OutputDir"), L"/one");
  // A write through one store keeps what the other wrote meanwhile.
  second.SetValue(L"ShowEncryptedTip", L"NO");
  first.SetValue(L"OutputDir", L"/two");
  EXPECT_EQ(second.GetValue(L"ShowEncryptedTip"), L"NO");
  EXPECT_EQ(second.GetValue(L"OutputDir"), L"/two");
  // An edit by hand shows at the next read.
  WriteBytes(file, "<xmlroot><OutputDir>/edited</OutputDir></xmlroot>");
  EXPECT_EQ(first.GetValue(L"OutputDir"), L"/edited");
  // A file broken after start-up reads empty; the next write replaces it.
  WriteBytes(file, "<xmlroot>");
  EXPECT_EQ(first.GetValue(L"OutputDir"), L"");
  first.SetValue(L"OutputDir", L"/three");
  EXPECT_EQ(second.GetValue(L"OutputDir"), L"/three");
}

TEST_F(ConfigFile, AnotherRootNameLoadsAndTakesTheKeys) {
  WriteBytes(file, "<settings><OutputDir>/x</OutputDir></settings>");
  CConfigFile config(path);
  EXPECT_EQ(config.GetValue(L"OutputDir"), L"/x");
  config.SetValue(L"ShowEncryptedTip", L"NO");
  Parsed parsed(file);
  ASSERT_TRUE(parsed.ok);
  EXPECT_STREQ(parsed.Root().name(), "settings");
  EXPECT_STREQ(parsed.Root().child_value("ShowEncryptedTip"), "NO");
  EXPECT_STREQ(parsed.Root().child_value("OutputDir"), "/x");
}

TEST_F(ConfigFile, KeysAreMatchedByLocalName) {
  WriteBytes(file, "<xmlroot xmlns:p=\"urn:x\"><p:OutputDir>/ns</p:OutputDir></xmlroot>");
  CConfigFile config(path);
  EXPECT_EQ(config.GetValue(L"OutputDir"), L"/ns");
  config.SetValue(L"OutputDir", L"/changed");
  Parsed parsed(file);
  EXPECT_STREQ(parsed.Root().child_value("p:OutputDir"), "/changed");
  EXPECT_EQ(parsed.Count("OutputDir"), 0);
}

// Keys that cannot be element names (an apostrophe or quote inside the lookup's string
// literal, a colon, ...) read empty and are never written: writing them would leave a file
// that no longer loads, and the next start would replace it, losing every setting.
TEST_F(ConfigFile, KeysThatCannotBeElementNamesAreNeverWritten) {
  CConfigFile config(path);
  config.SetValue(L"OutputDir", L"/keep");
  const std::string before = ReadBytes(file);
  const std::wstring keys[] = {L"it's", L"say \"it's\"", L"a'b\"c'", L"p:OutputDir", L"", L"1st",
                               L"a b", L"a<b", L"-x", std::wstring(1, L'\xD800')};
  for (const std::wstring& key : keys) {
    SCOPED_TRACE(platform::WideToUtf8Lossy(key));
    config.SetValue(key, L"value");
    EXPECT_EQ(config.GetValue(key), L"");
    EXPECT_EQ(ReadBytes(file), before);
  }
  EXPECT_EQ(config.GetValue(L"OutputDir"), L"/keep");
}

TEST_F(ConfigFile, UnusualButValidKeysRoundTrip) {
  CConfigFile config(path);
  const std::wstring keys[] = {L"_x", L"a-b.c9", L"Ordner\u00E9", L"\u8F93\u51FA", L"xmlroot"};
  for (const std::wstring& key : keys) config.SetValue(key, L"v-" + key);
  for (const std::wstring& key : keys) EXPECT_EQ(config.GetValue(key), L"v-" + key);
}

TEST_F(ConfigFile, ValuesAreStoredAsUtf8Text) {
  struct Case {
    std::wstring value;
    std::wstring readBack;
  };
  const Case cases[] = {
      {L"/home/\u00E9l\u00E8ve/\u6587\u6863/\U0001F600", L"/home/\u00E9l\u00E8ve/\u6587\u6863/\U0001F600"},
      {L"a & b < c > \"d\" 'e'", L"a & b < c > \"d\" 'e'"},
      {L"  spaces kept  ", L"  spaces kept  "},
      {L"   ", L"   "},
      {L"tab\tand\nline", L"tab\tand\nline"},
      {L"cr\r\nlf\r", L"cr\r\nlf\r"},
      {L"", L""},
      {L"]]>", L"]]>"},
      // Characters XML 1.0 cannot carry are dropped, so the file still loads.
      {std::wstring(L"a\x01" L"b\x1F" L"c") + L'\xFFFE' + L'\xD800' + L"d", L"abcd"},
  };
  CConfigFile config(path);
  config.SetValue(L"Other", L"kept");
  for (const Case& c : cases) {
    SCOPED_TRACE(platform::WideToUtf8Lossy(c.value));
    config.SetValue(L"OutputDir", c.value);
    EXPECT_EQ(config.GetValue(L"OutputDir"), c.readBack);
    EXPECT_EQ(config.GetValue(L"Other"), L"kept");
    Parsed parsed(file);
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.Root().child_value("OutputDir"), *platform::WideToUtf8(c.readBack));
  }
  config.SetValue(L"OutputDir", L"\u00E9");
  EXPECT_NE(ReadBytes(file).find("<OutputDir>\xC3\xA9</OutputDir>"), std::string::npos);
}

// Saves are UTF-8 whatever the file said before, so its declaration must say so too.
TEST_F(ConfigFile, FilesInOtherEncodingsAreRewrittenAsUtf8) {
  const std::string cases[] = {
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><xmlroot><Other>caf\xE9</Other></xmlroot>",
      std::string("\xFF\xFE<\0x\0/\0>\0", 10),  // UTF-16 with byte-order mark: <x/>
  };
  for (const std::string& bytes : cases) {
    WriteBytes(file, bytes);
    CConfigFile config(path);
    config.SetValue(L"OutputDir", L"/\u00E9t\u00E9");
    EXPECT_EQ(config.GetValue(L"OutputDir"), L"/\u00E9t\u00E9");
    if (bytes[0] == '<') {
      EXPECT_EQ(config.GetValue(L"Other"), L"caf\u00E9");
    }
  }
}

TEST_F(ConfigFile, ValueIsAllTextInsideTheElement) {
  WriteBytes(file,
             "<xmlroot><OutputDir>/a<!-- note -->/b<![CDATA[/<c>]]><sub>/d</sub></OutputDir></xmlroot>");
  CConfigFile config(path);
  EXPECT_EQ(config.GetValue(L"OutputDir"), L"/a/b/<c>/d");
  config.SetValue(L"OutputDir", L"/new");
  Parsed parsed(file);
  EXPECT_FALSE(parsed.Root().child("OutputDir").child("sub"));
  EXPECT_EQ(config.GetValue(L"OutputDir"), L"/new");
}

// A hostile file nests elements far deeper than any recursion could follow: reading,
// replacing the nested value and writing the rest back must stay flat on the stack and
// linear in size (indentation per level would write the nested key quadratically).
TEST_F(ConfigFile, DeeplyNestedFileIsReadAndWrittenWithoutRecursion) {
  const int depth = 200000;
  std::string nested;
  for (int i = 0; i < depth; ++i) nested += "<a>";
  nested += "deep";
  for (int i = 0; i < depth; ++i) nested += "</a>";
  const std::string bytes =
      "<xmlroot><Other>" + nested + "</Other><OutputDir>" + nested + "</OutputDir></xmlroot>";
  WriteBytes(file, bytes);
  CConfigFile config(path);
  EXPECT_EQ(config.GetValue(L"OutputDir"), L"deep");
  config.SetValue(L"OutputDir", L"flat");
  EXPECT_EQ(config.GetValue(L"OutputDir"), L"flat");
  EXPECT_EQ(config.GetValue(L"Other"), L"deep");
  EXPECT_LT(fs::file_size(file), bytes.size());
}

TEST_F(ConfigFile, DisabledWhenTheFolderIsARegularFile) {
  WriteBytes(dir / "notafolder", "x");
  const std::wstring inside = dir.Wide("notafolder") + L"/config.xml";
  CConfigFile config(inside);
  EXPECT_FALSE(config.IsEnabled());
  config.SetValue(L"OutputDir", L"/out");
  EXPECT_EQ(config.GetValue(L"OutputDir"), L"");
  EXPECT_EQ(ReadBytes(dir / "notafolder"), "x");
}

TEST_F(ConfigFile, DisabledWhenAFolderStandsAtThePath) {
  fs::create_directory(file);
  CConfigFile config(path);
  EXPECT_FALSE(config.IsEnabled());
  EXPECT_TRUE(fs::is_directory(file));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST_F(ConfigFile, DisabledInAReadOnlyFolder) {
  const fs::path folder = dir / "ro";
  fs::create_directory(folder);
  ::chmod(folder.c_str(), 0555);
  const bool stillWritable = ::access(folder.c_str(), W_OK) == 0;
  if (stillWritable) {
    ::chmod(folder.c_str(), 0755);
    GTEST_SKIP() << "permission bits do not stop this user from writing (running as root); "
                    "DisabledWhenTheFolderIsARegularFile covers the unwritable path";
  }
  CConfigFile config(platform::FromPath(folder / "config.xml"));
  EXPECT_FALSE(config.IsEnabled());
  EXPECT_EQ(config.GetValue(L"OutputDir"), L"");
  ::chmod(folder.c_str(), 0755);
}

// A write that fails part-way (here the file size limit stops it) leaves the old file whole
// and no temporary file behind: a write never deletes the file first.
TEST_F(ConfigFile, FailedWriteKeepsTheOldFile) {
  CConfigFile config(path);
  config.SetValue(L"OutputDir", L"/old");
  const std::string before = ReadBytes(file);

  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 16;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  config.SetValue(L"OutputDir", L"/new-and-long-enough-to-pass-the-limit");
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(ReadBytes(file), before);
  EXPECT_EQ(config.GetValue(L"OutputDir"), L"/old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST_F(ConfigFile, WritesKeepPermissionsAndFollowSymbolicLinks) {
  const fs::path real = dir / "real.xml";
  WriteBytes(real, "<xmlroot/>");
  ::chmod(real.c_str(), 0640);
  fs::create_symlink(real, file);
  CConfigFile config(path);
  config.SetValue(L"OutputDir", L"/linked");
  EXPECT_TRUE(fs::is_symlink(file));
  EXPECT_EQ(config.GetValue(L"OutputDir"), L"/linked");
  Parsed parsed(real);
  EXPECT_STREQ(parsed.Root().child_value("OutputDir"), "/linked");
  struct stat st {};
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

}  // namespace
