#pragma once
// CBatchRunner: converts the files of the command line as the desktop program's batch
// does. Each converter (CConverter, its worker thread and queue) gets one job at a time;
// the next job is built only when the previous result has arrived. With several
// converters, as many files convert at once. Everything but the conversion itself runs
// on the main thread: building jobs, reserving output names, asking for passwords,
// drawing progress and noticing Ctrl-C.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/OutputNamer.h"
#include "driver/ConvertJob.h"
#include "driver/ConvertNotify.h"

class CInterruptWatch;
class CProgressDisplay;

class CBatchRunner {
 public:
  CBatchRunner(const CCliOptions& options, CProgressDisplay& display, CInterruptWatch& interrupts);
  // Stops every converter; a worker waiting in a notification is released first.
  ~CBatchRunner();
  CBatchRunner(const CBatchRunner&) = delete;
  CBatchRunner& operator=(const CBatchRunner&) = delete;

  // Converts every file; returns the exit code (0 all done, 1 any failed, 130 cancelled).
  int Run();

 private:
  class CSlot;

  // One notification, copied off the worker's stack, waiting for the main thread.
  struct CEvent {
    CSlot* m_pSlot = nullptr;
    CConvertNotify m_notify;   // m_pszMessage is cleared: the text is in m_strMessage
    std::wstring m_strMessage; // the reason or warning that came with it
    uint64_t m_nSerial = 0;    // posting order
  };

  // Worker thread: queues the notification and waits until the main thread has handled it.
  void Post(CSlot& slot, const CConvertNotify& notify);
  // Main thread: handles one notification; true when the slot is free for the next file.
  bool Handle(const CEvent& event);
  // Builds jobs for the next files until one is queued on `slot` or none is left.
  void StartNext(CSlot& slot);
  // Checks file `index` and builds its job; false (after reporting why) when it cannot run.
  bool BuildJob(size_t index, CConvertJob& job);
  // The password that opens the file, asking for it when allowed; false when none does.
  bool FindPassword(size_t index, const std::wstring& path, std::string& password, int& pageCount);
  void Fail(size_t index, const std::string& reason);
  std::string DisplayPath(const std::wstring& path) const;
  size_t RunningCount() const;
  void Close();

  const CCliOptions& m_options;
  CProgressDisplay& m_display;
  CInterruptWatch& m_interrupts;
  COutputNamer m_namer;                 // unique names in the output folder
  std::wstring m_strProgramDir;         // folder of the executable, for the writers
  size_t m_nNextFile = 0;               // index of the next file to build a job for
  size_t m_nFailed = 0;                 // files that failed
  bool m_bCancelled = false;            // Ctrl-C seen and passed to the converters
  std::string m_strPromptedPassword;    // the last password typed at the prompt, tried first

  std::mutex m_eventLock;                      // guards the four fields below
  std::condition_variable m_handledCondition;  // signalled when m_nHandled grows or on closing
  std::deque<CEvent> m_queEvents;              // notifications not yet handled, oldest first
  uint64_t m_nPosted = 0;                      // serial of the last posted notification
  uint64_t m_nHandled = 0;                     // serial of the last handled notification
  bool m_bClosing = false;                     // notifications are dropped once set

  // Last: the slots (and their worker threads) go before the event queue they post to.
  std::vector<std::unique_ptr<CSlot>> m_vecSlots;
};
