#include <gtest/gtest.h>

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "capture/LinkCapture.h"
#include "capture/TextPage.h"
#include "driver/OutputKind.h"
#include "pdf/MuInterface.h"

namespace {

using namespace nsPDFData;
using fixtures::LinkAnnotation;
using fixtures::TextRun;
using testing_support::TempDir;

struct FoundWord {
  CTextWord* word = nullptr;
  CTextLine* line = nullptr;  // the text line holding it
  bool floating = false;      // the line is a floating line
};

FoundWord FindWord(CTextPage& page, const std::wstring& text) {
  for (CTextBase* block : page.m_lstTextLines)
    for (CTextBase* column : static_cast<CTextLine*>(block)->m_lstTextLines)
      for (CTextBase* line : static_cast<CTextLine*>(column)->m_lstTextLines)
        for (CTextBase* word : static_cast<CTextLine*>(line)->m_lstTextWords)
          if (static_cast<CTextWord*>(word)->m_strText == text)
            return {static_cast<CTextWord*>(word), static_cast<CTextLine*>(line), false};
  for (CFloatText* floating : page.m_vecFloatTexts)
    for (CTextBase* word : floating->m_pLine->m_lstTextWords)
      if (static_cast<CTextWord*>(word)->m_strText == text) return {static_cast<CTextWord*>(word), floating->m_pLine, true};
  return {};
}

// Engine frame: the transform of `page` from PDF space to display space.
bool PageTransform(fz_context* ctx, pdf_document* doc, int index, fz_matrix& ctm) {
  fz_try(ctx) {
    pdf_page* page = pdf_load_page(ctx, doc, index);
    pdf_page_transform(ctx, page, nullptr, &ctm);
    fz_drop_page(ctx, &page->super);
  }
  fz_catch(ctx) { return false; }
  return true;
}

// Engine frame: loads the engine page and attaches its links to `model`.
bool RunCaptureLinks(fz_context* ctx, pdf_document* doc, int index, CTextPage& model) {
  fz_page* page = nullptr;
  fz_var(page);
  fz_try(ctx) { page = fz_load_page(ctx, &doc->super, index); }
  fz_catch(ctx) { return false; }
  CaptureLinks(ctx, page, model);
  fz_drop_page(ctx, page);
  return true;
}

// Builds link annotations from the boxes the capture gives the words, so the tests do not
// depend on font metrics: each document is captured once without links to learn the
// boxes, then written again with the links and captured with them.
class LinkCaptureTest : public ::testing::Test {
 protected:
  // Page `n` of `docSpec` as the text layout leaves it (no graphics pass runs for text
  // output, so no link is attached yet).
  CTextPage* Load(const fixtures::DocSpec& docSpec, int n) {
    const auto path = m_dir / ("doc" + std::to_string(m_nFiles++) + ".pdf");
    EXPECT_TRUE(fixtures::WritePdf(path, docSpec));
    m_doc.CloseDocument();
    m_doc.m_nOutputKind = KIND_TEXT;
    EXPECT_EQ(m_doc.OpenDocument(platform::FromPath(path), "", ""), static_cast<int>(docSpec.m_vecPages.size()));
    return m_doc.LoadPage(n);
  }

  CTextPage* LoadWithLinks(const fixtures::DocSpec& docSpec, int n) {
    CTextPage* page = Load(docSpec, n);
    if (page) {
      EXPECT_TRUE(RunCaptureLinks(m_doc.m_pContext, m_doc.m_pDocument, n - 1, *page));
    }
    return page;
  }

  // A link annotation around the displayed box (x, y, w, h) of page `n` of the open document,
  // in the fixture's unrotated top-down coordinates.
  LinkAnnotation Around(int n, double pageHeight, float x, float y, float w, float h) {
    fz_matrix ctm = fz_identity;
    EXPECT_TRUE(PageTransform(m_doc.m_pContext, m_doc.m_pDocument, n - 1, ctm));
    const fz_rect pdf = fz_transform_rect(fz_make_rect(x, y, x + w, y + h), fz_invert_matrix(ctm));
    LinkAnnotation link;
    link.m_dX = pdf.x0;
    link.m_dY = pageHeight - pdf.y1;
    link.m_dWidth = pdf.x1 - pdf.x0;
    link.m_dHeight = pdf.y1 - pdf.y0;
    return link;
  }

  // A link one point wider than the word on every side.
  LinkAnnotation Over(CTextPage& page, const std::wstring& text, int n = 1, double pageHeight = 320) {
    const CTextWord* word = FindWord(page, text).word;
    EXPECT_NE(word, nullptr) << std::string(text.begin(), text.end());
    if (!word) return {};
    return Around(n, pageHeight, word->m_fX - 1, word->m_fY - 1, word->m_fWidth + 2, word->m_fHeight + 2);
  }

  TempDir m_dir;
  CMuInterface m_doc;
  int m_nFiles = 0;
};

TEST_F(LinkCaptureTest, AttachesWebMailAndPageLinksToTheWordsTheyCover) {
  fixtures::DocSpec docSpec;
  fixtures::PageSpec first;
  first.m_dWidth = 400;
  first.m_dHeight = 320;
  first.m_vecTexts = {{50, 40, "Visit"},  {100, 40, "example"}, {170, 40, "now"},   {50, 80, "Mail"},
                      {50, 120, "Next"},  {50, 160, "Half"},    {50, 200, "Over"},  {50, 240, "Named"},
                      {150, 240, "Launch"}, {250, 240, "Elsewhere"}};
  TextRun turned{330, 200, "Up"};
  turned.m_adMatrix[0] = 0;
  turned.m_adMatrix[1] = 1;
  turned.m_adMatrix[2] = -1;
  turned.m_adMatrix[3] = 0;
  first.m_vecTexts.push_back(turned);
  docSpec.m_vecPages = {first, fixtures::NumberedPages(1).m_vecPages[0], fixtures::NumberedPages(1).m_vecPages[0]};

  CTextPage* plain = Load(docSpec, 1);
  ASSERT_NE(plain, nullptr);
  ASSERT_TRUE(FindWord(*plain, L"Up").floating);
  auto& links = docSpec.m_vecPages[0].m_vecLinks;
  links.push_back(Over(*plain, L"example"));
  links.back().m_strUri = "www.example.com";
  links.push_back(Over(*plain, L"Mail"));
  links.back().m_strUri = "mailto:someone@example.com";
  links.push_back(Over(*plain, L"Next"));
  links.back().m_nPage = 3;
  const CTextWord& half = *FindWord(*plain, L"Half").word;  // covers the lower half only
  links.push_back(Around(1, 320, half.m_fX - 1, half.m_fY + half.m_fHeight / 2, half.m_fWidth + 2, half.m_fHeight / 2));
  links.back().m_strUri = "http://half.example";
  for (const char* uri : {"http://first.example", "http://last.example"}) {
    links.push_back(Over(*plain, L"Over"));
    links.back().m_strUri = uri;
  }
  links.push_back(Over(*plain, L"Named"));
  links.back().m_strAction = "<< /S /Named /N /NextPage >>";
  links.push_back(Over(*plain, L"Launch"));
  links.back().m_strAction = "<< /S /Launch /F (other.pdf) >>";
  links.push_back(Over(*plain, L"Elsewhere"));
  links.back().m_strAction = "<< /S /GoToR /F (other.pdf) /D [0 /Fit] >>";
  links.push_back(Over(*plain, L"Up"));
  links.back().m_strUri = "https://up.example";

  CTextPage* page = LoadWithLinks(docSpec, 1);
  ASSERT_NE(page, nullptr);
  const struct {
    const wchar_t* word;
    int32_t kind;
    const wchar_t* target;
  } cases[] = {
      {L"Visit", -1, L""},  // starts left of the link box
      {L"example", 1, L"www.example.com"},
      {L"now", -1, L""},    // ends right of it
      {L"Mail", 2, L"someone@example.com"},
      {L"Next", 3, L"3"},
      {L"Half", -1, L""},   // the link covers half the word's height
      {L"Over", 1, L"http://last.example"},
      {L"Named", -1, L""},
      {L"Launch", -1, L""},
      {L"Elsewhere", -1, L""},
      {L"Up", 1, L"https://up.example"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.word, c.word + wcslen(c.word)));
    const FoundWord found = FindWord(*page, c.word);
    ASSERT_NE(found.word, nullptr);
    EXPECT_EQ(found.word->m_nLinkType, c.kind);
    EXPECT_EQ(found.word->m_strLinkTarget, c.target);
    // Floating lines keep their flag; text lines show whether one of their words is linked.
    const bool lineLinked = !found.floating && (c.kind != -1 || found.line == FindWord(*page, L"example").line);
    EXPECT_EQ(found.line->m_bHasLink, lineLinked ? 1 : 0);
  }
}

// The engine gives link rectangles in PDF space; on a turned page they must be turned with
// the page before they are compared with the words.
TEST_F(LinkCaptureTest, LinksOnATurnedPageFollowTheTurn) {
  fixtures::DocSpec docSpec;
  fixtures::PageSpec page;
  page.m_dWidth = 300;
  page.m_dHeight = 400;
  page.m_nRotate = 90;
  page.m_vecTexts = {{50, 60, "Turned"}, {50, 300, "Other"}};
  docSpec.m_vecPages = {page};

  CTextPage* plain = Load(docSpec, 1);
  ASSERT_NE(plain, nullptr);
  docSpec.m_vecPages[0].m_vecLinks.push_back(Over(*plain, L"Turned", 1, 400));
  docSpec.m_vecPages[0].m_vecLinks.back().m_strUri = "http://turned.example";

  CTextPage* linked = LoadWithLinks(docSpec, 1);
  ASSERT_NE(linked, nullptr);
  EXPECT_EQ(FindWord(*linked, L"Turned").word->m_strLinkTarget, L"http://turned.example");
  EXPECT_EQ(FindWord(*linked, L"Other").word->m_nLinkType, -1);
}

CImageObj* AddPicture(CTextPage& page, float x, float y, float width, float height) {
  auto* picture = new CImageObj;
  picture->m_fX = x;
  picture->m_fY = y;
  picture->m_fWidth = width;
  picture->m_fHeight = height;
  page.m_lstImages.push_back(picture);
  return picture;
}

CLinkRecord Record(float x, float y, float width, float height, int32_t kind, const wchar_t* target) {
  CLinkRecord record;
  record.m_fX = x;
  record.m_fY = y;
  record.m_fWidth = width;
  record.m_fHeight = height;
  record.m_nKind = kind;
  record.m_strTarget = target;
  return record;
}

// A link that found no word goes to the pictures wholly inside it (a logo); a link that
// linked a word links no picture, even one inside it.
TEST(LinkCapture, LinksWithoutWordsGoToThePicturesInsideThem) {
  CTextPage page;
  auto* block = new CTextLine;
  auto* column = new CTextLine;
  auto* line = new CTextLine;
  auto* word = new CTextWord;
  word->m_strText = L"caption";
  word->m_fX = 10, word->m_fY = 10, word->m_fWidth = 40, word->m_fHeight = 10;
  line->m_fX = 10, line->m_fY = 10, line->m_fWidth = 40, line->m_fHeight = 10;
  line->m_lstTextWords.push_back(word);
  column->m_lstTextLines.push_back(line);
  block->m_lstTextLines.push_back(column);
  page.m_lstTextLines.push_back(block);
  CImageObj* besideCaption = AddPicture(page, 60, 10, 20, 10);
  CImageObj* logo = AddPicture(page, 100, 100, 50, 30);
  CImageObj* halfOut = AddPicture(page, 140, 100, 50, 30);

  std::vector<CLinkRecord> links = {
      Record(5, 5, 80, 20, 1, L"caption.example"),   // the caption and the picture beside it
      Record(95, 95, 60, 40, 3, L"2"),               // the logo, and half of the next picture
      Record(99, 99, 52, 32, 2, L"logo@example.com"),  // the logo again: the later link wins
  };
  AttachLinks(page, links);
  EXPECT_EQ(word->m_strLinkTarget, L"caption.example");
  EXPECT_TRUE(links[0].m_bUsed);
  EXPECT_EQ(besideCaption->m_nLinkType, -1);
  EXPECT_EQ(logo->m_nLinkType, 2);
  EXPECT_EQ(logo->m_strLinkTarget, L"logo@example.com");
  EXPECT_EQ(halfOut->m_nLinkType, -1);
}

TEST(LinkCapture, UriLinksAreWebOrMailByTheirText) {
  const struct {
    std::string uri;
    int32_t kind;
    std::wstring target;
  } cases[] = {
      {"mailto:someone@example.com", 2, L"someone@example.com"},
      {"see mailto:a@b.example?subject=mailto:x", 2, L"a@b.example?subject=mailto:x"},  // after the first
      {"https://example.com/a b", 1, L"https://example.com/a b"},
      {"http://example.com/caf\xC3\xA9", 1, L"http://example.com/caf\u00E9"},           // UTF-8 bytes
      {std::string("\xFE\xFF\0h\0t\0t\0p\0:\0/\0/\0x\x20\xAC", 20), 1, L"http://x\u20AC"},  // UTF-16BE text string
      {"x\xFFy", 1, L"x\uFFFDy"},
  };
  for (const auto& c : cases) {
    const CLinkRecord record = UriLinkRecord(c.uri);
    EXPECT_EQ(record.m_nKind, c.kind) << c.uri;
    EXPECT_EQ(record.m_strTarget, c.target) << c.uri;
    EXPECT_FALSE(record.m_bUsed);
  }
}

}  // namespace
