#pragma once
// The console's identity toward the dispatch server, set at registration and read by
// the other subsystems (all on the user-interface thread, except the messaging bridge,
// which reads the id and number on its own thread; they change only at registration).
#include <atomic>
#include <cstdint>
#include <string>

// Sender id of every datagram the console sends; 0 until the server registers it.
extern std::atomic<uint32_t> g_nOwnUserId;
// The console's own number, the base of its line numbers; "5000" until registration.
extern std::string g_strOwnNumber;
// Set by the two restart paths of the login (lost heartbeat, server reset); read by
// the program entry after the message loop ends.
extern std::atomic<uint8_t> g_byRestartFlag;

inline constexpr const char *kDefaultOwnNumber = "5000";
