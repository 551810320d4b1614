#pragma once
// CDocumentWriter: the plain-text writer. Collects the text of every converted page in
// memory, each page under a header line, and writes it once at the end of the job as
// UTF-8 with a byte-order mark and CR LF line breaks.

#include <string>

#include "driver/PageWriters.h"

namespace nsPDFData {
class CTextPage;
}

class CDocumentWriter : public ITextWriter {
 public:
  // Empties the accumulated text and takes the output path. Never fails.
  bool BeginDocument(const std::wstring& programDir, int pageCount, int kind, int writerMode,
                     const std::wstring& outputPath) override;
  // Appends BuildPageText(sequence, page). Never fails.
  bool AddPage(nsPDFData::CTextPage& page, int sequence) override;
  bool HasText() const override { return !m_strBody.empty(); }
  // Writes the byte-order mark and the text. Fails (false, reason in GetLastError) when the
  // file cannot be created or written; no partial file is left and nothing existing is touched.
  bool WriteTextFile(const std::wstring& outputPath) override;
  std::wstring GetLastError() const override { return m_strError; }

  // The text a page contributes: header, one paragraph per column, then its floating lines.
  static std::wstring BuildPageText(int sequence, const nsPDFData::CTextPage& page);

  std::wstring m_strBody;        // accumulated text of the job
  std::wstring m_strOutputPath;  // full path of the .txt file

 private:
  std::wstring m_strError;       // why the last write failed
};
