#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "GraphicsContent.h"
#include "PackageCheck.h"
#include "PpmRaster.h"
#include "TestSupport.h"
#include "driver/ConvertFile.h"
#include "driver/Converter.h"
#include "driver/OutputKind.h"

namespace {

namespace fs = std::filesystem;
using namespace pptx_test;
using testing_support::TempDir;

std::string Quote(const fs::path& path) { return "'" + path.string() + "'"; }

// A one-page fixture, the least similarity LibreOffice's rendering of its slide must reach,
// and the link targets its exported PDF must still carry.
struct Case {
  const char* m_pszName;
  fixtures::PageSpec m_page;
  double m_dMinSsim;
  std::vector<std::string> m_vecTargets;
};

std::vector<Case> Cases() {
  fixtures::PageSpec photos;
  photos.m_dWidth = 612;
  photos.m_dHeight = 792;
  photos.m_vecTexts = {{72, 60, "Site photographs", "Helvetica-Bold", 16}, {72, 330, "North facade", "Helvetica", 10}};
  photos.m_vecExtras = {fixtures::PhotographContent({72, 480, 300, 220, 300, 220}, 7),
                        fixtures::PhotographContent({330, 200, 200, 200, 240, 240}, 8)};

  fixtures::PageSpec shapes;
  shapes.m_dWidth = 612;
  shapes.m_dHeight = 792;
  shapes.m_vecTexts = {{72, 60, "Monthly output", "Helvetica-Bold", 16}};
  shapes.m_vecExtras = {
      // Filled bars, a rectangle both filled and stroked, a dashed rule and a dashed polyline.
      fixtures::PathContent("0.2 0.4 0.8 rg 80 500 40 160 re f 140 500 40 100 re f 200 500 40 200 re f"),
      fixtures::PathContent("1 0.8 0 rg 0 0 0 RG 3 w 320 520 200 120 re B"),
      fixtures::PathContent("0 0.5 0 RG 4 w [12 6] 0 d 72 440 m 540 440 l S"),
      fixtures::PathContent("0.8 0.1 0.1 RG 2 w [6 3] 0 d 80 200 m 160 320 l 240 260 l 320 380 l 400 300 l "
                            "480 400 l S")};

  fixtures::PageSpec links;
  links.m_dWidth = 612;
  links.m_dHeight = 792;
  links.m_vecTexts = {{72, 80, "Visit our website for details", "Helvetica", 14},
                      {72, 130, "Write to the survey office", "Helvetica", 14},
                      {72, 180, "Back to this page", "Helvetica", 14}};
  // A logo picture with its own web link below the text links.
  links.m_vecExtras = {fixtures::PhotographContent({72, 400, 160, 160, 200, 200}, 9)};
  links.m_vecLinks = {{68, 64, 200, 22, "https://example.com/survey", 0, ""},
                      {68, 114, 200, 22, "mailto:office@example.com", 0, ""},
                      {68, 164, 200, 22, "", 1, ""},
                      {72, 232, 160, 160, "https://example.com/logo", 0, ""}};

  // Bounds on the inked part of the page: noisy photographs lose detail to the slide's JPEG
  // and LibreOffice's resampling, and text drawn in metric-compatible faces shifts glyph edges.
  // An empty slide scores 0.3 to 0.55 on these pages.
  return {{"photographs", photos, 0.75, {}},
          {"shapes", shapes, 0.85, {}},
          {"links", links, 0.65, {"https://example.com/survey", "mailto:office@example.com"}}};
}

// Each fixture through the real converter into a .pptx that LibreOffice opens and renders;
// its rendering at 96 dpi must resemble the source page's (SSIM of the luma), and web and
// e-mail links must survive as link targets of LibreOffice's PDF.
TEST(PptxInterop, LibreOfficeRendersConvertedGraphicsLikeTheSource) {
  TempDir dir;
  ASSERT_TRUE(InstallTemplates(dir.Path()));
  const std::vector<Case> cases = Cases();
  CConverter converter;
  converter.SetOwner(nullptr, dir.Wide(""));
  std::string packages;
  for (const Case& c : cases) {
    const std::string name = c.m_pszName;
    fixtures::DocSpec docSpec;
    docSpec.m_vecPages.push_back(c.m_page);
    ASSERT_TRUE(fixtures::WritePdf(dir / (name + ".pdf"), docSpec)) << name;
    CConvertJob job;
    job.m_strInputPath = dir.Wide(name + ".pdf");
    job.m_strOutputPath = dir.Wide(name + ".pptx");
    job.m_vecPages = {1};
    job.m_nKind = KIND_POWERPOINT;
    ASSERT_EQ(ConvertFile(job, converter), CONVERT_DONE) << name;
    ASSERT_TRUE(ExtractPackage(dir / (name + ".pptx"), dir / ("x-" + name))) << name;
    EXPECT_EQ(CheckPackage(dir / ("x-" + name)), std::vector<std::string>{}) << name;
    packages += " " + Quote(dir / (name + ".pptx"));
  }

  // One LibreOffice run converts every package.
  const fs::path profile = dir / "lo-profile";
  ASSERT_TRUE(RunCommand("soffice --headless -env:UserInstallation=file://" + profile.string() +
                         " --convert-to pdf --outdir " + Quote(dir / "back") + packages + " >/dev/null 2>&1"));

  for (const Case& c : cases) {
    const std::string name = c.m_pszName;
    const fs::path back = dir / "back" / (name + ".pdf");
    ASSERT_TRUE(fs::is_regular_file(back)) << name;
    ASSERT_TRUE(RunCommand("pdftoppm -r 96 -singlefile " + Quote(dir / (name + ".pdf")) + " " +
                           Quote(dir / (name + "-source"))));
    ASSERT_TRUE(RunCommand("pdftoppm -r 96 -singlefile " + Quote(back) + " " + Quote(dir / (name + "-slide"))));
    const Raster source = ReadPpm(ReadBytes(dir / (name + "-source.ppm")));
    const Raster slide = ReadPpm(ReadBytes(dir / (name + "-slide.ppm")));
    ASSERT_EQ(source.m_nWidth, 816) << name;
    ASSERT_EQ(source.m_nHeight, 1056) << name;
    // The slide has the page's size, give or take LibreOffice's rounding to 1/100 mm.
    EXPECT_NEAR(slide.m_nWidth, source.m_nWidth, 1) << name;
    EXPECT_NEAR(slide.m_nHeight, source.m_nHeight, 1) << name;
    // The whole page, and the part of it that holds ink; an empty slide must fail the bound.
    const double ssim = Ssim(source, slide), inkSsim = Ssim(source, slide, true);
    Raster white = source;
    white.m_strPixels.assign(white.m_strPixels.size(), '\xff');
    const double blankSsim = Ssim(source, white, true);
    std::printf("SSIM %-12s page %.4f  ink %.4f  (empty slide: ink %.4f)\n", name.c_str(), ssim, inkSsim, blankSsim);
    RecordProperty("ssim_" + name, std::to_string(ssim));
    RecordProperty("ink_ssim_" + name, std::to_string(inkSsim));
    EXPECT_GE(inkSsim, c.m_dMinSsim) << name;
    EXPECT_LT(blankSsim, c.m_dMinSsim) << name;

    const std::string backBytes = ReadBytes(back);
    for (const std::string& target : c.m_vecTargets)
      EXPECT_NE(backBytes.find(target), std::string::npos) << name << " lost the link to " << target;
  }
}

}  // namespace
