#pragma once
// CPptxWriter: turns the pages of one job into one .pptx. It builds the package as files
// in a private work folder (copied from the template tree beside the executable), adds one
// slide per page, writes the parts that depend on the slide count and size at the end,
// packs the folder into the output file and deletes the folder.

#include <filesystem>
#include <functional>
#include <string>

#include "driver/PageWriters.h"
#include "pptx/EmuScale.h"

// Packs a folder into an archive; 0 on success (ZipFolder's contract).
using PackFolderFn = std::function<int(const std::wstring& archivePath, const std::wstring& folderPath)>;

class CPptxWriter : public IPresentationWriter {
 public:
  CPptxWriter();
  // Removes the work folder of an unfinished package (a cancelled or failed job).
  ~CPptxWriter() override;
  CPptxWriter(const CPptxWriter&) = delete;
  CPptxWriter& operator=(const CPptxWriter&) = delete;

  // Makes the work folder (under the program folder, or under the system temporary folder
  // when that is not writable) and copies the template tree into it; work folders of
  // processes that no longer run are removed on the way. Fails (false, reason
  // in GetLastError) when the templates are missing or the folder cannot be made or filled.
  bool Init(const std::wstring& programDir, int pageCount, const std::wstring& outputPath) override;
  // Takes the slide size in points; the whole package keeps the first page's size.
  void SetSlideSize(float width, float height) override;
  // Takes the slide size from the first page and, when the page carries a page image,
  // copies it over the package thumbnail. Fails when that copy fails.
  bool SetFirstPage(nsPDFData::CTextPage& page) override;
  // Writes slide `slide` (1 to the page count of Init) and its relationships. Fails when
  // the writer was not begun, the number is out of range or a part cannot be written.
  bool WriteSlide(nsPDFData::CTextPage& page, int slide) override;
  // Writes [Content_Types].xml, the presentation part and its relationships, packs the
  // folder into the output path and deletes the folder. Fails when a slide announced to
  // Init was not written, a part cannot be written or packing fails; no partial output
  // file stays. A package without slides gets the default slide size.
  bool Finish() override;
  std::wstring GetLastError() const override { return m_strError; }

  // Replaces the packing step (tests drive its failure). The default is ZipFolder.
  void SetPacker(PackFolderFn packer) { m_packer = std::move(packer); }
  // The work folder of the package under construction; empty outside Init..Finish.
  const std::wstring& WorkFolder() const { return m_strTempDir; }

  std::wstring m_strTempDir;      // the work folder
  std::wstring m_strBaseDir;      // the program folder, given by the caller
  std::wstring m_strOutputPath;   // the .pptx to produce
  unsigned m_nSlideCount = 0;     // slides the package lists
  int m_nPictureCount = 0;        // package-wide picture counter
  int m_nShapeId = 0;             // package-wide shape-id counter, never reset between slides
  float m_fSlideWidth = 0;        // slide width, points (first page)
  float m_fSlideHeight = 0;       // slide height, points (first page)

 private:
  bool MakeWorkFolder();
  bool Fail(std::wstring reason);
  // Deletes the work folder and forgets it.
  void DropWorkFolder();

  std::filesystem::path m_workPath;  // the work folder as the file system names it
  CSlideGeometry m_geometry;      // slide size in EMU and the scale of every length
  unsigned m_nSlidesWritten = 0;  // slides written since Init
  bool m_bBegun = false;          // between a successful Init and Finish
  const int m_nWriterNumber;      // distinguishes writers of one process in work folder names
  PackFolderFn m_packer;          // packs the work folder into the output file
  std::wstring m_strError;        // why the last call failed
};
