#include "zip/ZipWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <limits>

#include "platform/Strings.h"

namespace {

constexpr size_t kBlockSize = 16384;           // sources are read and written in 16 KiB blocks
constexpr uint16_t kFlagMaxCompression = 0x0002;
constexpr uint16_t kFlagDataDescriptor = 0x0008;  // only in the provisional local header
constexpr uint16_t kFlagUtf8Name = 0x0800;        // set only when a name is not plain ASCII
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kLocalExtraSize = 17;
constexpr size_t kCentralExtraSize = 9;
constexpr uint64_t kMax32 = std::numeric_limits<uint32_t>::max();
constexpr size_t kMaxEntries = 0xFFFF;
constexpr uint32_t kFolderAttributes = 0x41C00010;  // DOS directory bit, Unix mode 040700

// Little-endian field writer for the header records.
class CRecord {
 public:
  explicit CRecord(size_t reserve) { m_vecBytes.reserve(reserve); }
  CRecord& U8(uint8_t v) {
    m_vecBytes.push_back(v);
    return *this;
  }
  CRecord& U16(uint16_t v) { return U8(static_cast<uint8_t>(v)).U8(static_cast<uint8_t>(v >> 8)); }
  CRecord& U32(uint32_t v) { return U16(static_cast<uint16_t>(v)).U16(static_cast<uint16_t>(v >> 16)); }
  CRecord& Bytes(std::string_view s) {
    m_vecBytes.insert(m_vecBytes.end(), s.begin(), s.end());
    return *this;
  }
  std::vector<uint8_t>& Get() { return m_vecBytes; }

 private:
  std::vector<uint8_t> m_vecBytes;  // the record so far
};

std::vector<uint8_t> BuildLocalHeader(const CZipEntry& e, uint16_t flags) {
  CRecord r(kLocalHeaderSize + e.m_strName.size() + kLocalExtraSize);
  r.U32(0x04034B50).U16(e.m_nVersionNeeded).U16(flags).U16(e.m_nMethod);
  r.U16(e.m_nDosTime).U16(e.m_nDosDate).U32(e.m_nCrc32);
  r.U32(e.m_nCompressedSize).U32(e.m_nUncompressedSize);
  r.U16(static_cast<uint16_t>(e.m_strName.size())).U16(kLocalExtraSize).Bytes(e.m_strName);
  r.U16(0x5455).U16(13).U8(0x07);
  r.U32(static_cast<uint32_t>(e.m_nModTime)).U32(static_cast<uint32_t>(e.m_nAccessTime));
  r.U32(static_cast<uint32_t>(e.m_nCreateTime));
  return std::move(r.Get());
}

// The central extra field keeps the local flags byte 0x07 although only one time follows.
std::vector<uint8_t> BuildCentralHeader(const CZipEntry& e) {
  CRecord r(kCentralHeaderSize + e.m_strName.size() + kCentralExtraSize);
  r.U32(0x02014B50).U16(e.m_nVersionMadeBy).U16(e.m_nVersionNeeded).U16(e.m_nFlags).U16(e.m_nMethod);
  r.U16(e.m_nDosTime).U16(e.m_nDosDate).U32(e.m_nCrc32);
  r.U32(e.m_nCompressedSize).U32(e.m_nUncompressedSize);
  r.U16(static_cast<uint16_t>(e.m_strName.size())).U16(kCentralExtraSize).U16(0).U16(0);
  r.U16(e.m_nInternalAttributes).U32(e.m_nExternalAttributes).U32(e.m_nLocalHeaderOffset);
  r.Bytes(e.m_strName);
  r.U16(0x5455).U16(5).U8(0x07).U32(static_cast<uint32_t>(e.m_nModTime));
  return std::move(r.Get());
}

std::vector<uint8_t> BuildEndRecord(size_t count, uint32_t size, uint32_t offset) {
  CRecord r(22);
  r.U32(0x06054B50).U16(0).U16(0).U16(static_cast<uint16_t>(count)).U16(static_cast<uint16_t>(count));
  r.U32(size).U32(offset).U16(0);
  return std::move(r.Get());
}

bool WriteFully(int fd, const uint8_t* data, size_t size, off_t offset, bool positioned) {
  while (size > 0) {
    ssize_t n = positioned ? ::pwrite(fd, data, size, offset) : ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
    offset += n;
  }
  return true;
}

// The archive as a file on disk; removed again when discarded.
class CFileSink : public IZipSink {
 public:
  CFileSink(int fd, std::filesystem::path path) : m_nFd(fd), m_path(std::move(path)) {}
  ~CFileSink() override { Discard(); }
  CFileSink(const CFileSink&) = delete;
  CFileSink& operator=(const CFileSink&) = delete;

  bool Append(const uint8_t* data, size_t size) override { return WriteFully(m_nFd, data, size, 0, false); }
  bool WriteAt(uint64_t offset, const uint8_t* data, size_t size) override {
    return WriteFully(m_nFd, data, size, static_cast<off_t>(offset), true);
  }
  // A delayed write error (a full disk) may show only at fsync, so commit syncs before closing.
  bool Commit() override {
    bool ok = ::fsync(m_nFd) == 0 || errno == EINVAL || errno == EROFS;
    ok = ::close(m_nFd) == 0 && ok;
    m_nFd = -1;
    if (!ok) ::unlink(m_path.c_str());
    return ok;
  }
  void Discard() override {
    if (m_nFd < 0) return;
    ::close(m_nFd);
    m_nFd = -1;
    ::unlink(m_path.c_str());
  }
  bool IsOutputFile(uint64_t device, uint64_t inode) const override {
    struct stat st {};
    return m_nFd >= 0 && ::fstat(m_nFd, &st) == 0 && st.st_dev == device && st.st_ino == inode;
  }

 private:
  int m_nFd;                    // open archive file, -1 once committed or discarded
  std::filesystem::path m_path;  // where the archive file was created
};

// An open source file with the facts its entry needs.
class CSourceFile {
 public:
  CSourceFile() = default;
  ~CSourceFile() {
    if (m_nFd >= 0) ::close(m_nFd);
  }
  CSourceFile(const CSourceFile&) = delete;
  CSourceFile& operator=(const CSourceFile&) = delete;

  // Non-blocking open so that a FIFO cannot stall the writer; it is then refused as no regular file.
  bool Open(const std::filesystem::path& path) {
    m_nFd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    return m_nFd >= 0 && ReadFacts() && S_ISREG(m_nMode);
  }

  int m_nFd = -1;                   // open descriptor
  uint64_t m_nDevice = 0;           // device number, to recognise the archive itself
  uint64_t m_nInode = 0;            // inode number, same purpose
  uint64_t m_nSize = 0;             // size when opened, bytes
  uint32_t m_nMode = 0;             // st_mode bits
  int64_t m_nModified = 0;          // last write, seconds since 1970 (UTC)
  int64_t m_nAccessed = 0;          // last access, seconds since 1970 (UTC)
  int64_t m_nCreated = 0;           // birth time; the last write where the file system has none

 private:
  bool ReadFacts() {
    struct statx sx {};
    if (::statx(m_nFd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &sx) == 0) {
      m_nDevice = makedev(sx.stx_dev_major, sx.stx_dev_minor);
      m_nInode = sx.stx_ino;
      m_nSize = sx.stx_size;
      m_nMode = sx.stx_mode;
      m_nModified = sx.stx_mtime.tv_sec;
      m_nAccessed = sx.stx_atime.tv_sec;
      m_nCreated = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime.tv_sec : m_nModified;
      return true;
    }
    struct stat st {};
    if (::fstat(m_nFd, &st) != 0) return false;
    m_nDevice = st.st_dev;
    m_nInode = st.st_ino;
    m_nSize = static_cast<uint64_t>(st.st_size);
    m_nMode = st.st_mode;
    m_nModified = m_nCreated = st.st_mtim.tv_sec;
    m_nAccessed = st.st_atim.tv_sec;
    return true;
  }
};

// Reads up to one block; -1 on a read error, 0 at the end of the file.
ssize_t ReadBlock(int fd, std::vector<uint8_t>& block) {
  for (;;) {
    ssize_t n = ::read(fd, block.data(), block.size());
    if (n >= 0 || errno != EINTR) return n;
  }
}

// A raw deflate stream with level 8 tuning; freed with the object.
class CDeflater {
 public:
  CDeflater() {
    m_bReady = deflateInit2(&m_stream, 8, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
  }
  ~CDeflater() {
    if (m_bReady) deflateEnd(&m_stream);
  }
  CDeflater(const CDeflater&) = delete;
  CDeflater& operator=(const CDeflater&) = delete;

  bool m_bReady = false;  // deflateInit2 succeeded
  z_stream m_stream{};    // zlib state
};

// Unix mode: regular file, owner may read, and write unless read-only. Linux has no archive
// bit; a freshly written file carries it on the systems the format comes from, so it is set.
uint32_t FileAttributes(uint32_t mode) {
  const bool readOnly = (mode & S_IWUSR) == 0;
  const uint32_t dos = 0x20 | (readOnly ? 0x01 : 0x00);
  const uint32_t unixMode = 0x8000 | 0x0100 | (readOnly ? 0 : 0x0080);
  return (unixMode << 16) | dos;
}

bool IsAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

void SetTimes(CZipEntry& e, const std::tm& dosTime, int64_t modified, int64_t accessed, int64_t created) {
  ToDosDateTime(dosTime, e.m_nDosTime, e.m_nDosDate);
  e.m_nModTime = ClampUnixTime(modified);
  e.m_nAccessTime = ClampUnixTime(accessed);
  e.m_nCreateTime = ClampUnixTime(created);
}

}  // namespace

std::optional<std::string> MakeZipEntryName(std::wstring_view name, bool bFolder) {
  if (name.empty() || name.find(L'\0') != std::wstring_view::npos) return std::nullopt;
  std::optional<std::string> bytes = platform::WideToUtf8(name);
  if (!bytes) return std::nullopt;
  std::string& out = *bytes;
  std::replace(out.begin(), out.end(), '\\', '/');
  if (out.back() == '/') {
    if (!bFolder) return std::nullopt;
    out.pop_back();
  }
  // Every component must be a real name: no absolute path, no "..", no empty step.
  size_t start = 0;
  for (;;) {
    size_t end = out.find('/', start);
    std::string_view part(out.data() + start, (end == std::string::npos ? out.size() : end) - start);
    if (part.empty() || part == "." || part == "..") return std::nullopt;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  if (bFolder) out += '/';
  if (out.size() > 0xFFFF) return std::nullopt;
  return bytes;
}

bool IsStoredZipName(std::string_view entryName) {
  static constexpr std::string_view kStored[] = {".Z", ".zip", ".zoo", ".arc", ".lzh", ".arj", ".gz", ".tgz"};
  size_t dot = entryName.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string_view ext = entryName.substr(dot);
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  for (std::string_view candidate : kStored) {
    if (candidate.size() == ext.size() &&
        std::equal(ext.begin(), ext.end(), candidate.begin(), [&](char a, char b) { return lower(a) == lower(b); }))
      return true;
  }
  return false;
}

void ToDosDateTime(const std::tm& t, uint16_t& dosTime, uint16_t& dosDate) {
  const int year = t.tm_year + 1900;
  if (year < 1980) {
    dosTime = 0;
    dosDate = (1 << 5) | 1;  // 1980-01-01 00:00:00
    return;
  }
  if (year > 2107) {
    dosTime = static_cast<uint16_t>((23 << 11) | (59 << 5) | 29);  // 23:59:58
    dosDate = static_cast<uint16_t>((127 << 9) | (12 << 5) | 31);  // 2107-12-31
    return;
  }
  dosTime = static_cast<uint16_t>((t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec / 2));
  dosDate = static_cast<uint16_t>(((year - 1980) << 9) | ((t.tm_mon + 1) << 5) | t.tm_mday);
}

int32_t ClampUnixTime(int64_t seconds) {
  constexpr int64_t kLatest = 2145916799;  // 2037-12-31 23:59:59 UTC
  std::tm t{};
  const time_t value = static_cast<time_t>(seconds);
  if (!::gmtime_r(&value, &t)) return seconds < 0 ? 0 : static_cast<int32_t>(kLatest);
  if (t.tm_year + 1900 < 1970) {
    t.tm_year = 70;
    t.tm_mon = 0;
    t.tm_mday = 1;
  } else if (t.tm_year + 1900 > 2037) {
    t.tm_year = 137;
    t.tm_mon = 11;
    t.tm_mday = 31;
  }
  return static_cast<int32_t>(::timegm(&t));
}

CZipWriter::CZipWriter() = default;

CZipWriter::~CZipWriter() { Discard(); }

int CZipWriter::Create(const std::wstring& archivePath) {
  if (m_pOutput || m_bClosed || m_nFailure != kZipOk) return kZipErrorState;
  std::optional<std::filesystem::path> path = platform::ToPath(archivePath);
  if (!path) return kZipErrorCreate;
  int fd = ::open(path->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return kZipErrorCreate;
  return Create(std::make_unique<CFileSink>(fd, *path));
}

int CZipWriter::Create(std::unique_ptr<IZipSink> sink) {
  if (m_pOutput || m_bClosed || m_nFailure != kZipOk || !sink) return kZipErrorState;
  m_pOutput = std::move(sink);
  m_nOffset = 0;
  m_vecInput.resize(kBlockSize);
  m_vecOutput.resize(kBlockSize);
  return kZipOk;
}

int CZipWriter::CheckWritable() const {
  if (m_nFailure != kZipOk) return m_nFailure;
  if (!m_pOutput || m_bClosed) return kZipErrorState;
  return kZipOk;
}

int CZipWriter::Emit(const uint8_t* data, size_t size) {
  if (!m_pOutput->Append(data, size)) {
    m_nFailure = kZipErrorWrite;
    return m_nFailure;
  }
  m_nOffset += size;
  return kZipOk;
}

int CZipWriter::AddFile(const std::wstring& entryName, const std::wstring& sourcePath) {
  if (int status = CheckWritable()) return status;
  std::optional<std::filesystem::path> path = platform::ToPath(sourcePath);
  if (!path) return kZipErrorSource;
  return AddFileFromPath(entryName, *path);
}

int CZipWriter::AddFileFromPath(const std::wstring& entryName, const std::filesystem::path& sourcePath) {
  if (int status = CheckWritable()) return status;
  std::optional<std::string> name = MakeZipEntryName(entryName, false);
  if (!name) return kZipErrorName;
  CSourceFile source;
  if (!source.Open(sourcePath)) return kZipErrorSource;
  // Reading the archive into itself would never reach its end.
  if (m_pOutput->IsOutputFile(source.m_nDevice, source.m_nInode)) return kZipErrorSource;

  CZipEntry entry;
  entry.m_strName = std::move(*name);
  const bool stored = IsStoredZipName(entry.m_strName);
  entry.m_nMethod = stored ? kMethodStored : kMethodDeflated;
  entry.m_nExternalAttributes = FileAttributes(source.m_nMode);
  // The DOS time is the last write exactly as the file system reports it, in UTC.
  std::tm modified{};
  const time_t mtime = static_cast<time_t>(source.m_nModified);
  if (!::gmtime_r(&mtime, &modified)) modified.tm_year = mtime < 0 ? 0 : 300;
  SetTimes(entry, modified, source.m_nModified, source.m_nAccessed, source.m_nCreated);
  entry.m_nUncompressedSize = static_cast<uint32_t>(std::min<uint64_t>(source.m_nSize, kMax32));
  if (stored) entry.m_nCompressedSize = entry.m_nUncompressedSize;

  const uint16_t flags = kFlagDataDescriptor | (stored ? 0 : kFlagMaxCompression);
  if (int status = BeginEntry(entry, flags)) return status;
  int status = stored ? CopyStored(source.m_nFd, entry) : CopyDeflated(source.m_nFd, entry);
  if (status != kZipOk) return status;
  entry.m_nFlags = flags & ~kFlagDataDescriptor;
  return FinishEntry(entry);
}

int CZipWriter::AddFolder(const std::wstring& entryName) {
  if (int status = CheckWritable()) return status;
  std::optional<std::string> name = MakeZipEntryName(entryName, true);
  if (!name) return kZipErrorName;
  CZipEntry entry;
  entry.m_strName = std::move(*name);
  entry.m_nMethod = kMethodStored;
  entry.m_nExternalAttributes = kFolderAttributes;
  // A folder is dated the moment it is added: the DOS fields in local time.
  const time_t now = ::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  SetTimes(entry, local, now, now, now);
  if (int status = BeginEntry(entry, kFlagDataDescriptor)) return status;
  entry.m_nFlags = 0;
  return FinishEntry(entry);
}

// Writes the provisional local header, already of its final length, at the running offset.
int CZipWriter::BeginEntry(CZipEntry& entry, uint16_t provisionalFlags) {
  if (m_vecEntries.size() >= kMaxEntries || m_nOffset > kMax32) return kZipErrorLimit;
  entry.m_nLocalHeaderOffset = static_cast<uint32_t>(m_nOffset);
  const uint16_t nameFlag = IsAscii(entry.m_strName) ? 0 : kFlagUtf8Name;
  return Emit(BuildLocalHeader(entry, provisionalFlags | nameFlag));
}

// Rewrites the local header with the final flags, CRC and sizes, then lists the entry.
int CZipWriter::FinishEntry(CZipEntry& entry) {
  if (!IsAscii(entry.m_strName)) entry.m_nFlags |= kFlagUtf8Name;
  std::vector<uint8_t> header = BuildLocalHeader(entry, entry.m_nFlags);
  if (!m_pOutput->WriteAt(entry.m_nLocalHeaderOffset, header.data(), header.size())) {
    m_nFailure = kZipErrorWrite;
    return m_nFailure;
  }
  m_vecEntries.push_back(std::move(entry));
  return kZipOk;
}

// Records the true sizes; bytes beyond 32 bits cannot be described by this format.
int CZipWriter::AccountData(CZipEntry& entry, uint64_t read, uint64_t written) {
  if (read > kMax32 || written > kMax32) return kZipErrorLimit;
  entry.m_nUncompressedSize = static_cast<uint32_t>(read);
  entry.m_nCompressedSize = static_cast<uint32_t>(written);
  return kZipOk;
}

int CZipWriter::CopyStored(int fd, CZipEntry& entry) {
  uLong crc = crc32(0L, Z_NULL, 0);
  uint64_t total = 0;
  for (;;) {
    ssize_t n = ReadBlock(fd, m_vecInput);
    if (n < 0) return kZipErrorRead;
    if (n == 0) break;
    crc = crc32(crc, m_vecInput.data(), static_cast<uInt>(n));
    total += static_cast<uint64_t>(n);
    if (total > kMax32) return kZipErrorLimit;
    if (int status = Emit(m_vecInput.data(), static_cast<size_t>(n))) return status;
  }
  entry.m_nCrc32 = static_cast<uint32_t>(crc);
  return AccountData(entry, total, total);
}

int CZipWriter::CopyDeflated(int fd, CZipEntry& entry) {
  CDeflater deflater;
  if (!deflater.m_bReady) return kZipErrorDeflate;
  z_stream& zs = deflater.m_stream;
  uLong crc = crc32(0L, Z_NULL, 0);
  uint64_t read = 0;
  uint64_t written = 0;
  int flush = Z_NO_FLUSH;
  while (flush != Z_FINISH) {
    ssize_t n = ReadBlock(fd, m_vecInput);
    if (n < 0) return kZipErrorRead;
    flush = n == 0 ? Z_FINISH : Z_NO_FLUSH;
    crc = crc32(crc, m_vecInput.data(), static_cast<uInt>(n));
    read += static_cast<uint64_t>(n);
    zs.next_in = m_vecInput.data();
    zs.avail_in = static_cast<uInt>(n);
    int result = Z_OK;
    do {  // drain the output until zlib has taken the whole block (and, at the end, finished)
      zs.next_out = m_vecOutput.data();
      zs.avail_out = static_cast<uInt>(m_vecOutput.size());
      result = deflate(&zs, flush);
      if (result == Z_STREAM_ERROR) return kZipErrorDeflate;
      const size_t produced = m_vecOutput.size() - zs.avail_out;
      written += produced;
      if (read > kMax32 || written > kMax32) return kZipErrorLimit;
      if (int status = Emit(m_vecOutput.data(), produced)) return status;
    } while (zs.avail_out == 0);
    if (flush == Z_FINISH && result != Z_STREAM_END) return kZipErrorDeflate;
  }
  entry.m_nCrc32 = static_cast<uint32_t>(crc);
  return AccountData(entry, read, written);
}

int CZipWriter::Close() {
  if (m_bClosed) return kZipOk;
  if (!m_pOutput) return m_nFailure != kZipOk ? m_nFailure : kZipErrorState;
  int status = m_nFailure;
  const uint64_t directoryOffset = m_nOffset;
  for (const CZipEntry& entry : m_vecEntries) {
    if (status != kZipOk) break;
    status = Emit(BuildCentralHeader(entry));
  }
  const uint64_t directorySize = m_nOffset - directoryOffset;
  if (status == kZipOk && (directoryOffset > kMax32 || directorySize > kMax32)) status = kZipErrorLimit;
  if (status == kZipOk)
    status = Emit(BuildEndRecord(m_vecEntries.size(), static_cast<uint32_t>(directorySize),
                                 static_cast<uint32_t>(directoryOffset)));
  if (status == kZipOk && !m_pOutput->Commit()) status = kZipErrorWrite;
  if (status == kZipOk) {
    m_bClosed = true;
  } else {
    m_pOutput->Discard();
    m_nFailure = status;
  }
  m_pOutput.reset();
  return status;
}

void CZipWriter::Discard() {
  if (!m_pOutput) return;
  m_pOutput->Discard();
  m_pOutput.reset();
  if (m_nFailure == kZipOk) m_nFailure = kZipErrorState;
}
