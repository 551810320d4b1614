#include "driver/ConvertFile.h"

#include <filesystem>
#include <system_error>

#include "capture/TextPage.h"
#include "driver/Converter.h"
#include "driver/OutputKind.h"
#include "driver/PageLinkTargets.h"
#include "platform/Strings.h"

namespace {

// US Letter, for a page whose size the engine cannot tell either.
constexpr float kFallbackWidth = 612;
constexpr float kFallbackHeight = 792;

// The writer of the job's kind, begun for this job. Only PowerPoint and Text are built;
// the other kinds have no writer here and fail their jobs.
class CJobWriter {
 public:
  CJobWriter(const CConvertJob& job, CConverter& converter) : m_job(job), m_converter(converter) {}

  // Returns false (reason in m_strError) when the kind has no writer or the begin failed.
  bool Begin(int pageCount) {
    if (auto* pptx = Presentation()) {
      return Check(pptx->Init(m_converter.m_strProgramDir, pageCount, m_job.m_strOutputPath), pptx);
    }
    if (auto* text = Text()) {
      return Check(text->BeginDocument(m_converter.m_strProgramDir, pageCount, m_job.m_nKind,
                                       m_job.m_nWriterMode, m_job.m_strOutputPath), text);
    }
    const std::wstring name = GetKindName(m_job.m_nKind);
    m_strError = name.empty() ? L"Unknown output kind " + std::to_wstring(m_job.m_nKind) + L"."
                              : name + L" output is not available in this build.";
    return false;
  }

  // Hands page model `page` to the writer as position `sequence` (1-based).
  bool AddPage(nsPDFData::CTextPage& page, int sequence) {
    if (auto* pptx = Presentation()) {
      if (sequence == 1) {
        pptx->SetSlideSize(page.m_fWidth, page.m_fHeight);
        if (!Check(pptx->SetFirstPage(page), pptx)) return false;
      }
      return Check(pptx->WriteSlide(page, sequence), pptx);
    }
    return Check(Text()->AddPage(page, sequence), Text());
  }

  bool Finish() {
    if (auto* pptx = Presentation()) return Check(pptx->Finish(), pptx);
    ITextWriter* text = Text();
    return !text->HasText() || Check(text->WriteTextFile(m_job.m_strOutputPath), text);
  }

  std::wstring m_strError;  // why the writer could not go on

 private:
  IPresentationWriter* Presentation() const {
    return m_job.m_nKind == KIND_POWERPOINT ? m_converter.m_pPptxWriter.get() : nullptr;
  }
  ITextWriter* Text() const {
    return m_job.m_nKind == KIND_TEXT ? m_converter.m_pTextWriter.get() : nullptr;
  }
  template <typename Writer>
  bool Check(bool ok, Writer* writer) {
    if (!ok) {
      m_strError = writer->GetLastError();
      if (m_strError.empty()) m_strError = L"The output file could not be written.";
    }
    return ok;
  }

  const CConvertJob& m_job;
  CConverter& m_converter;
};

std::wstring DescribeOpenFailure(int code) {
  switch (code) {
    case -1: return L"The PDF engine could not be started.";
    case -2: return L"The file cannot be opened for reading.";
    case -3: return L"The file's path is too long or cannot be converted.";
    case -4: return L"The file needs a password, or the password is wrong.";
    default: return L"The file is not a PDF or is damaged.";
  }
}

void SendProgress(CConverter& converter, const CConvertJob& job, int step, size_t pageCount) {
  CConvertNotify notify;
  notify.m_nItemIndex = job.m_nItemIndex;
  notify.m_nNotifyType = NOTIFY_PROGRESS;
  notify.m_fProgress = static_cast<float>(static_cast<double>(step) / (2.0 * pageCount));
  converter.Notify(notify);
}

int Cancel(CConverter& converter) {
  converter.DiscardQueuedJobs();
  converter.m_muInterface.CloseDocument();
  return CONVERT_CANCELLED;
}

int Fail(CConverter& converter, std::wstring reason) {
  converter.m_muInterface.CloseDocument();
  converter.m_strMessage = std::move(reason);
  return CONVERT_FAILED;
}

void DeleteOutput(const CConvertJob& job) {
  std::error_code ec;
  auto path = platform::ToPath(job.m_strOutputPath);
  if (!path) return;
  if (IsFolderKind(job.m_nKind))
    std::filesystem::remove_all(*path, ec);
  else
    std::filesystem::remove(*path, ec);
}

// A page the engine cannot read still takes its place in the output, as a blank page of
// its own size (or of the previous page's), so that slide numbers and page links hold.
void FillBlankPage(CMuInterface& doc, int pageNumber, nsPDFData::CTextPage& blank) {
  float width = 0, height = 0;
  doc.GetPageSize(pageNumber, width, height);
  if (width > 0 && height > 0) {
    blank.m_fWidth = width;
    blank.m_fHeight = height;
  } else if (blank.m_fWidth <= 0 || blank.m_fHeight <= 0) {
    blank.m_fWidth = kFallbackWidth;
    blank.m_fHeight = kFallbackHeight;
  }
}

// The pages of a job left blank and why, told to the user once the job is done:
// "2 pages could not be read and were left blank: page 3 ran out of time; page 7 could not
// be loaded." Only the first few reasons are listed, so a broken document of thousands of
// pages still gives a message that fits a status line.
class CBlankPages {
 public:
  void Add(const std::string& reason) {
    if (++m_nCount <= kListedReasons) m_strReasons += (m_nCount > 1 ? L"; " : L"") + platform::Utf8ToWide(reason);
  }

  std::wstring Message() const {
    if (m_nCount == 0) return {};
    std::wstring message = std::to_wstring(m_nCount) + (m_nCount == 1 ? L" page could not be read and was left blank"
                                                                       : L" pages could not be read and were left blank");
    if (!m_strReasons.empty()) message += L": " + m_strReasons + (m_nCount > kListedReasons ? L"; ..." : L"");
    return message + L".";
  }

 private:
  static constexpr int kListedReasons = 5;
  int m_nCount = 0;
  std::wstring m_strReasons;
};

}  // namespace

int ConvertFile(const CConvertJob& job, CConverter& converter) {
  CMuInterface& doc = converter.m_muInterface;
  converter.m_strMessage.clear();
  doc.m_nOutputKind = job.m_nKind;
  doc.m_nWordMode = job.m_nWriterMode;
  if (job.m_nImageDpi > 0) doc.m_nPageImageDpi = job.m_nImageDpi;

  const int opened = doc.OpenDocument(job.m_strInputPath, job.m_strUserPassword, job.m_strOwnerPassword);
  const size_t n = job.m_vecPages.size();
  CJobWriter writer(job, converter);
  const bool begun = writer.Begin(static_cast<int>(n));
  if (opened < 0) return Fail(converter, DescribeOpenFailure(opened));
  if (!begun) return Fail(converter, writer.m_strError);

  nsPDFData::CTextPage blank;  // stands in for pages that cannot be read
  CBlankPages blanks;
  for (size_t i = 0; i < n; ++i) {
    doc.m_bReleasePages = true;
    nsPDFData::CTextPage* page = doc.LoadPage(job.m_vecPages[i]);
    if (!page) {
      blanks.Add(doc.GetLastError());
      FillBlankPage(doc, job.m_vecPages[i], blank);
      page = &blank;
    }
    SendProgress(converter, job, static_cast<int>(2 * i + 1), n);
    if (converter.IsCancelRaised()) return Cancel(converter);
    if (job.m_nKind == KIND_POWERPOINT) RetargetPageLinks(*page, job.m_vecPages);
    if (!writer.AddPage(*page, static_cast<int>(i + 1))) return Fail(converter, writer.m_strError);
    blank.m_fWidth = page->m_fWidth;
    blank.m_fHeight = page->m_fHeight;
    SendProgress(converter, job, static_cast<int>(2 * i + 2), n);
    if (converter.IsCancelRaised()) return Cancel(converter);
  }

  const bool finished = writer.Finish();
  doc.CloseDocument();
  if (!finished) return Fail(converter, writer.m_strError);
  if (converter.IsCancelRaised()) {
    converter.DiscardQueuedJobs();
    DeleteOutput(job);
    return CONVERT_CANCELLED;
  }
  converter.m_strMessage = blanks.Message();
  return CONVERT_DONE;
}
