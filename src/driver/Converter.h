#pragma once
// CConverter: the worker thread, its job queue and cancel flag, and the objects every job
// reuses (one document interface, one writer of each kind). The owner creates it once,
// starts it, hands it jobs and receives every result through its sink.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "driver/ConvertJob.h"
#include "driver/ConvertNotify.h"
#include "driver/PageWriters.h"
#include "pdf/MuInterface.h"

class CConverter {
 public:
  CConverter();
  // Stops the worker (cancel raised, worker woken, thread joined) before anything is freed.
  ~CConverter();
  CConverter(const CConverter&) = delete;
  CConverter& operator=(const CConverter&) = delete;

  // Stores the owner and the program folder and starts the worker thread. Call once.
  void Start(IConvertSink* owner, const std::wstring& programDir);
  // Stores the owner and the program folder only: ConvertFile may then run on the caller's
  // thread (tests and tools that drive one job themselves).
  void SetOwner(IConvertSink* owner, const std::wstring& programDir);

  // Replaces the queued jobs with `jobs` and lowers the cancel flag; an empty list does nothing.
  void AddJobs(const std::vector<CConvertJob>& jobs);

  // Raises the cancel flag; the running job stops at its next check.
  void CancelJobs();

  // Installs the writers; a kind whose writer is missing fails its jobs with a reason.
  void SetPresentationWriter(std::unique_ptr<IPresentationWriter> writer);
  void SetTextWriter(std::unique_ptr<ITextWriter> writer);

  // Used by ConvertFile.
  bool IsCancelRaised();
  void DiscardQueuedJobs();
  void Notify(const CConvertNotify& notify);

  std::wstring m_strProgramDir;      // folder of the executable, no trailing separator
  CMuInterface m_muInterface;        // the conversion instance
  std::unique_ptr<ITextWriter> m_pTextWriter;
  std::unique_ptr<IPresentationWriter> m_pPptxWriter;
  std::wstring m_strMessage;         // reason of the last failure or warning of the last job

 private:
  static void WorkerMain(CConverter* converter);

  std::mutex m_queueLock;                 // guards m_queJobs and m_bStopping
  std::mutex m_cancelLock;                // guards m_bCancel
  std::mutex m_wakeLock;                  // held while the wake condition is signalled
  std::condition_variable m_wakeCondition;  // the worker sleeps on it while the queue is empty
  std::deque<CConvertJob> m_queJobs;      // front is converted next
  bool m_bCancel = false;                 // raised by Cancel, lowered by AddJobs
  bool m_bStopping = false;               // set once, by the destructor
  std::atomic<bool> m_bSilenced{false};   // no notification reaches the owner once stopping
  IConvertSink* m_pOwner = nullptr;
  std::thread m_worker;
};
