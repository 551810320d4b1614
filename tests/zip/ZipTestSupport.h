#pragma once
// Test helpers for the archive writer: an independent parser of the bytes we write, raw
// inflate, file-tree builders and a sink that fails after N bytes.

#include <fcntl.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "zip/ZipWriter.h"

namespace zip_testing {

using Bytes = std::vector<uint8_t>;

inline uint16_t U16(const Bytes& b, size_t at) { return static_cast<uint16_t>(b.at(at) | (b.at(at + 1) << 8)); }
inline uint32_t U32(const Bytes& b, size_t at) { return U16(b, at) | (static_cast<uint32_t>(U16(b, at + 2)) << 16); }
inline std::string Str(const Bytes& b, size_t at, size_t n) {
  if (at + n > b.size()) throw std::out_of_range("string beyond the archive");
  return std::string(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + n));
}

// The fields of one header as found in the archive bytes.
struct Header {
  uint16_t madeBy = 0;     // central only
  uint16_t needed = 0;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint16_t dosTime = 0;
  uint16_t dosDate = 0;
  uint32_t crc = 0;
  uint32_t compressedSize = 0;
  uint32_t size = 0;
  std::string name;
  std::string extra;       // raw extra field bytes
  uint16_t commentLength = 0;  // central only
  uint16_t diskStart = 0;      // central only
  uint16_t internalAttributes = 0;  // central only
  uint32_t externalAttributes = 0;  // central only
  uint32_t localOffset = 0;         // central only
};

struct Entry {
  Header local;
  Header central;
  std::string data;  // the entry's data bytes as stored in the archive
};

struct Archive {
  std::vector<Entry> entries;
  uint32_t directorySize = 0;
  uint32_t directoryOffset = 0;
};

// Parses an archive the way a reader would: end record, central directory, local headers.
// Throws std::out_of_range (caught by the test as a failure) on truncated input.
inline Archive Parse(const Bytes& b) {
  Archive a;
  if (b.size() < 22) throw std::out_of_range("shorter than an end record");
  const size_t end = b.size() - 22;
  if (U32(b, end) != 0x06054B50) throw std::out_of_range("no end record");
  const uint16_t count = U16(b, end + 10);
  a.directorySize = U32(b, end + 12);
  a.directoryOffset = U32(b, end + 16);
  size_t at = a.directoryOffset;
  for (uint16_t i = 0; i < count; ++i) {
    if (U32(b, at) != 0x02014B50) throw std::out_of_range("no central header");
    Entry e;
    Header& c = e.central;
    c.madeBy = U16(b, at + 4);
    c.needed = U16(b, at + 6);
    c.flags = U16(b, at + 8);
    c.method = U16(b, at + 10);
    c.dosTime = U16(b, at + 12);
    c.dosDate = U16(b, at + 14);
    c.crc = U32(b, at + 16);
    c.compressedSize = U32(b, at + 20);
    c.size = U32(b, at + 24);
    const uint16_t n = U16(b, at + 28), x = U16(b, at + 30);
    c.commentLength = U16(b, at + 32);
    c.diskStart = U16(b, at + 34);
    c.internalAttributes = U16(b, at + 36);
    c.externalAttributes = U32(b, at + 38);
    c.localOffset = U32(b, at + 42);
    c.name = Str(b, at + 46, n);
    c.extra = Str(b, at + 46 + n, x);
    at += 46 + n + x + c.commentLength;

    size_t lo = c.localOffset;
    if (U32(b, lo) != 0x04034B50) throw std::out_of_range("no local header");
    Header& l = e.local;
    l.needed = U16(b, lo + 4);
    l.flags = U16(b, lo + 6);
    l.method = U16(b, lo + 8);
    l.dosTime = U16(b, lo + 10);
    l.dosDate = U16(b, lo + 12);
    l.crc = U32(b, lo + 14);
    l.compressedSize = U32(b, lo + 18);
    l.size = U32(b, lo + 22);
    const uint16_t ln = U16(b, lo + 26), lx = U16(b, lo + 28);
    l.name = Str(b, lo + 30, ln);
    l.extra = Str(b, lo + 30 + ln, lx);
    e.data = Str(b, lo + 30 + ln + lx, l.compressedSize);
    a.entries.push_back(std::move(e));
  }
  if (at != static_cast<size_t>(a.directoryOffset) + a.directorySize || at != end)
    throw std::out_of_range("central directory size does not match");
  return a;
}

inline std::optional<std::string> InflateRaw(const std::string& data) {
  z_stream zs{};
  if (inflateInit2(&zs, -MAX_WBITS) != Z_OK) return std::nullopt;
  std::string out;
  char buffer[65536];
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  int result = Z_OK;
  while (result == Z_OK) {
    zs.next_out = reinterpret_cast<Bytef*>(buffer);
    zs.avail_out = sizeof buffer;
    result = inflate(&zs, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - zs.avail_out);
    if (result == Z_BUF_ERROR && zs.avail_in == 0) break;
  }
  const bool complete = result == Z_STREAM_END && zs.avail_in == 0;
  inflateEnd(&zs);
  if (!complete) return std::nullopt;
  return out;
}

inline uint32_t Crc(const std::string& s) {
  return static_cast<uint32_t>(crc32(0L, reinterpret_cast<const Bytef*>(s.data()), static_cast<uInt>(s.size())));
}

inline Bytes ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteText(const std::filesystem::path& path, const std::string& content) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

// Sets the last-write and last-access times of a file, in seconds since 1970 (UTC).
inline void SetTimes(const std::filesystem::path& path, int64_t modified, int64_t accessed) {
  struct timespec times[2] = {{static_cast<time_t>(accessed), 0}, {static_cast<time_t>(modified), 0}};
  ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// Runs a shell command and returns its exit status and standard output.
inline std::pair<int, std::string> RunCommand(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return {-1, out};
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  return {::pclose(pipe), out};
}

// An in-memory archive whose writes fail once `limit` bytes (appended or patched) are spent;
// it can also refuse to commit.
class FailingSink : public IZipSink {
 public:
  struct State {
    Bytes bytes;               // the archive as written
    size_t written = 0;        // bytes accepted so far, appended or patched
    bool committed = false;    // Commit succeeded
    bool discarded = false;    // Discard was called
  };
  FailingSink(State& state, size_t limit, bool failCommit = false)
      : m_state(state), m_limit(limit), m_failCommit(failCommit) {}

  bool Append(const uint8_t* data, size_t size) override {
    if (!Spend(size)) return false;
    m_state.bytes.insert(m_state.bytes.end(), data, data + size);
    return true;
  }
  bool WriteAt(uint64_t offset, const uint8_t* data, size_t size) override {
    if (offset + size > m_state.bytes.size() || !Spend(size)) return false;
    std::copy(data, data + size, m_state.bytes.begin() + static_cast<long>(offset));
    return true;
  }
  bool Commit() override { return m_state.committed = !m_failCommit; }
  void Discard() override { m_state.discarded = true; }

 private:
  bool Spend(size_t size) {
    if (m_state.written + size > m_limit) return false;
    m_state.written += size;
    return true;
  }
  State& m_state;
  size_t m_limit;
  bool m_failCommit;
};

}  // namespace zip_testing
