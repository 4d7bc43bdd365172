#pragma once
// The instance numbers of the dispatch sessions: numbers 33 to 127 are granted next fit
// (upward from the last one granted, then from 33); numbers 1 to 32 are kept for the
// numbers the server chooses. Number 0 is never in use. One pool serves the process
// (Process()); tests make their own.
#include <array>
#include <cstdint>

class CSessionInstancePool {
public:
    static constexpr int32_t kFirstGranted = 33;
    static constexpr int32_t kLastNumber = 127;
    static constexpr int32_t kLastServerNumber = 32;

    // The next free number of 33..127, or -1 (logged) when all are in use.
    int32_t Acquire();
    // Frees a number of 1..127; any other value changes nothing.
    void Release(int32_t number);
    // Marks a server-chosen number (1..32) in use; false when out of range or in use.
    bool Claim(int32_t number);
    bool InUse(int32_t number) const;

    static CSessionInstancePool &Process();

private:
    std::array<uint32_t, kLastNumber + 1> m_inUse {};
    int32_t m_last = kLastServerNumber;
};
