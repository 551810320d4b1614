// PDF bytes through the open check the file list runs on every added file: any input must
// give a page count or an open result code, never a crash or a leak.

#include <cstdint>

#include "FuzzSupport.h"
#include "pdf/MuInterface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring path = fuzzing::WriteInput(data, size);
  const int result = CMuInterface::CheckDocument(path, "", "");
  if (result < OPEN_ENGINE_ERROR) fuzzing::Fail("open result outside the documented codes");
  return 0;
}
