#include "driver/Converter.h"

#include "driver/ConvertFile.h"
#include "pptx/PptxWriter.h"
#include "text/DocumentWriter.h"

CConverter::CConverter()
    : m_pTextWriter(std::make_unique<CDocumentWriter>()), m_pPptxWriter(std::make_unique<CPptxWriter>()) {}

CConverter::~CConverter() {
  {
    std::lock_guard lock(m_queueLock);
    m_bStopping = true;
    m_queJobs.clear();
  }
  m_bSilenced = true;
  CancelJobs();
  {
    std::lock_guard lock(m_wakeLock);
    m_wakeCondition.notify_all();
  }
  if (m_worker.joinable()) m_worker.join();
}

void CConverter::SetOwner(IConvertSink* owner, const std::wstring& programDir) {
  m_pOwner = owner;
  m_strProgramDir = programDir;
}

void CConverter::Start(IConvertSink* owner, const std::wstring& programDir) {
  SetOwner(owner, programDir);
  m_worker = std::thread(WorkerMain, this);
}

void CConverter::AddJobs(const std::vector<CConvertJob>& jobs) {
  if (jobs.empty()) return;
  {
    std::lock_guard lock(m_cancelLock);
    m_bCancel = false;
  }
  {
    std::lock_guard lock(m_queueLock);
    m_queJobs.assign(jobs.begin(), jobs.end());
  }
  std::lock_guard lock(m_wakeLock);
  m_wakeCondition.notify_one();
}

void CConverter::CancelJobs() {
  std::lock_guard lock(m_cancelLock);
  m_bCancel = true;
}

void CConverter::SetPresentationWriter(std::unique_ptr<IPresentationWriter> writer) {
  m_pPptxWriter = std::move(writer);
}

void CConverter::SetTextWriter(std::unique_ptr<ITextWriter> writer) {
  m_pTextWriter = std::move(writer);
}

bool CConverter::IsCancelRaised() {
  std::lock_guard lock(m_cancelLock);
  return m_bCancel;
}

void CConverter::DiscardQueuedJobs() {
  std::lock_guard lock(m_queueLock);
  m_queJobs.clear();
}

void CConverter::Notify(const CConvertNotify& notify) {
  if (m_pOwner && !m_bSilenced) m_pOwner->OnConvertNotify(notify);
}

// The condition waits on the queue lock itself, so the emptiness test and the wait are
// atomic with respect to AddJobs changing the queue: a job added between them is never missed.
void CConverter::WorkerMain(CConverter* converter) {
  for (;;) {
    CConvertJob job;
    {
      std::unique_lock lock(converter->m_queueLock);
      converter->m_wakeCondition.wait(
          lock, [converter] { return converter->m_bStopping || !converter->m_queJobs.empty(); });
      if (converter->m_bStopping) return;
      job = converter->m_queJobs.front();
      converter->m_queJobs.pop_front();
    }
    const int result = ConvertFile(job, *converter);
    CConvertNotify notify;
    notify.m_nItemIndex = job.m_nItemIndex;
    notify.m_nNotifyType = result;
    notify.m_pszMessage = converter->m_strMessage.empty() ? nullptr : converter->m_strMessage.c_str();
    converter->Notify(notify);
  }
}
