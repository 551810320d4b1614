#include "text/DocumentWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "TestSupport.h"
#include "capture/TextPage.h"

namespace {

using namespace nsPDFData;
using testing_support::TempDir;

const std::string kHeader1 = "**************************** Page 1****************************";
const std::string kHeader2 = "**************************** Page 2****************************";

CTextLine* Line(std::initializer_list<const wchar_t*> words) {
  auto* line = new CTextLine;
  line->m_bColumn = 0;
  for (const wchar_t* text : words) {
    auto* word = new CTextWord;
    word->m_strText = text;
    line->m_lstTextWords.push_back(word);
  }
  return line;
}

CTextLine* Column(std::initializer_list<CTextLine*> lines) {
  auto* column = new CTextLine;
  for (auto* line : lines) column->m_lstTextLines.push_back(line);
  return column;
}

CTextLine* Block(std::initializer_list<CTextLine*> columns) {
  auto* block = new CTextLine;
  block->m_bColumn = 0;
  for (auto* column : columns) block->m_lstTextLines.push_back(column);
  return block;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

TEST(DocumentWriter, WritesBomHeadersParagraphsAndFloatingLinesByteForByte) {
  TempDir dir;
  CTextPage first;
  first.m_lstTextLines.push_back(Block({Column({Line({L"Hello", L"world"}), Line({L"Bye"})})}));
  CTextPage second;  // no text at all
  CTextPage third;   // two columns side by side, then a floating line and non-BMP text
  third.m_lstTextLines.push_back(Block({Column({Line({L"Left"})}), Column({Line({L"Right", L"\U0001F600"})})}));
  auto* floating = new CFloatText;
  floating->m_pLine = Line({L"Rotated", L"text"});
  third.m_vecFloatTexts.push_back(floating);

  CDocumentWriter writer;
  ASSERT_TRUE(writer.BeginDocument(L"", 3, 5, 1, dir.Wide("out.txt")));
  EXPECT_FALSE(writer.HasText());
  writer.AddPage(first, 1);
  writer.AddPage(second, 2);
  writer.AddPage(third, 3);
  ASSERT_TRUE(writer.WriteTextFile(dir.Wide("out.txt")));

  const std::string expected =
      "\xEF\xBB\xBF" + kHeader1 + "\r\n\r\nHello world Bye\r\n\r\n\r\n\r\n" +
      "\r\n" + kHeader2 + "\r\n\r\n\r\n\r\n" +
      "\r\n**************************** Page 3****************************\r\n\r\n" +
      "Left\r\n\r\nRight \xF0\x9F\x98\x80\r\n\r\nRotated text\r\n\r\n\r\n\r\n";
  EXPECT_EQ(ReadFile(dir / "out.txt"), expected);
}

TEST(DocumentWriter, BeginDropsTextOfAnEarlierJob) {
  CDocumentWriter writer;
  CTextPage page;
  writer.BeginDocument(L"", 1, 5, 1, L"a.txt");
  writer.AddPage(page, 1);
  EXPECT_TRUE(writer.HasText());
  writer.BeginDocument(L"", 1, 5, 1, L"b.txt");
  EXPECT_FALSE(writer.HasText());
  EXPECT_EQ(writer.m_strOutputPath, L"b.txt");
}

TEST(DocumentWriter, FailsWithoutTouchingExistingFilesOrLeavingPartialOnes) {
  TempDir dir;
  CDocumentWriter writer;
  CTextPage page;
  writer.BeginDocument(L"", 1, 5, 1, dir.Wide("taken.txt"));
  writer.AddPage(page, 1);

  ASSERT_TRUE(fixtures::WriteBytes(dir / "taken.txt", "keep me"));
  EXPECT_FALSE(writer.WriteTextFile(dir.Wide("taken.txt")));
  EXPECT_EQ(ReadFile(dir / "taken.txt"), "keep me");
  EXPECT_NE(writer.GetLastError().find(L"Cannot create the output file"), std::wstring::npos);

  EXPECT_FALSE(writer.WriteTextFile(dir.Wide("missing-folder/out.txt")));
  EXPECT_FALSE(std::filesystem::exists(dir / "missing-folder"));

}

}  // namespace
