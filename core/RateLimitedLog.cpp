#include "core/RateLimitedLog.h"

#include "core/Log.h"

#include <chrono>
#include <algorithm>
#include <cstdio>

int64_t SteadyClockMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

CRateLimitedLog::CRateLimitedLog(int64_t intervalMs, Clock clock, Writer writer)
    : m_intervalMs(intervalMs), m_clock(clock ? std::move(clock) : Clock(&SteadyClockMs)),
      m_writer(writer ? std::move(writer) : Writer([](const std::string &line) { WriteLog("%s", line.c_str()); }))
{
}

bool CRateLimitedLog::Note(const std::string &kind, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    const bool written = NoteV(kind, format, args);
    va_end(args);
    return written;
}

bool CRateLimitedLog::NoteV(const std::string &kind, const char *format, va_list args)
{
    std::string line;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        Kind &k = m_kinds[kind];
        ++k.total;
        ++k.sinceLine;
        ++m_total;
        const int64_t now = m_clock();
        if (k.written && now - k.lastLineMs < m_intervalMs)
            return false;
        char text[1024];
        va_list copy;
        va_copy(copy, args);
        const int n = std::vsnprintf(text, sizeof text, format ? format : "", copy);
        va_end(copy);
        line.assign(text, n < 0 ? 0 : std::min<std::size_t>(std::size_t(n), sizeof text - 1));
        if (k.written || k.sinceLine > 1) {
            char tail[96];
            std::snprintf(tail, sizeof tail, " (%llu since the last report, %llu in all)",
                          static_cast<unsigned long long>(k.sinceLine), static_cast<unsigned long long>(k.total));
            line += tail;
        }
        k.written = true;
        k.lastLineMs = now;
        k.sinceLine = 0;
    }
    // Written outside the lock: the writer takes the log's own lock.
    m_writer(line);
    return true;
}

uint64_t CRateLimitedLog::Count(const std::string &kind) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    auto it = m_kinds.find(kind);
    return it == m_kinds.end() ? 0 : it->second.total;
}

uint64_t CRateLimitedLog::Unreported(const std::string &kind) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    auto it = m_kinds.find(kind);
    return it == m_kinds.end() ? 0 : it->second.sinceLine;
}

uint64_t CRateLimitedLog::Total() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_total;
}
