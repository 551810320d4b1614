// Text capture with fonts beyond the base 14: Type 3 fonts, glyph names that spell
// character codes, CID fonts with non-Latin text, and characters outside the BMP.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "TestSupport.h"
#include "capture/GlyphNameUnicode.h"
#include "capture/TextPage.h"
#include "driver/OutputKind.h"
#include "pdf/MuInterface.h"

namespace {

using namespace nsPDFData;
using testing_support::TempDir;

// Captures page 1 (400 x 300 points) of a document whose content comes from `extras`.
class TextCaptureFontsTest : public ::testing::Test {
 protected:
  CTextPage* Capture(std::vector<fixtures::ExtraContent> extras) {
    fixtures::DocSpec docSpec;
    fixtures::PageSpec page;
    page.m_dWidth = 400;
    page.m_dHeight = 300;
    page.m_vecExtras = std::move(extras);
    docSpec.m_vecPages.push_back(page);
    const auto path = m_dir / ("page" + std::to_string(m_nFiles++) + ".pdf");
    std::string error;
    EXPECT_TRUE(fixtures::WritePdf(path, docSpec, &error)) << error;
    m_doc.CloseDocument();
    m_doc.m_nOutputKind = KIND_CSV;  // a kind without layout analysis: the tree as captured
    EXPECT_EQ(m_doc.OpenDocument(platform::FromPath(path), "", ""), 1);
    return m_doc.LoadPage(1);
  }

  static std::vector<const CTextWord*> Words(const CTextPage& page) {
    std::vector<const CTextWord*> out;
    for (auto* block : page.m_lstTextLines)
      for (auto* column : static_cast<CTextLine*>(block)->m_lstTextLines)
        for (auto* line : static_cast<CTextLine*>(column)->m_lstTextLines)
          for (auto* word : static_cast<CTextLine*>(line)->m_lstTextWords)
            out.push_back(static_cast<const CTextWord*>(word));
    return out;
  }

  static std::vector<std::wstring> Texts(const CTextPage& page) {
    std::vector<std::wstring> out;
    for (const auto* word : Words(page)) out.push_back(word->m_strText);
    return out;
  }

  TempDir m_dir;
  CMuInterface m_doc;
  int m_nFiles = 0;
};

void AppendContent(fz_context* ctx, fz_buffer* content, const char* operators) {
  fz_append_string(ctx, content, operators);
}

// A Type 3 font whose glyphs /A and /B are rectangles smaller than its bounding box, so
// boxes that follow the FontBBox differ from boxes that follow the drawn shapes.
void AddType3Font(fz_context* ctx, pdf_document* doc, pdf_obj* resources, fz_buffer* content) {
  pdf_obj* font = fixtures::NewObjectFromText(
      ctx, doc,
      "<< /Type /Font /Subtype /Type3 /FontMatrix [0.001 0 0 0.001 0 0] /FontBBox [0 -200 600 800]"
      " /Encoding << /Type /Encoding /Differences [65 /A /B] >> /FirstChar 65 /LastChar 66"
      " /Widths [600 500] /Resources << >> >>");
  pdf_obj* procs = nullptr;
  pdf_obj* glyphA = nullptr;
  pdf_obj* glyphB = nullptr;
  fz_var(procs);
  fz_var(glyphA);
  fz_var(glyphB);
  fz_try(ctx) {
    glyphA = fixtures::AddStreamFromText(ctx, doc, "600 0 0 0 400 500 d1 0 0 400 500 re f", nullptr);
    glyphB = fixtures::AddStreamFromText(ctx, doc, "500 0 0 0 300 500 d1 0 0 300 500 re f", nullptr);
    procs = pdf_dict_put_dict(ctx, font, PDF_NAME(CharProcs), 2);
    pdf_dict_puts(ctx, procs, "A", glyphA);
    pdf_dict_puts(ctx, procs, "B", glyphB);
    pdf_obj* ref = pdf_add_object(ctx, doc, font);
    fixtures::PutFontResource(ctx, resources, "T3", ref);
    pdf_drop_obj(ctx, ref);
    AppendContent(ctx, content, "BT /T3 20 Tf 50 200 Td (ABBA) Tj ET\n");
  }
  fz_always(ctx) {
    pdf_drop_obj(ctx, glyphA);
    pdf_drop_obj(ctx, glyphB);
    pdf_drop_obj(ctx, font);
  }
  fz_catch(ctx) { fz_rethrow(ctx); }
}

TEST_F(TextCaptureFontsTest, Type3TextKeepsItsNamesAndTheFontBBoxSetsTheHeight) {
  CTextPage* page = Capture({AddType3Font});
  ASSERT_NE(page, nullptr);
  auto words = Words(*page);
  ASSERT_EQ(words.size(), 1u);
  const CTextWord& word = *words[0];
  EXPECT_EQ(word.m_strText, L"ABBA");
  // Baseline at 100 from the top, 20 points: the box runs from 0.8 em above to 0.2 em below.
  EXPECT_NEAR(word.m_fY, 100 - 16, 0.01);
  EXPECT_NEAR(word.m_fHeight, 20, 0.01);
  // Widths 600 and 500 in glyph space, not the drawn rectangles.
  EXPECT_NEAR(word.m_fX, 50, 0.01);
  EXPECT_NEAR(word.m_fWidth, 20 * (0.6 + 0.5 + 0.5 + 0.6), 0.01);
}

// Glyph-name values: one table for both kinds of document. -1 means no value.
struct GlyphNameCase {
  const char* name;
  int32_t hexValue;      // in a document whose glyph names are hexadecimal
  int32_t decimalValue;  // in any other document
};

TEST(GlyphNameUnicode, NamesSpellCodesByTheDocumentsNumbering) {
  const GlyphNameCase cases[] = {
      // A letter and two digits: hexadecimal, or decimal from the second character.
      {"G41", 0x41, 41},
      {"g4a", 0x4A, -1},
      {"a65", 0x65, 65},
      {"G99", 0x99, 99},
      // Two hexadecimal digits; decimal documents take two to four characters led by two digits.
      {"4A", 0x4A, -1},
      {"ff", 0xFF, -1},
      {"65", 0x65, 65},
      {"6500", 500, 6500},  // hexadecimal documents read it by the fallback from the 2nd character
      {"65x", -1, 65},
      {"7", -1, -1},
      // Fallbacks: digits at the 2nd and 3rd of 3 to 5 characters, at the 3rd and 4th of 4 to 6.
      {"c120", 120, 120},
      {"x1234", 1234, 1234},
      {"ab12", 12, 12},
      {"ab123", 123, 123},
      {"cid123", -1, -1},
      {"G4Z", -1, -1},
      {"glyph65", -1, -1},
      // "uni" and four hexadecimal digits, longer than six characters; above U+FFFF refused.
      {"uni0041", 0x41, 0x41},
      {"uni20AC", 0x20AC, 0x20AC},
      {"uni004", -1, -1},
      {"uni1F600", -1, -1},
      {"uniXYZW", -1, -1},
      // Names that spell nothing.
      {".notdef", -1, -1},
      {"", -1, -1},
      {"space", -1, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(capture::UnicodeFromGlyphName(c.name, true), c.hexValue) << c.name << " (hexadecimal)";
    EXPECT_EQ(capture::UnicodeFromGlyphName(c.name, false), c.decimalValue) << c.name << " (decimal)";
  }
  EXPECT_EQ(capture::UnicodeFromGlyphName(nullptr, true), -1);
}

TEST(GlyphNameUnicode, HexadecimalNamesNeedAHexLetter) {
  struct Case {
    std::vector<std::string> names;
    bool hex;
  };
  const Case cases[] = {
      {{"G41", "G42", "G43"}, false},  // all digits: could be decimal
      {{"G41", "G4A"}, true},
      {{"gfF"}, true},
      {{"1f"}, true},
      {{"12"}, false},
      {{"4AB"}, false},  // starts with a digit
      {{"ZZF"}, false},  // second character not hexadecimal
      {{"G4A1", "x1F0"}, false},  // four characters
      {{".notdef", "space", "a"}, false},
      {{}, false},
  };
  for (const auto& c : cases) {
    std::string joined;
    for (const auto& n : c.names) joined += n + " ";
    EXPECT_EQ(capture::HasHexGlyphNames(c.names), c.hex) << joined;
  }
  EXPECT_FALSE(capture::IsGlyphNameCandidate(nullptr));
  EXPECT_FALSE(capture::IsGlyphNameCandidate(""));
  EXPECT_FALSE(capture::IsGlyphNameCandidate(".notdef"));
  EXPECT_TRUE(capture::IsGlyphNameCandidate("G41"));
  EXPECT_TRUE(capture::IsGlyphNameCandidate(".notdef.alt"));
}

// Writes a TrueType font whose glyphs are named by hexadecimal codes ("G41" for A) with
// Debian's fontTools; 2048 units per em, ascent 1638, descent -410. False on failure.
bool WriteGlyphCodeFont(const std::filesystem::path& dir, const std::filesystem::path& font) {
  const auto script = dir / "glyph-code-font.py";
  std::ofstream(script) << R"(import sys
from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
names = [".notdef", "G41", "G42", "G4A"]
def square():
    pen = TTGlyphPen(None)
    pen.moveTo((100, 0)); pen.lineTo((100, 1400)); pen.lineTo((1100, 1400)); pen.lineTo((1100, 0))
    pen.closePath()
    return pen.glyph()
fb = FontBuilder(2048, isTTF=True)
fb.setupGlyphOrder(names)
fb.setupCharacterMap({0x41: "G41", 0x42: "G42", 0x4A: "G4A"})
fb.setupGlyf({n: square() for n in names})
fb.setupHorizontalMetrics({n: (1229, 100) for n in names})
fb.setupHorizontalHeader(ascent=1638, descent=-410)
fb.setupNameTable({"familyName": "GlyphCodes", "styleName": "Regular"})
fb.setupOS2(sTypoAscender=1638, sTypoDescender=-410, usWinAscent=1638, usWinDescent=410)
fb.setupPost()
fb.save(sys.argv[1])
)";
  const std::string command = "/usr/bin/python3 '" + script.string() + "' '" + font.string() + "'";
  return std::system(command.c_str()) == 0;
}

// An embedded symbolic TrueType font without /Encoding: the engine takes the glyph names
// from the font itself and knows no Unicode value for them.
void AddGlyphCodeFont(fz_context* ctx, pdf_document* doc, pdf_obj* resources, fz_buffer* content,
                      const char* fontPath) {
  fz_buffer* data = fz_read_file(ctx, fontPath);
  pdf_obj* file = nullptr;
  pdf_obj* descriptor = nullptr;
  pdf_obj* font = nullptr;
  fz_var(file);
  fz_var(descriptor);
  fz_var(font);
  fz_try(ctx) {
    pdf_obj* fileDict = pdf_new_dict(ctx, doc, 1);
    pdf_dict_put_int(ctx, fileDict, PDF_NAME(Length1), static_cast<int64_t>(fz_buffer_storage(ctx, data, nullptr)));
    file = pdf_add_stream(ctx, doc, data, fileDict, 0);
    pdf_drop_obj(ctx, fileDict);
    descriptor = fixtures::NewObjectFromText(
        ctx, doc,
        "<< /Type /FontDescriptor /FontName /GlyphCodes /Flags 4 /FontBBox [0 -200 600 800]"
        " /ItalicAngle 0 /Ascent 800 /Descent -200 /CapHeight 700 /StemV 80 >>");
    pdf_dict_put(ctx, descriptor, PDF_NAME(FontFile2), file);
    font = fixtures::NewObjectFromText(
        ctx, doc,
        "<< /Type /Font /Subtype /TrueType /BaseFont /GlyphCodes /FirstChar 65 /LastChar 74"
        " /Widths [600 600 600 600 600 600 600 600 600 600] >>");
    pdf_dict_put_drop(ctx, font, PDF_NAME(FontDescriptor), pdf_add_object(ctx, doc, descriptor));
    pdf_obj* ref = pdf_add_object(ctx, doc, font);
    fixtures::PutFontResource(ctx, resources, "GC", ref);
    pdf_drop_obj(ctx, ref);
    AppendContent(ctx, content, "BT /GC 20 Tf 50 200 Td (ABJ) Tj ET\n");
  }
  fz_always(ctx) {
    pdf_drop_obj(ctx, font);
    pdf_drop_obj(ctx, descriptor);
    pdf_drop_obj(ctx, file);
    fz_drop_buffer(ctx, data);
  }
  fz_catch(ctx) { fz_rethrow(ctx); }
}

TEST_F(TextCaptureFontsTest, GlyphNamesGiveTheValuesTheEngineLacks) {
  const auto fontPath = m_dir / "glyph-codes.ttf";
  if (std::system("/usr/bin/python3 -c 'import fontTools' >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "python3-fonttools is not installed (scripts/setup.sh installs it)";
  ASSERT_TRUE(WriteGlyphCodeFont(m_dir.Path(), fontPath));
  const std::string path = fontPath.string();
  CTextPage* page = Capture({[path](fz_context* ctx, pdf_document* doc, pdf_obj* resources, fz_buffer* content) {
    AddGlyphCodeFont(ctx, doc, resources, content, path.c_str());
  }});
  ASSERT_NE(page, nullptr);
  auto words = Words(*page);
  ASSERT_EQ(words.size(), 1u);
  // "G4A" makes the document hexadecimal: G41 is A, not U+0029 (41 decimal).
  EXPECT_EQ(words[0]->m_strText, L"ABJ");
  // A font whose values come from glyph names measures ascent and descent per 1000 units.
  EXPECT_NEAR(words[0]->m_fHeight, 20 * (1638 + 410) / 1000.0, 0.05);
  EXPECT_NEAR(words[0]->m_fY + words[0]->m_fHeight, 100 + 20 * 0.410, 0.05);
}

// Chinese in a non-embedded UTF-16 CJK font and Cyrillic in an embedded Identity-H font
// whose /ToUnicode the engine writes from the font's character map.
void AddCidFonts(fz_context* ctx, pdf_document* doc, pdf_obj* resources, fz_buffer* content) {
  fz_font* cjk = nullptr;
  fz_font* dejavu = nullptr;
  pdf_obj* cjkFont = nullptr;
  pdf_obj* cidFont = nullptr;
  fz_var(cjk);
  fz_var(dejavu);
  fz_var(cjkFont);
  fz_var(cidFont);
  fz_try(ctx) {
    cjk = fz_new_cjk_font(ctx, FZ_ADOBE_GB);
    cjkFont = pdf_add_cjk_font(ctx, doc, cjk, FZ_ADOBE_GB, 0, 0);
    fixtures::PutFontResource(ctx, resources, "CJK", cjkFont);
    AppendContent(ctx, content, "BT /CJK 20 Tf 50 200 Td <4E2D65874E66> Tj ET\n");  // U+4E2D U+6587 U+4E66

    dejavu = fz_new_font_from_file(ctx, nullptr, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 0, 0);
    cidFont = pdf_add_cid_font(ctx, doc, dejavu);
    fixtures::PutFontResource(ctx, resources, "CID", cidFont);
    AppendContent(ctx, content, "BT /CID 20 Tf 50 150 Td <");
    const int cyrillic[] = {0x041F, 0x0440, 0x0438, 0x0432, 0x0435, 0x0442};  // "Привет"
    for (int unicode : cyrillic) fz_append_printf(ctx, content, "%04x", fz_encode_character(ctx, dejavu, unicode));
    AppendContent(ctx, content, "> Tj ET\n");
  }
  fz_always(ctx) {
    pdf_drop_obj(ctx, cjkFont);
    pdf_drop_obj(ctx, cidFont);
    fz_drop_font(ctx, cjk);
    fz_drop_font(ctx, dejavu);
  }
  fz_catch(ctx) { fz_rethrow(ctx); }
}

TEST_F(TextCaptureFontsTest, CidFontsGiveTheirUnicodeCharacters) {
  CTextPage* page = Capture({AddCidFonts});
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(Texts(*page), (std::vector<std::wstring>{L"\u4E2D\u6587\u4E66", L"\u041F\u0440\u0438\u0432\u0435\u0442"}));
  for (const auto* word : Words(*page)) {
    EXPECT_DOUBLE_EQ(word->m_dFontSize, 20);
    EXPECT_GT(word->m_fWidth, 20);  // three or more glyphs with real advances
  }
}

// Helvetica with a /ToUnicode CMap that maps code 0x41 to U+1F600 as a surrogate pair.
void AddAstralToUnicode(fz_context* ctx, pdf_document* doc, pdf_obj* resources, fz_buffer* content) {
  pdf_obj* font = fixtures::NewObjectFromText(
      ctx, doc, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
  pdf_obj* cmap = nullptr;
  fz_var(cmap);
  fz_try(ctx) {
    cmap = fixtures::AddStreamFromText(ctx, doc,
                                       "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                                       "/CMapName /Astral def\n/CMapType 2 def\n"
                                       "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n"
                                       "1 beginbfchar\n<41> <D83DDE00>\nendbfchar\n"
                                       "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n",
                                       nullptr);
    pdf_dict_put(ctx, font, PDF_NAME(ToUnicode), cmap);
    pdf_obj* ref = pdf_add_object(ctx, doc, font);
    fixtures::PutFontResource(ctx, resources, "E", ref);
    pdf_drop_obj(ctx, ref);
    AppendContent(ctx, content, "BT /E 20 Tf 50 200 Td (BAB) Tj ET\n");
  }
  fz_always(ctx) {
    pdf_drop_obj(ctx, cmap);
    pdf_drop_obj(ctx, font);
  }
  fz_catch(ctx) { fz_rethrow(ctx); }
}

TEST_F(TextCaptureFontsTest, ACharacterBeyondTheBmpStaysOneCharacter) {
  CTextPage* page = Capture({AddAstralToUnicode});
  ASSERT_NE(page, nullptr);
  auto words = Words(*page);
  ASSERT_EQ(words.size(), 1u);
  const std::wstring expected{L'B', static_cast<wchar_t>(0x1F600), L'B'};
  EXPECT_EQ(words[0]->m_strText, expected);
  EXPECT_EQ(words[0]->m_strText.size(), 3u);
}

}  // namespace
