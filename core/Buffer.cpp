#include "core/Buffer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
// No object may be larger than this; a bigger need is refused before allocating.
constexpr std::size_t kMaxCapacity = std::size_t(PTRDIFF_MAX);
} // namespace

CBuffer::CBuffer() { std::memset(m_inline, 0, sizeof m_inline); }

CBuffer::~CBuffer() { Free(); }

void CBuffer::Free()
{
    if (m_data && m_data != m_inline)
        std::free(m_data);
    m_data = nullptr;
    m_length = 0;
    m_capacity = 0;
}

int CBuffer::Append(const void *bytes, std::size_t count)
{
    if (!bytes || count == 0)
        return 0;
    // length + count + 8 must not wrap.
    if (count > kMaxCapacity - kTrailingZeros || m_length > kMaxCapacity - kTrailingZeros - count)
        return 0;
    const std::size_t need = m_length + count + kTrailingZeros;
    if (need > m_capacity && !Grow(need))
        return 0;
    std::memcpy(m_data + m_length, bytes, count);
    m_length += count;
    return 1;
}

int CBuffer::Grow(std::size_t need)
{
    if (need < m_capacity)
        need = m_capacity;
    // The smallest capacity + k * step strictly above the need.
    const std::size_t steps = (need - m_capacity) / m_step + 1;
    if (steps > (kMaxCapacity - m_capacity) / m_step)
        return 0;
    const std::size_t newCapacity = m_capacity + m_step * steps;

    if (!m_data) {
        if (newCapacity <= kInlineSize) {
            std::memset(m_inline, 0, sizeof m_inline);
            m_data = m_inline;
            m_length = 0;
            m_capacity = kInlineSize;
            return 1;
        }
        auto *block = static_cast<uint8_t *>(std::calloc(newCapacity, 1));
        if (!block)
            return 0;
        m_data = block;
        m_length = 0;
    } else if (m_data == m_inline) {
        auto *block = static_cast<uint8_t *>(std::malloc(newCapacity));
        if (!block)
            return 0;
        std::memcpy(block, m_inline, m_length);
        std::memset(block + m_length, 0, newCapacity - m_length);
        m_data = block;
    } else {
        auto *block = static_cast<uint8_t *>(std::realloc(m_data, newCapacity));
        if (!block)
            return 0;
        std::memset(block + m_length, 0, newCapacity - m_length);
        m_data = block;
    }
    m_capacity = newCapacity;
    return 1;
}
