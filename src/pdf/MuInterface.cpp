#include "pdf/MuInterface.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

#include <cstring>
#include <filesystem>
#include <system_error>

#include "capture/FontMap.h"
#include "capture/TextPage.h"
#include "pdf/PageGuard.h"
#include "platform/Strings.h"

namespace {

constexpr size_t kUtf8PathBuffer = 1024;      // the engine's path buffer, terminator included
constexpr size_t kOpenPasswordBuffer = 256;   // OpenDocument's password buffer
constexpr size_t kCheckPasswordBuffer = 1024; // CheckDocument's password buffer

// The engine prints its errors and warnings; we keep the error for logs and stay quiet.
void StoreEngineMessage(void* user, const char* message) {
  if (user) *static_cast<std::string*>(user) = message;
}
void IgnoreEngineMessage(void*, const char*) {}

fz_context* NewEngineContext(std::string* lastError, const fz_alloc_context* alloc) {
  fz_context* ctx = fz_new_context(alloc, nullptr, FZ_STORE_DEFAULT);
  if (!ctx) {
    std::fputs("cannot initialise context\n", stderr);
    return nullptr;
  }
  fz_set_error_callback(ctx, StoreEngineMessage, lastError);
  fz_set_warning_callback(ctx, IgnoreEngineMessage, nullptr);
  return ctx;
}

// Opens a regular file read-only. Directories, devices and pipes are refused: the engine
// needs a seekable file, and a pipe would block the caller.
FILE* OpenRegularFile(const std::filesystem::path& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  FILE* file = ::fdopen(fd, "rb");
  if (!file) ::close(fd);
  return file;
}

// Engine frame: a PDF document read from `file`, or null on an engine error.
pdf_document* OpenPdf(fz_context* ctx, FILE* file) {
  fz_stream* stm = nullptr;
  pdf_document* doc = nullptr;
  fz_var(stm);
  fz_var(doc);
  fz_try(ctx) {
    stm = fz_open_file_ptr_no_close(ctx, file);
    doc = pdf_open_document_with_stream(ctx, stm);
  }
  fz_always(ctx) { fz_drop_stream(ctx, stm); }
  fz_catch(ctx) {
    pdf_drop_document(ctx, doc);
    return nullptr;
  }
  return doc;
}

// Engine frame: authenticates when needed and counts pages. Returns the page count,
// OPEN_NEEDS_PASSWORD or OPEN_ENGINE_ERROR. `password` is a zero-filled buffer.
int AuthenticateAndCount(fz_context* ctx, pdf_document* doc, const char* password) {
  int result = OPEN_ENGINE_ERROR;
  fz_var(result);
  fz_try(ctx) {
    if (pdf_needs_password(ctx, doc) && !pdf_authenticate_password(ctx, doc, password))
      result = OPEN_NEEDS_PASSWORD;
    else
      result = pdf_count_pages(ctx, doc);
  }
  fz_catch(ctx) { result = OPEN_ENGINE_ERROR; }
  return result;
}

const std::string& ChoosePassword(const std::string& password1, const std::string& password2) {
  return password1.empty() ? password2 : password1;
}

// What an open leaves behind, released by its owner on every path.
struct OpenedDocument {
  fz_context* ctx = nullptr;
  FILE* file = nullptr;
  pdf_document* doc = nullptr;
};

// Steps shared by OpenDocument and CheckDocument: context, file, path check, engine open,
// password, page count. Fills `opened` with whatever it made, even on failure.
int OpenWithEngine(const std::wstring& path, const std::string& password, size_t passwordBuffer,
                   OpenedDocument& opened, std::string* lastError, const fz_alloc_context* alloc) {
  opened.ctx = NewEngineContext(lastError, alloc);
  if (!opened.ctx) return OPEN_NO_CONTEXT;
  auto fsPath = platform::ToPath(path);
  if (!fsPath) return OPEN_BAD_PATH;
  opened.file = OpenRegularFile(*fsPath);
  if (!opened.file) return OPEN_CANNOT_READ;
  if (fsPath->native().size() + 1 > kUtf8PathBuffer) return OPEN_BAD_PATH;
  opened.doc = OpenPdf(opened.ctx, opened.file);
  if (!opened.doc) return OPEN_ENGINE_ERROR;
  // A password that does not fit the buffer is refused rather than truncated: a truncated
  // password could open the file with a different secret than the user typed.
  if (password.size() + 1 > passwordBuffer) {
    int count = AuthenticateAndCount(opened.ctx, opened.doc, "");
    return count == OPEN_NEEDS_PASSWORD ? OPEN_NEEDS_PASSWORD : count;
  }
  std::vector<char> buffer(passwordBuffer, 0);
  std::memcpy(buffer.data(), password.data(), password.size());
  return AuthenticateAndCount(opened.ctx, opened.doc, buffer.data());
}

void ReleaseOpened(OpenedDocument& opened) {
  if (opened.doc) pdf_drop_document(opened.ctx, opened.doc);
  if (opened.file) std::fclose(opened.file);
  if (opened.ctx) fz_drop_context(opened.ctx);
  opened = {};
}

// Engine frame: displayed size of page `index` (0-based); false on failure.
bool BoundPage(fz_context* ctx, pdf_document* doc, int index, fz_rect& bound) {
  fz_page* page = nullptr;
  fz_var(page);
  bool ok = false;
  fz_var(ok);
  fz_try(ctx) {
    page = fz_load_page(ctx, &doc->super, index);
    bound = fz_bound_page(ctx, page);
    ok = true;
  }
  fz_always(ctx) { fz_drop_page(ctx, page); }
  fz_catch(ctx) { ok = false; }
  return ok;
}

}  // namespace

CMuInterface::CMuInterface()
    : m_pFontMap(std::make_unique<CFontMap>()), m_pGuard(std::make_unique<CPageGuard>()) {
  m_bReleasePages = true;
}

// A preview renders on the user-interface thread: a page that takes longer than a few
// seconds or more than a preview's share of memory is dropped rather than freezing the
// window or starving the conversion.
CMuInterface::CMuInterface(PreviewInstance) : m_pGuard(std::make_unique<CPageGuard>()) {
  m_pGuard->SetLimits(kPreviewPageMilliseconds, kPreviewMemoryBytes);
}

void CMuInterface::SetPageLimits(int pageMilliseconds, size_t memoryBytes) {
  m_pGuard->SetLimits(pageMilliseconds, memoryBytes);
}

CMuInterface::~CMuInterface() { CloseDocument(); }

int CMuInterface::OpenDocument(const std::wstring& path, const std::string& password1,
                               const std::string& password2) {
  m_strFilePath = path;
  m_strPassword = ChoosePassword(password1, password2);
  m_strLastError.clear();
  m_glyphNames = capture::GlyphNameState{};
  OpenedDocument opened;
  int result = OpenWithEngine(path, m_strPassword, kOpenPasswordBuffer, opened, &m_strLastError,
                              m_pGuard->Allocator());
  m_pContext = opened.ctx;
  m_pFile = opened.file;
  m_pDocument = opened.doc;
  return result;
}

int CMuInterface::CheckDocument(const std::wstring& path, const std::string& password1,
                                const std::string& password2) {
  // A guard of its own bounds the memory a hostile file can take while it is opened.
  CPageGuard guard;
  OpenedDocument opened;
  int result = OpenWithEngine(path, ChoosePassword(password1, password2), kCheckPasswordBuffer,
                              opened, nullptr, guard.Allocator());
  ReleaseOpened(opened);
  return result;
}

void CMuInterface::GetPageSize(int n, float& width, float& height) {
  width = height = 0;
  fz_rect bound;
  if (!m_pDocument || n < 1 || !BoundPage(m_pContext, m_pDocument, n - 1, bound)) return;
  width = bound.x1 - bound.x0;
  height = bound.y1 - bound.y0;
}

void CMuInterface::ReplacePageModel() {
  if (m_pTextPage) {
    if (m_bReleasePages)
      delete m_pTextPage;
    else
      m_lstKeptPages.push_back(m_pTextPage);
  }
  m_pTextPage = new nsPDFData::CTextPage;
}

void CMuInterface::CloseDocument() {
  delete m_pTextPage;
  m_pTextPage = nullptr;
  for (auto* page : m_lstKeptPages) delete page;
  m_lstKeptPages.clear();
  for (const auto& file : m_vecPageImageFiles) {
    std::error_code ec;
    if (auto fsPath = platform::ToPath(file)) std::filesystem::remove(*fsPath, ec);
  }
  m_vecPageImageFiles.clear();
  OpenedDocument opened{m_pContext, m_pFile, m_pDocument};
  ReleaseOpened(opened);
  m_pContext = nullptr;
  m_pFile = nullptr;
  m_pDocument = nullptr;
}
