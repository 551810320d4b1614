#pragma once
// What the driver needs of the writers. The presentation and text writers implement these;
// the converter owns one of each and every job reuses them. Each call returns false when
// the writer cannot produce its output; the writer then leaves no partial output file.

#include <string>

namespace nsPDFData {
class CTextPage;
}

class IPresentationWriter {
 public:
  virtual ~IPresentationWriter() = default;
  // Prepares the work folder and templates for a package of `pageCount` slides.
  virtual bool Init(const std::wstring& programDir, int pageCount, const std::wstring& outputPath) = 0;
  // Slide size in points, set from the first page model before SetFirstPage.
  virtual void SetSlideSize(float width, float height) = 0;
  virtual bool SetFirstPage(nsPDFData::CTextPage& page) = 0;
  // Appends slide `slide` (1-based position in the job's page list).
  virtual bool WriteSlide(nsPDFData::CTextPage& page, int slide) = 0;
  // Writes the package to the output path; must accept a package without slides.
  virtual bool Finish() = 0;
  // Why the last call failed, for the user.
  virtual std::wstring GetLastError() const = 0;
};

class ITextWriter {
 public:
  virtual ~ITextWriter() = default;
  // Clears the accumulated text.
  virtual bool BeginDocument(const std::wstring& programDir, int pageCount, int kind,
                             int writerMode, const std::wstring& outputPath) = 0;
  // Appends the text of page `sequence` (1-based position in the job's page list).
  virtual bool AddPage(nsPDFData::CTextPage& page, int sequence) = 0;
  virtual bool HasText() const = 0;
  virtual bool WriteTextFile(const std::wstring& outputPath) = 0;
  virtual std::wstring GetLastError() const = 0;
};
