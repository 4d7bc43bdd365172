#pragma once
// A log line that may repeat at a high rate (junk datagrams, a database that is away):
// every event is counted, and a line is written at most once per interval and kind.
//
//   static CRateLimitedLog s_drops;                       // one minute per kind
//   s_drops.Note("short", "net: datagram of %zu bytes dropped!", n);
//
// The first event of a kind writes its line at once; later events of that kind within
// the interval are only counted; the first event after the interval writes its line
// with the number of events since the previous line:
//   "net: datagram of 3 bytes dropped! (17 since the last report, 40 in all)"
// The text is formatted only when a line is written. Any thread may call it.
#include <cstdarg>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

class CRateLimitedLog {
public:
    // Milliseconds of a monotonic clock.
    using Clock = std::function<int64_t()>;
    // Receives each line to be written (by default: WriteLog).
    using Writer = std::function<void(const std::string &line)>;

    static constexpr int64_t kDefaultIntervalMs = 60000;

    explicit CRateLimitedLog(int64_t intervalMs = kDefaultIntervalMs, Clock clock = {}, Writer writer = {});

    // Counts one event of the kind; writes the formatted line when the kind's last line
    // is at least the interval old (or there was none). True when a line was written.
    bool Note(const std::string &kind, const char *format, ...) __attribute__((format(printf, 3, 4)));
    bool NoteV(const std::string &kind, const char *format, va_list args);

    // Events of the kind in all, and those not yet reported in a line.
    uint64_t Count(const std::string &kind) const;
    uint64_t Unreported(const std::string &kind) const;
    // Events of every kind in all.
    uint64_t Total() const;

private:
    struct Kind {
        uint64_t total = 0;
        uint64_t sinceLine = 0; // events since the last line, the current one included
        int64_t lastLineMs = 0;
        bool written = false;
    };

    int64_t m_intervalMs;
    Clock m_clock;
    Writer m_writer;
    mutable std::mutex m_lock;
    std::map<std::string, Kind, std::less<>> m_kinds; // guarded by m_lock
    uint64_t m_total = 0;                             // guarded by m_lock
};

// Milliseconds of the steady clock (the default clock of CRateLimitedLog).
int64_t SteadyClockMs();
