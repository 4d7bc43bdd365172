// The login digest: MD5 compression and padding with zero chaining words.
#include "core/LoginDigest.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string hex(const uint8_t *d, std::size_t n = 16)
{
    static const char *digits = "0123456789abcdef";
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
        s.push_back(digits[d[i] >> 4]);
        s.push_back(digits[d[i] & 15]);
    }
    return s;
}

std::vector<uint8_t> counting(std::size_t n, unsigned mod = 256)
{
    std::vector<uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = uint8_t(i % mod);
    return v;
}

std::string digestOf(const std::vector<uint8_t> &msg, const uint32_t *iv = nullptr)
{
    MD5Context ctx;
    std::memset(&ctx, 0, sizeof ctx);
    if (iv)
        std::memcpy(ctx.state, iv, sizeof ctx.state);
    MD5Update(&ctx, msg.data(), msg.size());
    uint8_t out[16];
    MD5Final(out, &ctx);
    return hex(out);
}

const uint32_t kStandardIv[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};

bool allZero(const MD5Context &ctx)
{
    const auto *p = reinterpret_cast<const uint8_t *>(&ctx);
    for (std::size_t i = 0; i < sizeof ctx; ++i)
        if (p[i])
            return false;
    return true;
}

} // namespace

// Zero chaining words, against an independent model; the standard initial values
// must give the well-known MD5 of the same messages (proves compression and padding).
TEST(LoginDigest, KnownDigests)
{
    struct Case {
        std::vector<uint8_t> msg;
        const char *zeroIv;
        const char *standard;
    };
    const std::vector<Case> cases = {
        {{}, "b0e641c998cc3eae6fa2f8726d98cddd", "d41d8cd98f00b204e9800998ecf8427e"},
        {{'a', 'b', 'c'}, "c974bc19183bcf1b909e7f07ea1e8fbb", "900150983cd24fb0d6963f7d28e17f72"},
        {counting(55), "3256578c921edde7260bd09ddc73f274", "6912ee65fff2d9f9ce2508cddf8bcda0"},
        {counting(56), "199e4fdb25b82c7303f9a04e7d02d06d", "51fdd1acda72405dfdfa03fcb85896d7"},
        {counting(64), "21b739ab81fa5def076ff08da2b910bd", "b2d3f56bc197fd985d5965079b5e7148"},
        {counting(1000, 251), "cadd0184a184761ea185900fa6e01fe7", "a24f1e3ef66950e1327f210e3997ba2c"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.msg.size());
        EXPECT_EQ(digestOf(c.msg), c.zeroIv);
        EXPECT_EQ(digestOf(c.msg, kStandardIv), c.standard);
    }
}

// 55 bytes: one 0x80 and the length fill one block. 56 bytes: 64 padding bytes and
// a second block. 64 bytes: a whole block of padding and length. Built by hand
// and run through the compression function directly.
TEST(LoginDigest, PaddingBoundaries)
{
    for (std::size_t n : {std::size_t(55), std::size_t(56), std::size_t(64), std::size_t(0)}) {
        SCOPED_TRACE(n);
        const std::vector<uint8_t> msg = counting(n);
        std::vector<uint8_t> padded = msg;
        padded.push_back(0x80);
        while (padded.size() % 64 != 56)
            padded.push_back(0);
        const uint64_t bits = uint64_t(n) * 8;
        for (int i = 0; i < 8; ++i)
            padded.push_back(uint8_t(bits >> (8 * i)));
        EXPECT_EQ(padded.size() - n - 8, n % 64 < 56 ? 56 - n % 64 : 120 - n % 64);
        EXPECT_EQ(padded.size(), n == 55 || n == 0 ? 64u : 128u);

        uint32_t state[4] = {0, 0, 0, 0};
        for (std::size_t off = 0; off < padded.size(); off += 64)
            MD5Transform(state, padded.data() + off);
        uint8_t expect[16];
        for (int w = 0; w < 4; ++w)
            for (int b = 0; b < 4; ++b)
                expect[4 * w + b] = uint8_t(state[w] >> (8 * b));
        EXPECT_EQ(digestOf(msg), hex(expect));
    }
}

// The message fed in pieces: each row gives the first pieces, then the rest goes in
// pieces of the row's last size. A piece that completes a partly filled block and
// then holds one or more whole blocks must compress every one of them.
TEST(LoginDigest, ChunkedInputEqualsOnePiece)
{
    const std::vector<uint8_t> msg = counting(300, 253);
    const std::string whole = digestOf(msg);
    const std::vector<std::vector<std::size_t>> rows = {
        {1}, {3}, {7}, {55}, {56}, {63}, {64}, {65}, {129},
        {1, 127},      // 63 to fill the block, then exactly one whole block
        {10, 182},     // 54 to fill the block, then exactly two whole blocks
        {63, 1, 64},   // one byte completes the block, then whole blocks from an empty one
    };
    for (const auto &row : rows) {
        std::string trace;
        for (std::size_t n : row)
            trace += std::to_string(n) + " ";
        SCOPED_TRACE(trace);
        MD5Context ctx;
        std::memset(&ctx, 0, sizeof ctx);
        std::size_t off = 0;
        for (std::size_t i = 0; off < msg.size(); ++i) {
            const std::size_t n = std::min(row[std::min(i, row.size() - 1)], msg.size() - off);
            MD5Update(&ctx, msg.data() + off, n);
            off += n;
        }
        uint8_t out[16];
        MD5Final(out, &ctx);
        EXPECT_EQ(hex(out), whole);
    }
}

TEST(LoginDigest, FinalLeavesContextZeroAndReusable)
{
    MD5Context ctx;
    std::memset(&ctx, 0, sizeof ctx);
    const uint8_t junk[] = "something before";
    MD5Update(&ctx, junk, sizeof junk - 1);
    uint8_t out[16];
    MD5Final(out, &ctx);
    EXPECT_TRUE(allZero(ctx));
    MD5Update(&ctx, reinterpret_cast<const uint8_t *>("abc"), 3);
    MD5Final(out, &ctx);
    EXPECT_EQ(hex(out), "c974bc19183bcf1b909e7f07ea1e8fbb");
    EXPECT_TRUE(allZero(ctx));
}

// The auth response: digest B from password ":" challenge2, then digest A from
// "QWPV" ":" challenge1, in the same context; A does not depend on the password.
TEST(LoginDigest, AuthDigests)
{
    const uint8_t ch1[] = {1, 2, 3, 4, 5, 6, 7, 8};
    const uint8_t ch2[] = {9, 8, 7, 6, 5};
    auto ref = [](const std::string &text) {
        return digestOf(std::vector<uint8_t>(text.begin(), text.end()));
    };
    uint8_t a[16], b[16], a2[16], b2[16];
    ComputeAuthDigests("secret", 6, ch1, sizeof ch1, ch2, sizeof ch2, a, b);
    EXPECT_EQ(hex(b), ref(std::string("secret:") + std::string(ch2, ch2 + sizeof ch2)));
    EXPECT_EQ(hex(a), ref(std::string("QWPV:") + std::string(ch1, ch1 + sizeof ch1)));

    ComputeAuthDigests("", 0, ch1, sizeof ch1, ch2, sizeof ch2, a2, b2);
    EXPECT_EQ(hex(a2), hex(a));
    EXPECT_EQ(hex(b2), ref(std::string(":") + std::string(ch2, ch2 + sizeof ch2)));
}
