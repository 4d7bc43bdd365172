#pragma once
// A growable byte buffer. Small contents stay in 4096 bytes inside the object;
// larger ones move to a heap block that grows in whole 4096-byte steps. The
// contents are always followed by at least 8 zero bytes, so they can also be read
// as a terminated text. One owner thread; not copyable (the data may point into
// the object itself).
#include <cstddef>
#include <cstdint>

class CBuffer {
public:
    static constexpr std::size_t kInlineSize = 4096;
    static constexpr std::size_t kStep = 4096;
    static constexpr std::size_t kTrailingZeros = 8;

    CBuffer();
    ~CBuffer();
    CBuffer(const CBuffer &) = delete;
    CBuffer &operator=(const CBuffer &) = delete;

    // 1 when appended; 0 for no bytes, a count of 0, a size that would overflow or
    // a failed growth (the contents then stay as they were).
    int Append(const void *bytes, std::size_t count);
    // The contents; null before the first append.
    uint8_t *Data() const { return m_data; }
    std::size_t Size() const { return m_length; }
    std::size_t Capacity() const { return m_capacity; }
    bool IsInline() const { return m_data == m_inline; }
    // Releases the heap block; the buffer can be appended to again.
    void Free();

private:
    int Grow(std::size_t need);

    uint8_t m_inline[kInlineSize];
    uint8_t *m_data = nullptr;
    std::size_t m_length = 0;
    std::size_t m_capacity = 0;
    std::size_t m_step = kStep;
};
