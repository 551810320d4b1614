#pragma once
// CMuInterface: the only gateway to the PDF engine. One instance stands for one open PDF
// and the engine context that serves it; it is used by one thread at a time. Engine
// errors never leave it: they become result codes, null page models or (0, 0) sizes.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "capture/TextCaptureDevice.h"

class CFontMap;
class CPageGuard;
struct fz_context;
struct pdf_document;

namespace nsPDFData {
class CTextPage;
struct CImageObj;
}

// Result codes of OpenDocument and CheckDocument (0 or more is the page count).
enum EOpenResult : int {
  OPEN_NO_CONTEXT = -1,       // the engine context cannot be created
  OPEN_CANNOT_READ = -2,      // the file cannot be opened for reading (missing, not a file)
  OPEN_BAD_PATH = -3,         // the path has no UTF-8 form within 1024 bytes
  OPEN_NEEDS_PASSWORD = -4,   // user password required, wrong, or longer than the engine buffer
  OPEN_ENGINE_ERROR = -5,     // not a PDF, damaged beyond repair, unsupported encryption
};

class CMuInterface {
 public:
  struct PreviewInstance {};
  static constexpr int kPreviewPageMilliseconds = 5000;  // a preview page's time limit
  // Engine memory a preview instance may hold: renders run on the user-interface thread
  // beside the conversion, so a hostile page must not take the machine's memory.
  static constexpr size_t kPreviewMemoryBytes = size_t{512} << 20;
  // The largest raster one render makes, in pixels (4 bytes each, held twice while copied).
  static constexpr int64_t kPreviewMaxPixels = int64_t{64} << 20;

  // Conversion instance: page models are released as the next page loads.
  CMuInterface();
  // Preview instance: sizes and renderings only, no page models.
  explicit CMuInterface(PreviewInstance);
  ~CMuInterface();
  CMuInterface(const CMuInterface&) = delete;
  CMuInterface& operator=(const CMuInterface&) = delete;

  // Opens the PDF at `path`, trying the first non-empty password. Returns the page count
  // or an EOpenResult. Close before opening another file; a failed open also needs a close.
  int OpenDocument(const std::wstring& path, const std::string& password1,
                   const std::string& password2);

  // Opens and closes the file in a context of its own; same arguments and results.
  static int CheckDocument(const std::wstring& path, const std::string& password1,
                           const std::string& password2);

  // Records page `n` (1-based) into a new page model owned by this instance, valid until
  // the next LoadPage or CloseDocument. Null when the page cannot be loaded or recorded.
  nsPDFData::CTextPage* LoadPage(int n);

  // Width and height in points of page `n` (1-based) as displayed; (0, 0) on failure.
  void GetPageSize(int n, float& width, float& height);

  // Rasterises page `n` (1-based) at `dpi` as printed, text included. The caller owns the
  // result: BGRA pixels with alpha 255, rows bottom-up (the page's bottom row first). Null
  // when the page cannot be loaded or drawn, runs past the page limits, or the raster would
  // exceed kPreviewMaxPixels; the instance stays usable.
  nsPDFData::CImageObj* RenderPage(int n, float dpi);

  // Releases page models, page images, the document and the context. Idempotent.
  void CloseDocument();

  // Bounds each LoadPage: a page that runs longer than `pageMilliseconds` or pushes the
  // engine's memory past `memoryBytes` yields no model. 0 keeps a default. Never fails.
  void SetPageLimits(int pageMilliseconds, size_t memoryBytes);

  // The engine's message of the last failure, for logs; empty when none.
  const std::string& GetLastError() const { return m_strLastError; }

  std::wstring m_strFilePath;              // path of the open PDF, as given
  std::string m_strPassword;               // the password chosen at open, UTF-8
  nsPDFData::CTextPage* m_pTextPage = nullptr;  // model of the last loaded page; owned
  std::unique_ptr<CFontMap> m_pFontMap;    // output font names; conversion instances only
  int m_nOutputKind = 0;                   // output kind of the job; selects the layout analysis
  int m_nWordMode = 0;                     // layout option of the dormant Word kind
  std::vector<std::wstring> m_vecPageImageFiles;  // temporary page images; deleted at close
  int m_nPageImageDpi = 0;                 // resolution of those page images
  fz_context* m_pContext = nullptr;        // engine context, made by OpenDocument
  pdf_document* m_pDocument = nullptr;     // engine document, made by OpenDocument
  bool m_bReleasePages = false;            // true: the previous model dies when the next loads
  std::list<nsPDFData::CTextPage*> m_lstKeptPages;  // models kept until close

 private:
  void ReplacePageModel();
  void AnalyzeLayout();
  bool DropPoisonedPage(int n);  // ends the page's guard; true (model dropped) when it tripped

  capture::GlyphNameState m_glyphNames;  // glyph-name numbering decided once per document

  std::unique_ptr<CPageGuard> m_pGuard;  // time and memory bound of m_pContext; outlives it
  FILE* m_pFile = nullptr;      // the open PDF; the engine stream reads it, we close it
  std::string m_strLastError;   // engine message of the last failure
};
