#pragma once
// The speed record of one download: bytes received in total and since the last tick, the
// current speed measured on each tick, and the average speed over the whole download.
// Every member is guarded by one lock, so the receiving side and the window may share it.

#include <QtGlobal>

#include <functional>
#include <mutex>

class CCalculateSpeed
{
public:
    // A clock in milliseconds; the default is a monotonic clock.
    using Clock = std::function<qint64()>;

    explicit CCalculateSpeed(Clock clock = {});
    CCalculateSpeed(const CCalculateSpeed&) = delete;
    CCalculateSpeed& operator=(const CCalculateSpeed&) = delete;

    // Counts received bytes (total and since the last tick).
    void AddBytes(qint64 nBytes);
    // Measures the current speed from the bytes since the last tick; does nothing once ended.
    void Tick();
    // Records the end tick; when no tick has measured a speed yet, the current speed becomes
    // the average speed.
    void Finish();

    qint64 TotalBytes() const;
    // Bytes per second measured on the last tick (0 before the first).
    qint64 CurrentSpeed() const;
    // All bytes per second since the start, up to the end tick once ended.
    qint64 AverageSpeed() const;

private:
    qint64 AverageLocked() const;

    Clock m_clock;
    mutable std::mutex m_mutex;
    qint64 m_nStartTick = 0;       // ms, when the record was made
    qint64 m_nLastTick = 0;        // ms, the last measuring tick
    qint64 m_nEndTick = -1;        // ms, when the download ended; -1 while it runs
    qint64 m_nTotalBytes = 0;      // bytes received in total
    qint64 m_nBytesSinceTick = 0;  // bytes received since the last tick
    qint64 m_nCurrentSpeed = 0;    // bytes per second
    bool m_bMeasured = false;      // a tick has measured the current speed
};
