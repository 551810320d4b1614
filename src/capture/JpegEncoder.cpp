#include "capture/JpegEncoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <jerror.h>

#include "capture/TextPage.h"

namespace capture {

namespace {

constexpr size_t kChunkSize = 4096;          // bytes the library fills before we take them
constexpr size_t kMinOutputSize = 10240;     // room for headers and tables of tiny pictures
constexpr float kMaxJpegSide = JPEG_MAX_DIMENSION;

// The library reports errors by calling error_exit; ours jumps back into the encoding frame.
struct JpegErrorManager {
  jpeg_error_mgr pub;  // first, so the library's pointer is ours
  jmp_buf jump;
};

// Collects the encoded stream in memory, one chunk at a time. Plain C data: it lives in
// the encoding frame, which the library may leave by longjmp.
struct MemoryDestination {
  jpeg_destination_mgr pub;  // first, so the library's pointer is ours
  JOCTET chunk[kChunkSize];
  JOCTET* out;               // malloc'd, grows when a picture encodes larger than expected
  size_t used;
  size_t capacity;
};

void OnJpegError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
  std::longjmp(err->jump, 1);
}

void OnJpegMessage(j_common_ptr) {}  // warnings are not for the user's terminal

MemoryDestination* DestinationOf(j_compress_ptr cinfo) {
  return reinterpret_cast<MemoryDestination*>(cinfo->dest);
}

// Appends to the output buffer, doubling it when full; false when memory runs out.
bool Append(MemoryDestination& dest, const JOCTET* bytes, size_t count) {
  if (dest.used + count > dest.capacity) {
    size_t capacity = dest.capacity * 2;
    while (capacity < dest.used + count) capacity *= 2;
    auto* grown = static_cast<JOCTET*>(std::realloc(dest.out, capacity));
    if (!grown) return false;
    dest.out = grown;
    dest.capacity = capacity;
  }
  std::memcpy(dest.out + dest.used, bytes, count);
  dest.used += count;
  return true;
}

void InitDestination(j_compress_ptr cinfo) {
  MemoryDestination* dest = DestinationOf(cinfo);
  dest->pub.next_output_byte = dest->chunk;
  dest->pub.free_in_buffer = kChunkSize;
}

// Called when the chunk is full: the library expects the whole chunk taken, whatever
// next_output_byte says.
boolean EmptyDestination(j_compress_ptr cinfo) {
  MemoryDestination* dest = DestinationOf(cinfo);
  if (!Append(*dest, dest->chunk, kChunkSize)) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
  dest->pub.next_output_byte = dest->chunk;
  dest->pub.free_in_buffer = kChunkSize;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  MemoryDestination* dest = DestinationOf(cinfo);
  if (!Append(*dest, dest->chunk, kChunkSize - dest->pub.free_in_buffer))
    ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
}

// One compression. The library leaves this frame by longjmp on errors, so it holds only
// plain C data.
bool Compress(const JOCTET* rgb, JDIMENSION width, JDIMENSION height, MemoryDestination& dest) {
  jpeg_compress_struct cinfo = {};
  JpegErrorManager err;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnJpegError;
  err.pub.output_message = OnJpegMessage;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  cinfo.dest = &dest.pub;
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 100, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  const size_t stride = size_t(width) * 3;
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPLE*>(rgb + size_t(cinfo.next_scanline) * stride);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

// The picture's pixel size; false when JPEG cannot hold it or its data does not cover it.
bool PixelSize(const nsPDFData::CImageObj& picture, JDIMENSION& width, JDIMENSION& height) {
  if (!(picture.m_fPixWidth >= 1 && picture.m_fPixWidth < kMaxJpegSide + 1)) return false;
  if (!(picture.m_fPixHeight >= 1 && picture.m_fPixHeight < kMaxJpegSide + 1)) return false;
  width = JDIMENSION(picture.m_fPixWidth);
  height = JDIMENSION(picture.m_fPixHeight);
  const uint64_t bytes = uint64_t(width) * height * 3;
  return picture.m_pData && picture.m_nDataSize >= 0 && bytes <= uint64_t(picture.m_nDataSize);
}

}  // namespace

bool EncodeJpeg(nsPDFData::CImageObj& picture) {
  JDIMENSION width = 0;
  JDIMENSION height = 0;
  if (!PixelSize(picture, width, height)) return false;

  MemoryDestination dest{};
  dest.pub.init_destination = InitDestination;
  dest.pub.empty_output_buffer = EmptyDestination;
  dest.pub.term_destination = TermDestination;
  // Twice the raw size is more than quality 100 ever needs on photographs; the buffer
  // still grows if a picture proves otherwise.
  dest.capacity = std::max(size_t(picture.m_nDataSize) * 2, kMinOutputSize);
  dest.out = static_cast<JOCTET*>(std::malloc(dest.capacity));
  if (!dest.out) return false;

  bool ok = Compress(picture.m_pData, width, height, dest) &&
            dest.used <= size_t(std::numeric_limits<int32_t>::max());
  if (ok) {
    auto* bytes = new uint8_t[dest.used];
    std::memcpy(bytes, dest.out, dest.used);
    delete[] picture.m_pData;
    picture.m_pData = bytes;
    picture.m_nDataSize = int32_t(dest.used);
  }
  std::free(dest.out);
  return ok;
}

}  // namespace capture
