// PDF bytes through a whole job: open, LoadPage of the first pages, layout and both writers
// (the presentation package and the text file), each into the process's temporary folder.
// A job must end done with its output file, or failed with a reason and no output.

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "FuzzSupport.h"
#include "driver/ConvertFile.h"
#include "driver/Converter.h"
#include "driver/OutputKind.h"
#include "pdf/MuInterface.h"
#include "platform/Strings.h"

namespace {

// Pages converted per input at most: enough for cross-page state, short enough to fuzz fast.
constexpr int kMaxPages = 3;

class CQuietSink : public IConvertSink {
 public:
  void OnConvertNotify(const CConvertNotify&) override {}
};

void ConvertAs(int kind, const std::wstring& input, const std::vector<int32_t>& pages) {
  static CQuietSink sink;
  CConverter converter;
  converter.SetOwner(&sink, platform::Utf8ToWide(PAGEVANE_FUZZ_PROGRAM_DIR));
  const std::filesystem::path output =
      fuzzing::WorkFolder() / ("output" + platform::WideToUtf8Lossy(GetKindExtension(kind)));
  CConvertJob job;
  job.m_strInputPath = input;
  job.m_strOutputPath = platform::FromPath(output);
  job.m_vecPages = pages;
  job.m_nKind = kind;
  job.m_nItemIndex = 1;
  const int result = ConvertFile(job, converter);
  std::error_code ec;
  const bool exists = std::filesystem::exists(output, ec);
  if (result == CONVERT_DONE && !exists) fuzzing::Fail("job done without its output file");
  if (result == CONVERT_FAILED && converter.m_strMessage.empty()) fuzzing::Fail("job failed without a reason");
  if (result == CONVERT_FAILED && exists) fuzzing::Fail("failed job left its output file");
  if (result == CONVERT_CANCELLED) fuzzing::Fail("job cancelled without a cancel");
  std::filesystem::remove(output, ec);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring input = fuzzing::WriteInput(data, size);
  const int count = CMuInterface::CheckDocument(input, "", "");
  // A file that does not open still runs as a one-page job: the open failure path is tested too.
  std::vector<int32_t> pages{1};
  for (int page = 2; page <= count && page <= kMaxPages; ++page) pages.push_back(page);
  ConvertAs(KIND_POWERPOINT, input, pages);
  ConvertAs(KIND_TEXT, input, pages);
  return 0;
}
