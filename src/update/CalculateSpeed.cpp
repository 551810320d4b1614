#include "update/CalculateSpeed.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

qint64 MonotonicMs()
{
    static const QElapsedTimer start = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return start.elapsed();
}

}  // namespace

CCalculateSpeed::CCalculateSpeed(Clock clock) : m_clock(clock ? std::move(clock) : Clock(MonotonicMs))
{
    m_nStartTick = m_nLastTick = m_clock();
}

void CCalculateSpeed::AddBytes(qint64 nBytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nTotalBytes += nBytes;
    m_nBytesSinceTick += nBytes;
}

void CCalculateSpeed::Tick()
{
    const qint64 nNow = m_clock();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_nEndTick >= 0)
        return;
    const qint64 nElapsed = nNow - m_nLastTick;
    m_nCurrentSpeed = nElapsed > 0 ? m_nBytesSinceTick * 1000 / nElapsed : 100;
    m_bMeasured = true;
    m_nBytesSinceTick = 0;
    m_nLastTick = nNow;
}

void CCalculateSpeed::Finish()
{
    const qint64 nNow = m_clock();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_nEndTick >= 0)
        return;
    m_nEndTick = nNow;
    if (!m_bMeasured)
        m_nCurrentSpeed = AverageLocked();
}

qint64 CCalculateSpeed::TotalBytes() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nTotalBytes;
}

qint64 CCalculateSpeed::CurrentSpeed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nCurrentSpeed;
}

qint64 CCalculateSpeed::AverageSpeed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return AverageLocked();
}

qint64 CCalculateSpeed::AverageLocked() const
{
    const qint64 nUntil = m_nEndTick >= 0 ? m_nEndTick : m_clock();
    // A download that ended within the same millisecond counts as one millisecond long.
    return m_nTotalBytes * 1000 / std::max<qint64>(1, nUntil - m_nStartTick);
}
