// CBuffer: inline storage, growth in 4096-byte steps, trailing zeros, overflow refusal.
#include "core/Buffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

std::vector<uint8_t> pattern(std::size_t n, uint8_t seed)
{
    std::vector<uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = uint8_t(seed + i * 7 + 1) | 1; // never zero
    return v;
}

// Contents followed by zeros up to the capacity, at least 8 of them.
void expectZeroTail(const CBuffer &b)
{
    ASSERT_GE(b.Capacity(), b.Size() + 8);
    for (std::size_t i = b.Size(); i < b.Capacity(); ++i)
        ASSERT_EQ(b.Data()[i], 0) << "at " << i;
}

} // namespace

TEST(Buffer, NewBufferAndRefusedEmptyAppend)
{
    CBuffer b;
    EXPECT_EQ(b.Size(), 0u);
    EXPECT_EQ(b.Data(), nullptr);
    const uint8_t x = 1;
    EXPECT_EQ(b.Append(&x, 0), 0);
    EXPECT_EQ(b.Append(nullptr, 5), 0);
    EXPECT_EQ(b.Data(), nullptr);
    EXPECT_EQ(b.Capacity(), 0u);
}

// Appends of various sizes to an empty buffer or behind earlier contents: where
// they land and the resulting capacity. An append that leaves exactly 8 bytes free
// fits and does not grow the buffer.
TEST(Buffer, AppendGrowth)
{
    struct Case {
        std::size_t before, n;
        bool inlineStorage;
        std::size_t capacity;
    };
    const Case cases[] = {
        {0, 1, true, 4096},         {0, 100, true, 4096},       {0, 4087, true, 4096},
        {0, 4088, false, 8192},     {0, 8183, false, 8192},     {0, 8184, false, 12288},
        {0, 100000, false, 102400},
        {100, 3988, true, 4096},    // fills the inline storage exactly
        {100, 3989, false, 8192},   // one more: to the heap
        {4088, 4096, false, 8192},  // fills the heap block exactly
        {4088, 4097, false, 12288}, // one more: one step bigger
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.before) + " + " + std::to_string(c.n));
        CBuffer b;
        auto data = pattern(c.before, 4);
        if (c.before) {
            ASSERT_EQ(b.Append(data.data(), data.size()), 1);
        }
        const auto more = pattern(c.n, 3);
        ASSERT_EQ(b.Append(more.data(), more.size()), 1);
        data.insert(data.end(), more.begin(), more.end());
        EXPECT_EQ(b.IsInline(), c.inlineStorage);
        EXPECT_EQ(b.Capacity(), c.capacity);
        EXPECT_EQ(b.Size(), data.size());
        EXPECT_EQ(std::vector<uint8_t>(b.Data(), b.Data() + b.Size()), data);
        expectZeroTail(b);
    }
}

TEST(Buffer, GrowthFromInlineToHeapKeepsBytesInOrder)
{
    CBuffer b;
    const auto first = pattern(3000, 1), second = pattern(2000, 2);
    ASSERT_EQ(b.Append(first.data(), first.size()), 1);
    EXPECT_TRUE(b.IsInline());
    ASSERT_EQ(b.Append(second.data(), second.size()), 1);
    EXPECT_FALSE(b.IsInline());
    EXPECT_EQ(b.Capacity(), 8192u);
    ASSERT_EQ(b.Size(), 5000u);
    std::vector<uint8_t> all = first;
    all.insert(all.end(), second.begin(), second.end());
    EXPECT_EQ(std::vector<uint8_t>(b.Data(), b.Data() + b.Size()), all);
    expectZeroTail(b);
}

// Many small appends through inline, heap and several heap resizes: the bytes,
// the 4096 steps and the zero tail after every append.
TEST(Buffer, ManySmallAppends)
{
    CBuffer b;
    std::vector<uint8_t> all;
    for (int i = 0; i < 700; ++i) {
        const auto piece = pattern(std::size_t(1 + i % 97), uint8_t(i));
        ASSERT_EQ(b.Append(piece.data(), piece.size()), 1);
        all.insert(all.end(), piece.begin(), piece.end());
        ASSERT_EQ(b.Capacity() % 4096, 0u);
        ASSERT_LT(b.Capacity(), all.size() + 8 + 4096 + 1);
        expectZeroTail(b);
    }
    EXPECT_EQ(std::vector<uint8_t>(b.Data(), b.Data() + b.Size()), all);
}

TEST(Buffer, FreeStartsOver)
{
    CBuffer b;
    const auto big = pattern(10000, 5);
    ASSERT_EQ(b.Append(big.data(), big.size()), 1);
    b.Free();
    EXPECT_EQ(b.Size(), 0u);
    EXPECT_EQ(b.Data(), nullptr);
    EXPECT_EQ(b.Capacity(), 0u);
    const auto small = pattern(10, 6);
    ASSERT_EQ(b.Append(small.data(), small.size()), 1);
    EXPECT_TRUE(b.IsInline());
    EXPECT_EQ(b.Capacity(), 4096u);
    b.Free();
    b.Free();
}

// A count that would make length + count + 8 wrap, or need more than any object
// may hold, is refused before anything is read or allocated; the buffer is unchanged.
TEST(Buffer, OverflowingSizeRefused)
{
    CBuffer b;
    const auto data = pattern(50, 9);
    ASSERT_EQ(b.Append(data.data(), data.size()), 1);
    const uint8_t one = 0x55;
    const std::size_t huge[] = {SIZE_MAX, SIZE_MAX - 7, SIZE_MAX - 8, SIZE_MAX - 50 - 8,
                                SIZE_MAX / 2, std::size_t(PTRDIFF_MAX) - 57};
    for (std::size_t n : huge) {
        SCOPED_TRACE(n);
        // The pointer is valid for one byte only: a refused append must not touch it.
        EXPECT_EQ(b.Append(&one, n), 0);
        EXPECT_EQ(b.Size(), 50u);
        EXPECT_EQ(b.Capacity(), 4096u);
        EXPECT_TRUE(b.IsInline());
    }
    EXPECT_EQ(std::vector<uint8_t>(b.Data(), b.Data() + b.Size()), data);
    expectZeroTail(b);
}
