#pragma once
// CZipWriter: appends entries to a ZIP archive, then writes its central directory.
// Entry data is stored or raw-deflated at level 8; every entry carries an extended-timestamp
// extra field. No data descriptors, no ZIP64 records, no encryption, no archive comment.
// Sources are read and compressed in 16 KiB blocks, so memory does not grow with file size.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Status codes of the archive writer: 0 is success, every failure is negative, so that a
// positive status from ZipFolder is always a system error code (errno).
enum ZipStatus : int {
  kZipOk = 0,
  kZipErrorState = -1,    // not created yet, already closed, or a write failed before
  kZipErrorCreate = -2,   // the archive file cannot be created
  kZipErrorName = -3,     // the entry name is empty, unconvertible or unsafe
  kZipErrorSource = -4,   // the source cannot be opened, is no regular file, or is the archive
  kZipErrorRead = -5,     // reading the source failed
  kZipErrorWrite = -6,    // writing the archive failed
  kZipErrorDeflate = -7,  // zlib reported an error
  kZipErrorLimit = -8,    // a size, offset or the entry count does not fit the 32-bit format
  kZipErrorList = -9,     // a folder cannot be listed or holds something that cannot be packed
};

// Where the archive bytes go. The writer appends at the end and patches each local header
// in place once the entry's sizes and CRC are known. Tests drive error paths with a sink
// that fails after N bytes.
class IZipSink {
 public:
  virtual ~IZipSink() = default;
  // Appends bytes at the end. False when not every byte was written.
  virtual bool Append(const uint8_t* data, size_t size) = 0;
  // Overwrites bytes appended before, `offset` bytes from the start. False on failure.
  virtual bool WriteAt(uint64_t offset, const uint8_t* data, size_t size) = 0;
  // Makes the bytes durable and releases the output. False when any of that failed.
  virtual bool Commit() = 0;
  // Releases the output and removes what was written, so no partial archive stays. Never fails.
  virtual void Discard() = 0;
  // Whether the file with this device and inode number is the archive being written.
  virtual bool IsOutputFile(uint64_t /*device*/, uint64_t /*inode*/) const { return false; }
};

// The header values of one archive member.
struct CZipEntry {
  uint16_t m_nVersionMadeBy = 0x0B17;     // high byte 11, low byte 23, for every entry
  uint16_t m_nVersionNeeded = 20;         // stored or deflated alike
  uint16_t m_nFlags = 0;                  // general-purpose bits of the finished entry
  uint16_t m_nMethod = 0;                 // 8 deflate, 0 stored
  uint16_t m_nDosTime = 0;                // last-modification time, MS-DOS format
  uint16_t m_nDosDate = 0;                // last-modification date, MS-DOS format
  uint32_t m_nCrc32 = 0;                  // CRC-32 of the uncompressed data; 0 for folders
  uint32_t m_nCompressedSize = 0;         // bytes of entry data in the archive
  uint32_t m_nUncompressedSize = 0;       // bytes read from the source
  std::string m_strName;                  // entry name bytes, '/' separators
  uint16_t m_nInternalAttributes = 0;     // always 0
  uint32_t m_nExternalAttributes = 0;     // DOS attribute byte, Unix mode in the high 16 bits
  uint32_t m_nLocalHeaderOffset = 0;      // archive offset of the local header, bytes
  int32_t m_nModTime = 0;                 // modification time, seconds since 1970 (UTC)
  int32_t m_nAccessTime = 0;              // access time, seconds since 1970 (UTC)
  int32_t m_nCreateTime = 0;              // creation time, seconds since 1970 (UTC)
};

class CZipWriter {
 public:
  CZipWriter();
  // An archive created but never closed successfully is discarded.
  ~CZipWriter();
  CZipWriter(const CZipWriter&) = delete;
  CZipWriter& operator=(const CZipWriter&) = delete;

  // Opens the archive file (created or truncated) and starts at offset 0.
  // kZipErrorCreate when the file cannot be created, kZipErrorState when already created.
  int Create(const std::wstring& archivePath);
  // The same on a caller's sink, which the writer then owns.
  int Create(std::unique_ptr<IZipSink> sink);

  // Appends one file entry with the content of the source file. A failure other than a
  // failed write leaves the writer usable; the bytes of a partly written entry stay in the
  // archive but are never listed. A failed write makes every later call fail.
  int AddFile(const std::wstring& entryName, const std::wstring& sourcePath);
  int AddFileFromPath(const std::wstring& entryName, const std::filesystem::path& sourcePath);
  // Appends one folder entry without data; the name gets a trailing '/'.
  int AddFolder(const std::wstring& entryName);

  // Writes the central directory and the end record and commits the archive. Either the
  // archive is complete and 0 is returned, or it is removed and the failure is returned.
  int Close();
  // Removes the archive without finishing it (a caller whose additions failed).
  void Discard();

  const std::vector<CZipEntry>& GetEntries() const { return m_vecEntries; }

 private:
  int CheckWritable() const;
  int Emit(const uint8_t* data, size_t size);
  int Emit(const std::vector<uint8_t>& bytes) { return Emit(bytes.data(), bytes.size()); }
  int BeginEntry(CZipEntry& entry, uint16_t provisionalFlags);
  int FinishEntry(CZipEntry& entry);
  int CopyStored(int fd, CZipEntry& entry);
  int CopyDeflated(int fd, CZipEntry& entry);
  int AccountData(CZipEntry& entry, uint64_t read, uint64_t written);

  std::unique_ptr<IZipSink> m_pOutput;  // the archive; null before Create and after Close
  uint64_t m_nOffset = 0;               // bytes written to the archive so far
  std::vector<CZipEntry> m_vecEntries;  // finished entries, in the order added
  bool m_bClosed = false;               // the central directory has been written
  int m_nFailure = kZipOk;              // set by a failed write, close or discard; later calls fail
  std::vector<uint8_t> m_vecInput;      // one 16 KiB block read from a source
  std::vector<uint8_t> m_vecOutput;     // one 16 KiB block of deflate output
};

// The archive name of an entry from a relative path with '\' or '/' separators: UTF-8,
// separators turned into '/', and a trailing '/' for a folder. Pure; nullopt for a name that
// is empty, not convertible, holds NUL, starts with a separator, has an empty, "." or ".."
// component (an archive must not point outside the folder it is unpacked into), is a file
// name ending in a separator, or is longer than the 16-bit length field allows.
std::optional<std::string> MakeZipEntryName(std::wstring_view name, bool bFolder);

// Whether a file entry is stored rather than deflated: the part of its name from the last
// '.' onward equals, ignoring case, an extension of data that is compressed already.
bool IsStoredZipName(std::string_view entryName);

// MS-DOS time and date of a broken-down time (two-second resolution). Dates before 1980 or
// after 2107 cannot be represented and become the first or last representable moment.
void ToDosDateTime(const std::tm& time, uint16_t& dosTime, uint16_t& dosDate);

// A Unix time for the extra fields: a year below 1970 becomes 1 January 1970 and a year
// above 2037 becomes 31 December 2037, keeping the time of day, so it fits 32 signed bits.
int32_t ClampUnixTime(int64_t seconds);
