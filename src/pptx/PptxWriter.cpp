#include "pptx/PptxWriter.h"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "capture/TextPage.h"
#include "driver/MeasureText.h"
#include "platform/Strings.h"
#include "pptx/MediaPart.h"
#include "pptx/PackageFolder.h"
#include "pptx/PackageParts.h"
#include "pptx/SlideWriter.h"
#include "zip/ZipFolder.h"

namespace fs = std::filesystem;

namespace {

std::atomic<int> g_nextWriterNumber{1};

// Folders the writer fills; git cannot carry them empty in the template tree.
constexpr const char* kPartFolders[] = {"ppt/_rels", "ppt/slides/_rels", "ppt/media"};

std::string WorkFolderName(int writerNumber) {
  return "TempCreateDir-" + std::to_string(::getpid()) + "-" + std::to_string(writerNumber);
}

// True when `name` is the work folder name of a process that no longer runs.
bool IsStaleWorkFolderName(const std::string& name) {
  static const std::string prefix = "TempCreateDir-";
  if (name.compare(0, prefix.size(), prefix) != 0) return false;
  const char* digits = name.c_str() + prefix.size();
  char* end = nullptr;
  const long pid = std::strtol(digits, &end, 10);
  if (end == digits || *end != '-' || pid <= 0 || pid == ::getpid()) return false;
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Work folders are private to a process, so the next conversion of another process cannot
// reuse one that a killed process left behind; it removes them instead.
void RemoveStaleWorkFolders(const fs::path& programDir) {
  std::error_code ec;
  for (fs::directory_iterator it(programDir, ec), end; it != end; it.increment(ec)) {
    std::error_code typeError;
    if (it->is_directory(typeError) && IsStaleWorkFolderName(it->path().filename().string()))
      DeleteFolderTree(it->path());
  }
}

bool MakePartFolders(const fs::path& root) {
  for (const char* folder : kPartFolders) {
    std::error_code ec;
    fs::create_directories(root / folder, ec);
    if (ec) return false;
  }
  return true;
}

}  // namespace

CPptxWriter::CPptxWriter() : m_nWriterNumber(g_nextWriterNumber++), m_packer(ZipFolder) {}

CPptxWriter::~CPptxWriter() { DropWorkFolder(); }

bool CPptxWriter::Fail(std::wstring reason) {
  m_strError = std::move(reason);
  return false;
}

void CPptxWriter::DropWorkFolder() {
  if (!m_workPath.empty()) DeleteFolderTree(m_workPath);
  m_workPath.clear();
  m_strTempDir.clear();
  m_bBegun = false;
}

// The folder beside the executable is tried first. When the program folder is not
// writable, a fresh folder under the system temporary folder is made with mkdtemp, so no
// other user can have prepared it.
bool CPptxWriter::MakeWorkFolder() {
  const std::string name = WorkFolderName(m_nWriterNumber);
  if (auto base = platform::ToPath(m_strBaseDir)) {
    RemoveStaleWorkFolders(*base);
    const fs::path folder = *base / name;
    std::error_code ec;
    DeleteFolderTree(folder);  // a leftover of an interrupted conversion
    if (fs::create_directory(folder, ec) && !ec) {
      m_workPath = folder;
      m_strTempDir = platform::FromPath(folder);
      return true;
    }
  }
  std::error_code ec;
  const fs::path temp = fs::temp_directory_path(ec);
  if (ec) return false;
  std::string pattern = (temp / (name + "-XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) return false;
  m_workPath = pattern;
  m_strTempDir = platform::FromPath(m_workPath);
  return true;
}

bool CPptxWriter::Init(const std::wstring& programDir, int pageCount, const std::wstring& outputPath) {
  DropWorkFolder();
  m_strError.clear();
  m_strBaseDir = programDir;
  m_strOutputPath = outputPath;
  m_nSlideCount = pageCount > 0 ? static_cast<unsigned>(pageCount) : 0;
  m_nPictureCount = 0;
  m_nShapeId = 0;
  m_nSlidesWritten = 0;
  m_fSlideWidth = 0;
  m_fSlideHeight = 0;
  m_geometry = FitSlideSize(0, 0);
  GetMeasureHook().m_pfnMeasure = MeasureText;

  const auto base = platform::ToPath(programDir);
  const fs::path templates = base ? *base / "Resource" / "PptxRes" : fs::path();
  std::error_code ec;
  if (!base || !fs::is_directory(templates, ec))
    return Fail(L"The presentation templates are missing: " + platform::FromPath(templates));
  if (!MakeWorkFolder()) return Fail(L"Cannot create a work folder for the presentation.");
  if (!CopyTemplateTree(templates, m_workPath) || !MakePartFolders(m_workPath)) {
    DropWorkFolder();
    return Fail(L"Cannot copy the presentation templates into the work folder.");
  }
  m_bBegun = true;
  return true;
}

void CPptxWriter::SetSlideSize(float width, float height) {
  m_fSlideWidth = width;
  m_fSlideHeight = height;
  m_geometry = FitSlideSize(width, height);
}

bool CPptxWriter::SetFirstPage(nsPDFData::CTextPage& page) {
  SetSlideSize(page.m_fWidth, page.m_fHeight);
  if (!m_bBegun) return Fail(L"The presentation writer was not begun.");
  if (page.m_strPageImage.empty()) return true;
  const auto image = platform::ToPath(page.m_strPageImage);
  std::error_code ec;
  if (!image || !fs::copy_file(*image, m_workPath / "docProps" / "thumbnail.jpeg",
                               fs::copy_options::overwrite_existing, ec))
    return Fail(L"Cannot copy the page image into the presentation: " + page.m_strPageImage);
  return true;
}

bool CPptxWriter::WriteSlide(nsPDFData::CTextPage& page, int slide) {
  if (!m_bBegun) return Fail(L"The presentation writer was not begun.");
  if (slide < 1 || static_cast<unsigned>(slide) > m_nSlideCount)
    return Fail(L"Slide " + std::to_wstring(slide) + L" is outside the presentation's " +
                std::to_wstring(m_nSlideCount) + L" slides.");
  CSlideWriter writer(m_geometry.m_scale, m_nShapeId, m_nPictureCount);
  writer.AddPage(page);
  const std::string name = "slide" + std::to_string(slide) + ".xml";
  const fs::path slides = m_workPath / "ppt" / "slides";
  if (!WriteMediaParts(m_workPath / "ppt" / "media", writer.Media()) ||
      !WritePartFile(slides / name, writer.BuildSlidePart()) ||
      !WritePartFile(slides / "_rels" / (name + ".rels"), writer.BuildSlideRels()))
    return Fail(L"Cannot write slide " + std::to_wstring(slide) + L" into the work folder.");
  ++m_nSlidesWritten;
  return true;
}

bool CPptxWriter::Finish() {
  if (!m_bBegun) return Fail(L"The presentation writer was not begun.");
  if (m_nSlidesWritten != m_nSlideCount) {
    DropWorkFolder();
    return Fail(L"The presentation is incomplete: " + std::to_wstring(m_nSlidesWritten) + L" of " +
                std::to_wstring(m_nSlideCount) + L" slides were written.");
  }
  const fs::path root = m_workPath;
  const bool written =
      WritePartFile(root / "[Content_Types].xml", BuildContentTypes(m_nSlideCount)) &&
      WritePartFile(root / "ppt" / "_rels" / "presentation.xml.rels", BuildPresentationRels(m_nSlideCount)) &&
      WritePartFile(root / "ppt" / "presentation.xml",
                    BuildPresentation(m_nSlideCount, m_geometry.m_nWidthEmu, m_geometry.m_nHeightEmu));
  if (!written) {
    DropWorkFolder();
    return Fail(L"Cannot write the presentation parts into the work folder.");
  }

  const auto output = platform::ToPath(m_strOutputPath);
  std::error_code ec;
  const bool existed = output && fs::exists(fs::symlink_status(*output, ec));
  const int status = output ? m_packer(m_strOutputPath, m_strTempDir) : -1;
  DropWorkFolder();
  if (status != 0) {
    if (output && !existed) fs::remove(*output, ec);  // never a file that was there before
    return Fail(L"Cannot write the presentation file " + m_strOutputPath + L" (status " +
                std::to_wstring(status) + L").");
  }
  return true;
}
