#pragma once
// The console's identity toward the dispatch server, set at registration and read by
// the other subsystems (all on the user-interface thread, except the messaging bridge,
// which reads the id and number on its own threads; they change only at registration).
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>

// A text that one thread writes while others read it: every access takes a copy under
// the lock.
class CSharedText {
public:
    explicit CSharedText(std::string value) : m_value(std::move(value)) {}
    CSharedText(const CSharedText &) = delete;
    CSharedText &operator=(const CSharedText &) = delete;

    std::string Get() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_value;
    }
    void Set(std::string value)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_value = std::move(value);
    }
    CSharedText &operator=(std::string value)
    {
        Set(std::move(value));
        return *this;
    }

private:
    mutable std::mutex m_lock;
    std::string m_value;
};

// Sender id of every datagram the console sends; 0 until the server registers it.
extern std::atomic<uint32_t> g_nOwnUserId;
// The console's own number, the base of its line numbers; "5000" until registration.
extern CSharedText g_strOwnNumber;
// Set by the two restart paths of the login (lost heartbeat, server reset); read by
// the program entry after the message loop ends.
extern std::atomic<uint8_t> g_byRestartFlag;

inline constexpr const char *kDefaultOwnNumber = "5000";
