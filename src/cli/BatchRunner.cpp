#include "cli/BatchRunner.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "cli/ExitCodes.h"
#include "cli/InterruptWatch.h"
#include "cli/PasswordPrompt.h"
#include "cli/ProgressDisplay.h"
#include "driver/Converter.h"
#include "driver/PageRange.h"
#include "pdf/MuInterface.h"
#include "platform/ProgramDir.h"
#include "platform/Strings.h"

// One converter and the sink through which its worker reports.
class CBatchRunner::CSlot : public IConvertSink {
 public:
  explicit CSlot(CBatchRunner& runner) : m_runner(runner) {}
  void OnConvertNotify(const CConvertNotify& notify) override { m_runner.Post(*this, notify); }

  CBatchRunner& m_runner;
  int m_nItem = 0;            // 1-based file index of the running job; 0 when idle
  std::wstring m_strOutput;   // the running job's reserved output path
  // Last: destroyed first, so the worker is joined while the fields above still live.
  CConverter m_converter;
};

namespace {

std::string DescribeOpenFailure(int code, const std::wstring& path) {
  switch (code) {
    case OPEN_NO_CONTEXT: return "The PDF engine could not be started.";
    case OPEN_CANNOT_READ: {
      std::error_code ec;
      auto fsPath = platform::ToPath(path);
      if (fsPath && !std::filesystem::exists(*fsPath, ec)) return "The file does not exist.";
      if (fsPath && std::filesystem::is_directory(*fsPath, ec)) return "It is a folder, not a PDF file.";
      return "The file cannot be opened for reading.";
    }
    case OPEN_BAD_PATH: return "The file's path is too long or cannot be converted.";
    case OPEN_NEEDS_PASSWORD: return "The password does not open the file.";
    default: return "The file is not a PDF or is damaged.";
  }
}

}  // namespace

CBatchRunner::CBatchRunner(const CCliOptions& options, CProgressDisplay& display, CInterruptWatch& interrupts)
    : m_options(options),
      m_display(display),
      m_interrupts(interrupts),
      m_namer(platform::Utf8ToWide(options.m_strOutputDir)),
      m_strProgramDir(platform::GetProgramDir()) {}

CBatchRunner::~CBatchRunner() { Close(); }

int CBatchRunner::Run() {
  const size_t converters = std::min(static_cast<size_t>(std::max(m_options.m_nJobs, 1)), m_options.m_vecFiles.size());
  {
    CInterruptShield workersIgnoreCtrlC;
    for (size_t i = 0; i < converters; ++i) {
      m_vecSlots.push_back(std::make_unique<CSlot>(*this));
      m_vecSlots.back()->m_converter.Start(m_vecSlots.back().get(), m_strProgramDir);
    }
  }
  for (auto& slot : m_vecSlots) StartNext(*slot);

  while (RunningCount() > 0) {
    m_interrupts.Wait();
    if (m_interrupts.IsRaised() && !m_bCancelled) {
      m_bCancelled = true;
      for (auto& slot : m_vecSlots)
        if (slot->m_nItem != 0) slot->m_converter.CancelJobs();
    }
    for (;;) {
      CEvent event;
      {
        std::lock_guard lock(m_eventLock);
        if (m_queEvents.empty()) break;
        event = std::move(m_queEvents.front());
        m_queEvents.pop_front();
      }
      const bool slotFree = Handle(event);
      {
        std::lock_guard lock(m_eventLock);
        m_nHandled = event.m_nSerial;
      }
      m_handledCondition.notify_all();
      // After releasing the worker: building the next job may wait for a password.
      if (slotFree) StartNext(*event.m_pSlot);
    }
  }
  Close();
  if (m_bCancelled || m_interrupts.IsRaised()) return EXIT_CANCELLED;
  return m_nFailed > 0 ? EXIT_SOME_FAILED : EXIT_ALL_DONE;
}

void CBatchRunner::Post(CSlot& slot, const CConvertNotify& notify) {
  std::unique_lock lock(m_eventLock);
  if (m_bClosing) return;
  CEvent event;
  event.m_pSlot = &slot;
  event.m_notify = notify;
  event.m_notify.m_pszMessage = nullptr;
  if (notify.m_pszMessage) event.m_strMessage = notify.m_pszMessage;
  event.m_nSerial = ++m_nPosted;
  m_queEvents.push_back(std::move(event));
  const uint64_t serial = m_nPosted;
  m_interrupts.Wake();
  m_handledCondition.wait(lock, [&] { return m_bClosing || m_nHandled >= serial; });
}

bool CBatchRunner::Handle(const CEvent& event) {
  CSlot& slot = *event.m_pSlot;
  const CConvertNotify& notify = event.m_notify;
  if (notify.m_nItemIndex != slot.m_nItem || slot.m_nItem == 0) return false;
  const std::string& input = m_options.m_vecFiles.at(static_cast<size_t>(slot.m_nItem - 1));
  const std::string message = platform::WideToUtf8Lossy(event.m_strMessage);
  switch (notify.m_nNotifyType) {
    case NOTIFY_PROGRESS:
      m_display.Progress(slot.m_nItem, notify.m_fProgress);
      return false;
    case NOTIFY_DONE: {
      std::error_code ec;
      auto path = platform::ToPath(slot.m_strOutput);
      const bool written = path && std::filesystem::exists(*path, ec);
      m_display.Done(slot.m_nItem, input, written ? DisplayPath(slot.m_strOutput) : "(nothing to write)", message);
      break;
    }
    case NOTIFY_CANCELLED:
      m_display.Cancelled(slot.m_nItem, input);
      break;
    default:
      ++m_nFailed;
      m_display.Failed(slot.m_nItem, input, message.empty() ? "The conversion failed." : message);
      break;
  }
  m_namer.Release(slot.m_strOutput);
  slot.m_nItem = 0;
  slot.m_strOutput.clear();
  return true;
}

void CBatchRunner::StartNext(CSlot& slot) {
  while (m_nNextFile < m_options.m_vecFiles.size() && !m_interrupts.IsRaised()) {
    const size_t index = m_nNextFile++;
    CConvertJob job;
    if (!BuildJob(index, job)) continue;
    slot.m_nItem = job.m_nItemIndex;
    slot.m_strOutput = job.m_strOutputPath;
    m_display.Started(job.m_nItemIndex, m_options.m_vecFiles[index]);
    slot.m_converter.AddJobs({job});
    return;
  }
}

bool CBatchRunner::BuildJob(size_t index, CConvertJob& job) {
  const std::wstring path = platform::Utf8ToWide(m_options.m_vecFiles[index]);
  // Paths travel as wide strings: a name whose bytes are not UTF-8 cannot be reached.
  if (platform::WideToUtf8(path) != m_options.m_vecFiles[index]) {
    Fail(index, "The file's name is not valid UTF-8.");
    return false;
  }
  std::string password;
  int pageCount = CMuInterface::CheckDocument(path, "", "");
  if (pageCount == OPEN_NEEDS_PASSWORD && !FindPassword(index, path, password, pageCount)) return false;
  if (pageCount < 0) {
    Fail(index, DescribeOpenFailure(pageCount, path));
    return false;
  }
  if (pageCount == 0) {
    Fail(index, "The file has no pages.");
    return false;
  }
  if (!CheckPageRange(m_options.m_strPageRange, pageCount)) {
    Fail(index, "The page range " + platform::WideToUtf8Lossy(m_options.m_strPageRange) +
                    " goes beyond the file's " + std::to_string(pageCount) +
                    (pageCount == 1 ? " page." : " pages."));
    return false;
  }
  job.m_strOutputPath = m_namer.Reserve(path, m_options.m_nKind);
  if (job.m_strOutputPath.empty()) {
    Fail(index, "No free output name is left in the output folder.");
    return false;
  }
  job.m_strInputPath = path;
  for (int page : GetPageList(m_options.m_strPageRange, pageCount)) job.m_vecPages.push_back(page);
  job.m_strUserPassword = password;
  job.m_nKind = m_options.m_nKind;
  job.m_nWriterMode = 1;
  job.m_nItemIndex = static_cast<int32_t>(index + 1);
  return true;
}

bool CBatchRunner::FindPassword(size_t index, const std::wstring& path, std::string& password, int& pageCount) {
  const std::string& input = m_options.m_vecFiles[index];
  if (m_options.m_bPasswordGiven) {
    password = m_options.m_strPassword;
    pageCount = CMuInterface::CheckDocument(path, password, "");
    return true;  // a wrong password is reported from the page count
  }
  // Files of one batch often share a password: the one typed last is tried before asking.
  if (!m_strPromptedPassword.empty()) {
    pageCount = CMuInterface::CheckDocument(path, m_strPromptedPassword, "");
    if (pageCount != OPEN_NEEDS_PASSWORD) {
      password = m_strPromptedPassword;
      return true;
    }
  }
  if (!CanPromptForPassword()) {
    Fail(index, "The file needs a password; give it with --password-file or --password.");
    return false;
  }
  m_display.Suspend();
  switch (PromptForPassword(input, password, [this] { return m_interrupts.IsRaised(); })) {
    case PROMPT_ENTERED:
      break;
    case PROMPT_INTERRUPTED:
      return false;  // the batch is being cancelled: no line for a file that never started
    default:
      Fail(index, "The file needs a password and none was given.");
      return false;
  }
  pageCount = CMuInterface::CheckDocument(path, password, "");
  if (pageCount != OPEN_NEEDS_PASSWORD) m_strPromptedPassword = password;
  return true;
}

void CBatchRunner::Fail(size_t index, const std::string& reason) {
  ++m_nFailed;
  m_display.Failed(static_cast<int>(index + 1), m_options.m_vecFiles[index], reason);
}

// Outputs in the current folder are named as the user would type them.
std::string CBatchRunner::DisplayPath(const std::wstring& path) const {
  std::string text = platform::WideToUtf8Lossy(path);
  if (!m_options.m_bOutputDirGiven && text.rfind("./", 0) == 0) text.erase(0, 2);
  return text;
}

size_t CBatchRunner::RunningCount() const {
  return static_cast<size_t>(
      std::count_if(m_vecSlots.begin(), m_vecSlots.end(), [](const auto& slot) { return slot->m_nItem != 0; }));
}

void CBatchRunner::Close() {
  {
    std::lock_guard lock(m_eventLock);
    m_bClosing = true;
  }
  m_handledCondition.notify_all();
  m_vecSlots.clear();
}
