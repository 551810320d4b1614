// Hostile and broken PDFs through the real converter into both output kinds. Every file
// must end in a clean result: a sound output file, or a failed job with a reason.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>

#include "GraphicsContent.h"
#include "pptx/PackageCheck.h"
#include "TestSupport.h"
#include "driver/ConvertFile.h"
#include "driver/Converter.h"
#include "driver/OutputKind.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

// A PDF from numbered objects (1 is the catalog) with a correct cross-reference table.
std::string HandWritten(const std::vector<std::string>& objects) {
  std::string body = "%PDF-1.7\n";
  std::vector<size_t> offsets;
  for (size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(body.size());
    body += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const size_t xref = body.size();
  body += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (size_t offset : offsets) {
    char line[32];
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
    body += line;
  }
  return body + "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
}

// `copies` repetitions of `unit`, Flate-compressed.
std::string Deflated(const std::string& unit, size_t copies) {
  z_stream z{};
  deflateInit(&z, 9);
  std::string chunk;
  while (chunk.size() < (1u << 20)) chunk += unit;
  const size_t perChunk = chunk.size() / unit.size();
  std::string out;
  std::vector<unsigned char> buffer(1 << 16);
  for (size_t done = 0; done < copies;) {
    const size_t n = std::min(perChunk, copies - done);
    done += n;
    z.next_in = reinterpret_cast<Bytef*>(chunk.data());
    z.avail_in = static_cast<uInt>(n * unit.size());
    const int flush = done == copies ? Z_FINISH : Z_NO_FLUSH;
    do {
      z.next_out = buffer.data();
      z.avail_out = static_cast<uInt>(buffer.size());
      deflate(&z, flush);
      out.append(reinterpret_cast<char*>(buffer.data()), buffer.size() - z.avail_out);
    } while (z.avail_out == 0);
  }
  deflateEnd(&z);
  return out;
}

std::string PageWithContent(const std::string& resources, const std::string& contentDict, const std::string& content) {
  return HandWritten({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 300] /Resources " + resources +
                          " /Contents 4 0 R >>",
                      "<< /Length " + std::to_string(content.size()) + contentDict + " >>\nstream\n" + content +
                          "\nendstream"});
}

// Text, then forms nested 400 deep: the engine gives up part way through the page's contents.
std::string FormsNestedDeep() {
  std::string doc = PageWithContent(
      "<< /Font << /H << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> /XObject << /F 5 0 R >> >>", "",
      "BT /H 12 Tf 20 20 Td (Drawn before the error) Tj ET /F Do");
  for (int i = 5; i < 405; ++i) {
    const std::string content = "0 0 m 9 9 l S /F Do";
    doc += std::to_string(i) + " 0 obj\n<< /Type /XObject /Subtype /Form /BBox [0 0 300 300] "
           "/Resources << /XObject << /F " + std::to_string(i + 1) + " 0 R >> >> /Length " +
           std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream\nendobj\n";
  }
  return doc;
}

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

fixtures::DocSpec OnePage(fixtures::PageSpec page) {
  fixtures::DocSpec doc;
  doc.m_vecPages = {std::move(page)};
  return doc;
}

fixtures::PageSpec Sized(double width, double height) {
  fixtures::PageSpec page;
  page.m_dWidth = width;
  page.m_dHeight = height;
  page.m_vecTexts = {{0, 0, "Corner"}};
  return page;
}

// Makes the input file in `dir` and returns its path.
using MakeInput = std::function<fs::path(const TempDir& dir)>;

MakeInput FromDocument(std::function<fixtures::DocSpec()> makeDoc) {
  return [makeDoc](const TempDir& dir) {
    EXPECT_TRUE(fixtures::WritePdf(dir / "in.pdf", makeDoc()));
    return dir / "in.pdf";
  };
}
MakeInput FromBytes(std::function<std::string()> bytes) {
  return [bytes](const TempDir& dir) {
    EXPECT_TRUE(fixtures::WriteBytes(dir / "in.pdf", bytes()));
    return dir / "in.pdf";
  };
}
// A sound three-page file changed by `edit`.
MakeInput Edited(std::function<void(std::string&)> edit) {
  return [edit](const TempDir& dir) {
    EXPECT_TRUE(fixtures::WritePdf(dir / "sound.pdf", fixtures::NumberedPages(3)));
    std::string bytes = FileBytes(dir / "sound.pdf");
    edit(bytes);
    EXPECT_TRUE(fixtures::WriteBytes(dir / "in.pdf", bytes));
    return dir / "in.pdf";
  };
}

enum Outcome { DONE, DONE_WITH_BLANK_PAGE, FAILED };

struct Case {
  const char* m_szName;
  MakeInput m_make;
  Outcome m_outcome;  // for both output kinds
  int m_nPages = 1;   // pages to convert
};

std::vector<Case> Cases() {
  std::vector<Case> cases;
  cases.push_back({"truncated in half", Edited([](std::string& b) { b.resize(b.size() / 2); }), FAILED, 2});
  cases.push_back({"truncated to the header", Edited([](std::string& b) { b.resize(20); }), FAILED});
  cases.push_back({"cross-reference offsets wrong", Edited([](std::string& b) {
                     size_t at = b.rfind("startxref");
                     b.replace(at, std::string::npos, "startxref\n999999\n%%EOF\n");
                   }), DONE, 3});
  cases.push_back({"cross-reference table garbled", Edited([](std::string& b) {
                     size_t at = b.find("\nxref");
                     if (at != std::string::npos)
                       for (size_t i = at + 10; i < b.size() && i < at + 200; ++i)
                         if (b[i] >= '0' && b[i] <= '9') b[i] = '7';
                   }), DONE, 3});
  cases.push_back({"cross-reference chain that loops back to itself", FromBytes([] {
                     std::string b = HandWritten({"<< /Type /Catalog /Pages 2 0 R >>",
                                                  "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                                                  "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>"});
                     const size_t at = b.rfind("startxref\n") + 10;
                     const std::string xref = b.substr(at, b.find('\n', at) - at);
                     b.replace(b.rfind("/Root 1 0 R >>"), 14, "/Root 1 0 R /Prev " + xref + " >>");
                     return b;
                   }), DONE});
  cases.push_back({"page tree loop", FromBytes([] {
                     return HandWritten({"<< /Type /Catalog /Pages 2 0 R >>",
                                         "<< /Type /Pages /Kids [2 0 R 3 0 R] /Count 2 >>",
                                         "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>"});
                   }), DONE_WITH_BLANK_PAGE});
  cases.push_back({"object stream that contains itself", FromBytes([] {
                     const std::string objects = "4 0 ";
                     return HandWritten({"<< /Type /Catalog /Pages 2 0 R >>",
                                         "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                                         "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 4 0 R >>",
                                         "<< /Type /ObjStm /N 1 /First 4 /Extends 4 0 R /Length 4 >>\nstream\n" +
                                             objects + "\nendstream"});
                   }), DONE});
  cases.push_back({"form that draws itself", FromBytes([] {
                     return PageWithContent("<< /XObject << /F 5 0 R >> >>", "", "/F Do") +
                            "5 0 obj\n<< /Type /XObject /Subtype /Form /BBox [0 0 300 300] /Resources << /XObject << /F 5 0 R >> >> /Length 19 >>\nstream\n0 0 m 9 9 l S /F Do\nendstream\nendobj\n";
                   }), DONE});
  cases.push_back({"forms nested 400 deep", FromBytes(FormsNestedDeep), DONE});
  cases.push_back({"decompression bomb in the content (1 GiB)", FromBytes([] {
                     return PageWithContent("<< >>", " /Filter /FlateDecode", Deflated("q Q\n", size_t{1} << 28));
                   }), DONE_WITH_BLANK_PAGE});
  cases.push_back({"page of 14400 x 14400 pt", FromDocument([] { return OnePage(Sized(14400, 14400)); }), DONE});
  cases.push_back({"page of 1 x 1 pt", FromDocument([] { return OnePage(Sized(1, 1)); }), DONE});
  cases.push_back({"zero-size media box", FromBytes([] {
                     return HandWritten({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                                         "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 0 0] >>"});
                   }), DONE});
  cases.push_back({"negative media box", FromBytes([] {
                     return HandWritten({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                                         "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 -300 -400] >>"});
                   }), DONE});
  cases.push_back({"font that fails to load", FromBytes([] {
                     return PageWithContent(
                                "<< /Font << /F1 5 0 R >> >>", "", "BT /F1 24 Tf 20 150 Td (Broken font) Tj ET") +
                            "5 0 obj\n<< /Type /Font /Subtype /TrueType /BaseFont /Broken /FirstChar 32 /LastChar 126 "
                            "/FontDescriptor << /Type /FontDescriptor /FontName /Broken /Flags 32 /FontFile2 6 0 R >> >>\nendobj\n"
                            "6 0 obj\n<< /Length 16 >>\nstream\nnot a font file!\nendstream\nendobj\n";
                   }), DONE});
  cases.push_back({"100000 tiny path segments", FromDocument([] {
                     std::string ops = "0 0 m\n";
                     for (int i = 0; i < 100000; ++i)
                       ops += std::to_string(i % 500) + "." + std::to_string(i % 7) + " " + std::to_string(i % 300) + " l\n";
                     fixtures::PageSpec page;
                     page.m_vecExtras = {fixtures::PathContent(ops + "S\n")};
                     return OnePage(page);
                   }), DONE});
  cases.push_back({"3000 images on one page", FromDocument([] {
                     fixtures::PageSpec page;
                     for (int i = 0; i < 3000; ++i) {
                       fixtures::ImageDraw image;
                       image.m_dX = 10 + (i % 60) * 9;
                       image.m_dY = 10 + (i / 60) * 15;
                       image.m_dWidth = image.m_dHeight = 8;
                       image.m_anRgb[0] = static_cast<uint8_t>(i);
                       page.m_vecExtras.push_back(fixtures::ImageContent(image));
                     }
                     return OnePage(page);
                   }), DONE});
  cases.push_back({"very long words and lines", FromDocument([] {
                     fixtures::PageSpec page;
                     page.m_vecTexts = {{10, 50, std::string(20000, 'w'), "Helvetica", 4}};
                     std::string line;
                     for (int i = 0; i < 5000; ++i) line += "word ";
                     page.m_vecTexts.push_back({10, 100, line, "Helvetica", 4});
                     return OnePage(page);
                   }), DONE});
  cases.push_back({"every character XML forbids", FromDocument([] {
                     std::string text;
                     for (int c = 1; c < 32; ++c) text += static_cast<char>(c);
                     fixtures::PageSpec page;
                     page.m_vecTexts = {{72, 72, "before" + text + "after"},
                                        {72, 100, "x", "Helvetica", 12, {1, 0, 0, 1}, 0, {0, 0, 0}, "",
                                         "<0001020304050608FFFE> Tj"}};
                     return OnePage(page);
                   }), DONE});
  return cases;
}

const char* Describe(Outcome outcome) {
  return outcome == DONE ? "done" : outcome == FAILED ? "failed" : "done, page left blank";
}

TEST(HostileFiles, EveryFileEndsInACleanResult) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.m_szName);
    TempDir dir;
    ASSERT_TRUE(pptx_test::InstallTemplates(dir.Path()));
    const fs::path input = c.m_make(dir);
    for (int kind : {KIND_TEXT, KIND_POWERPOINT}) {
      SCOPED_TRACE(kind == KIND_TEXT ? "text" : "pptx");
      CConverter converter;
      converter.SetOwner(nullptr, dir.Wide(""));
      // Tight bounds keep the poisoned pages quick; sound pages stay far inside them.
      converter.m_muInterface.SetPageLimits(3000, size_t{768} << 20);
      CConvertJob job;
      job.m_strInputPath = platform::FromPath(input);
      const fs::path output = dir / (kind == KIND_TEXT ? "out.txt" : "out.pptx");
      job.m_strOutputPath = platform::FromPath(output);
      for (int p = 1; p <= c.m_nPages; ++p) job.m_vecPages.push_back(p);
      job.m_nKind = kind;
      const int result = ConvertFile(job, converter);
      const std::string message = platform::WideToUtf8Lossy(converter.m_strMessage);
      std::printf("%-45s %-5s result %d %s\n", c.m_szName, kind == KIND_TEXT ? "text" : "pptx", result,
                  message.c_str());
      if (c.m_outcome == FAILED) {
        EXPECT_EQ(result, CONVERT_FAILED) << Describe(c.m_outcome);
        EXPECT_FALSE(message.empty());
        continue;
      }
      EXPECT_EQ(result, CONVERT_DONE) << message;
      if (result != CONVERT_DONE) continue;
      EXPECT_EQ(message.find("could not be read") != std::string::npos, c.m_outcome == DONE_WITH_BLANK_PAGE)
          << message;
      if (kind == KIND_POWERPOINT) {
        EXPECT_TRUE(pptx_test::ExtractPackage(output, dir / "unpacked"));
        EXPECT_EQ(pptx_test::CheckPackage(dir / "unpacked"), std::vector<std::string>{});
      }
    }
  }
}

// A poisoned first page, then a sound page with text: the bomb in the first page's content
// or its font file expands to 1 GiB.
std::string PoisonedThenSoundPage(bool bombInFont) {
  const std::string bomb = Deflated(bombInFont ? std::string(64, '\0') : "q Q\n", (size_t{1} << 30) / (bombInFont ? 64 : 4));
  const std::string sound = "BT /H 12 Tf 20 20 Td (Next page) Tj ET";
  const std::string shown = "BT /B 12 Tf 20 20 Td (Bomb) Tj ET";
  const std::string helvetica = "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>";
  return HandWritten({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R 5 0 R] /Count 2 >>",
                      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 300] /Resources << /Font << /B 7 0 R >> >> "
                      "/Contents 4 0 R >>",
                      bombInFont ? "<< /Length " + std::to_string(shown.size()) + " >>\nstream\n" + shown + "\nendstream"
                                 : "<< /Length " + std::to_string(bomb.size()) + " /Filter /FlateDecode >>\nstream\n" +
                                       bomb + "\nendstream",
                      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 300] /Resources << /Font << /H " + helvetica +
                          " >> >> /Contents 6 0 R >>",
                      "<< /Length " + std::to_string(sound.size()) + " >>\nstream\n" + sound + "\nendstream",
                      "<< /Type /Font /Subtype /TrueType /BaseFont /Bomb /FontDescriptor << /Type /FontDescriptor "
                      "/FontName /Bomb /Flags 32 /FontFile2 8 0 R >> >>",
                      "<< /Length " + std::to_string(bombInFont ? bomb.size() : 0) +
                          " /Filter /FlateDecode >>\nstream\n" + (bombInFont ? bomb : "") + "\nendstream"});
}

// The page guard: a page that runs out of time or memory is left blank, the user is told,
// and the next page converts as usual.
TEST(HostileFiles, PoisonedPageIsLeftBlankAndTheJobGoesOn) {
  for (bool bombInFont : {false, true}) {
    SCOPED_TRACE(bombInFont ? "memory" : "time");
    TempDir dir;
    ASSERT_TRUE(fixtures::WriteBytes(dir / "in.pdf", PoisonedThenSoundPage(bombInFont)));
    CConverter converter;
    converter.SetOwner(nullptr, dir.Wide(""));
    converter.m_muInterface.SetPageLimits(3000, static_cast<size_t>(bombInFont ? 64 : 512) << 20);
    CConvertJob job;
    job.m_strInputPath = dir.Wide("in.pdf");
    job.m_strOutputPath = dir.Wide("out.txt");
    job.m_vecPages = {1, 2};
    job.m_nKind = KIND_TEXT;
    ASSERT_EQ(ConvertFile(job, converter), CONVERT_DONE);
    EXPECT_EQ(converter.m_strMessage, std::wstring(L"1 page could not be read and was left blank: page 1 ran out of ") +
                                          (bombInFont ? L"memory." : L"time."));
    const std::string text = FileBytes(dir / "out.txt");
    EXPECT_NE(text.find("Next page"), std::string::npos);
    EXPECT_EQ(text.find("Bomb"), std::string::npos);
  }
}

// A page whose contents fail part way keeps what was drawn before the failure, and the job
// does not report it as unreadable.
TEST(HostileFiles, PageFailingPartWayKeepsWhatWasDrawn) {
  TempDir dir;
  ASSERT_TRUE(fixtures::WriteBytes(dir / "in.pdf", FormsNestedDeep()));
  CConverter converter;
  converter.SetOwner(nullptr, dir.Wide(""));
  CConvertJob job;
  job.m_strInputPath = dir.Wide("in.pdf");
  job.m_strOutputPath = dir.Wide("out.txt");
  job.m_vecPages = {1};
  job.m_nKind = KIND_TEXT;
  ASSERT_EQ(ConvertFile(job, converter), CONVERT_DONE);
  EXPECT_EQ(converter.m_strMessage, L"");
  EXPECT_NE(FileBytes(dir / "out.txt").find("Drawn before the error"), std::string::npos);
}

}  // namespace
