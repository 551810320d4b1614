// Writes the PDF seed corpus of the fuzz targets with the fixture builder: small documents
// that reach text capture, graphics, pictures, links, rotation, encryption and the broken
// file paths, so no binary PDF is committed.

#include <cstdio>
#include <filesystem>
#include <string>

#include "FixtureBuilder.h"
#include "GraphicsContent.h"

namespace {

fixtures::DocSpec TextDocument() {
  fixtures::DocSpec doc;
  for (int n = 0; n < 2; ++n) {
    fixtures::PageSpec page;
    page.m_vecTexts.push_back({72, 80, "Heading " + std::to_string(n + 1), "Helvetica-Bold", 24});
    page.m_vecTexts.push_back({72, 130, "Two columns of body text", "Times-Roman", 12});
    page.m_vecTexts.push_back({320, 130, "side by side, fi fl ligatures", "Times-Roman", 12});
    page.m_vecTexts.push_back({72, 150, "invisible", "Courier", 10});
    page.m_vecTexts.back().m_nRenderMode = 3;
    fixtures::TextRun skewed{200, 300, "Rotated", "Helvetica", 14};
    skewed.m_adMatrix[0] = 0;
    skewed.m_adMatrix[1] = 1;
    skewed.m_adMatrix[2] = -1;
    skewed.m_adMatrix[3] = 0;
    page.m_vecTexts.push_back(skewed);
    fixtures::TextRun kerned{72, 400, "", "Helvetica", 12};
    kerned.m_strShow = "[(Ker) -500 (ned)] TJ";
    page.m_vecTexts.push_back(kerned);
    doc.m_vecPages.push_back(std::move(page));
  }
  doc.m_vecPages[1].m_nRotate = 90;
  return doc;
}

fixtures::DocSpec GraphicsDocument() {
  fixtures::DocSpec doc;
  fixtures::PageSpec page;
  page.m_vecTexts.push_back({72, 60, "Shapes and pictures", "Helvetica", 18});
  page.m_vecExtras.push_back(fixtures::PathContent("1 0 0 RG 2 w [4 2] 0 d 50 50 m 200 200 l S\n"
                                                   "0 0 1 rg 300 300 100 50 re f\n"
                                                   "0 1 0 rg 100 500 m 150 600 200 500 250 550 c h B\n"));
  fixtures::ImageDraw image;
  image.m_dX = 320;
  image.m_dY = 500;
  page.m_vecExtras.push_back(fixtures::ImageContent(image));
  image.m_dX = 50;
  image.m_dY = 650;
  image.m_nPixelsWide = 32;
  image.m_nPixelsHigh = 24;
  page.m_vecExtras.push_back(fixtures::PhotographContent(image, 7));
  page.m_vecExtras.push_back(fixtures::ShadingContent(400, 100, 100, 80));
  page.m_vecExtras.push_back(fixtures::TiledPatternContent(400, 250, 120, 60));
  page.m_vecExtras.push_back(fixtures::TextContent(60, 420, "Over the shapes", 20));
  fixtures::LinkAnnotation web;
  web.m_dX = 72;
  web.m_dY = 40;
  web.m_dWidth = 200;
  web.m_dHeight = 24;
  web.m_strUri = "http://example.com/a b";
  page.m_vecLinks.push_back(web);
  fixtures::LinkAnnotation jump = web;
  jump.m_dY = 80;
  jump.m_strUri.clear();
  jump.m_nPage = 2;
  page.m_vecLinks.push_back(jump);
  doc.m_vecPages.push_back(std::move(page));
  doc.m_vecPages.push_back(fixtures::NumberedPages(1, 300, 200).m_vecPages[0]);
  return doc;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-fuzz-seeds FOLDER\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);

  fixtures::DocSpec openWithoutPassword = fixtures::NumberedPages(1);
  openWithoutPassword.m_encryption = fixtures::Encryption{"", "owner"};
  fixtures::DocSpec locked = fixtures::NumberedPages(1);
  locked.m_encryption = fixtures::Encryption{"secret", "owner"};
  const struct {
    const char* name;
    fixtures::DocSpec doc;
  } documents[] = {
      {"text.pdf", TextDocument()},
      {"graphics.pdf", GraphicsDocument()},
      {"numbered.pdf", fixtures::NumberedPages(4, 200, 100)},
      {"owner-password.pdf", openWithoutPassword},
      {"locked.pdf", locked},
  };
  for (const auto& d : documents) {
    std::string error;
    if (!fixtures::WritePdf(folder / d.name, d.doc, &error)) {
      std::fprintf(stderr, "make-fuzz-seeds: %s: %s\n", d.name, error.c_str());
      return 1;
    }
  }
  const struct {
    const char* name;
    std::string bytes;
  } broken[] = {
      {"not-a-pdf.pdf", fixtures::NotAPdfBytes()},
      {"damaged.pdf", fixtures::DamagedPdfBytes()},
      {"zero-pages.pdf", fixtures::ZeroPagePdfBytes()},
      {"missing-page.pdf", fixtures::MissingPagePdfBytes()},
  };
  for (const auto& b : broken) {
    if (!fixtures::WriteBytes(folder / b.name, b.bytes)) {
      std::fprintf(stderr, "make-fuzz-seeds: cannot write %s\n", b.name);
      return 1;
    }
  }
  return 0;
}
