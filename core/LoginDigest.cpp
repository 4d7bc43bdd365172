#include "core/LoginDigest.h"

#include <cstring>

namespace {

constexpr uint32_t kTable[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

inline uint32_t rotl(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

void encodeLe(uint8_t *out, const uint32_t *in, std::size_t words)
{
    for (std::size_t i = 0; i < words; ++i) {
        out[4 * i] = uint8_t(in[i]);
        out[4 * i + 1] = uint8_t(in[i] >> 8);
        out[4 * i + 2] = uint8_t(in[i] >> 16);
        out[4 * i + 3] = uint8_t(in[i] >> 24);
    }
}

} // namespace

void MD5Transform(uint32_t state[4], const uint8_t block[64])
{
    uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = uint32_t(block[4 * i]) | uint32_t(block[4 * i + 1]) << 8 | uint32_t(block[4 * i + 2]) << 16 |
               uint32_t(block[4 * i + 3]) << 24;
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        const int round = i / 16;
        uint32_t f;
        int g;
        switch (round) {
        case 0: f = (b & c) | (~b & d); g = i; break;
        case 1: f = (b & d) | (c & ~d); g = (5 * i + 1) % 16; break;
        case 2: f = b ^ c ^ d; g = (3 * i + 5) % 16; break;
        default: f = c ^ (b | ~d); g = (7 * i) % 16; break;
        }
        const uint32_t t = d;
        d = c;
        c = b;
        b = b + rotl(a + f + kTable[i] + x[g], kShift[round][i % 4]);
        a = t;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    // The working copy of the block may hold secret bytes.
    volatile uint8_t *wipe = reinterpret_cast<volatile uint8_t *>(x);
    for (std::size_t i = 0; i < sizeof x; ++i)
        wipe[i] = 0;
}

void MD5Update(MD5Context *context, const uint8_t *input, std::size_t length)
{
    if (!context || (!input && length != 0))
        return;
    std::size_t index = (context->count[0] >> 3) & 0x3F;
    const uint64_t bits = uint64_t(length) << 3;
    const uint32_t low = uint32_t(bits);
    context->count[0] += low;
    if (context->count[0] < low)
        ++context->count[1];
    context->count[1] += uint32_t(uint64_t(length) >> 29);

    const std::size_t partLen = 64 - index;
    std::size_t i = 0;
    if (length >= partLen) {
        std::memcpy(context->buffer + index, input, partLen);
        MD5Transform(context->state, context->buffer);
        for (i = partLen; i + 63 < length; i += 64)
            MD5Transform(context->state, input + i);
        index = 0;
    }
    if (length > i)
        std::memcpy(context->buffer + index, input + i, length - i);
}

void MD5Final(uint8_t digest[16], MD5Context *context)
{
    static const uint8_t padding[64] = {0x80};
    uint8_t bits[8];
    encodeLe(bits, context->count, 2);
    const std::size_t index = (context->count[0] >> 3) & 0x3F;
    const std::size_t padLen = index < 56 ? 56 - index : 120 - index;
    MD5Update(context, padding, padLen);
    MD5Update(context, bits, 8);
    encodeLe(digest, context->state, 4);
    volatile uint8_t *wipe = reinterpret_cast<volatile uint8_t *>(context);
    for (std::size_t i = 0; i < sizeof *context; ++i)
        wipe[i] = 0;
}

void ComputeAuthDigests(const char *password, std::size_t passwordLength,
                        const uint8_t *challenge1, std::size_t challenge1Length,
                        const uint8_t *challenge2, std::size_t challenge2Length,
                        uint8_t digestA[16], uint8_t digestB[16])
{
    static const uint8_t colon = ':';
    static const uint8_t realm[4] = {'Q', 'W', 'P', 'V'};
    MD5Context context;
    std::memset(&context, 0, sizeof context);
    MD5Update(&context, reinterpret_cast<const uint8_t *>(password), password ? passwordLength : 0);
    MD5Update(&context, &colon, 1);
    MD5Update(&context, challenge2, challenge2 ? challenge2Length : 0);
    MD5Final(digestB, &context);

    MD5Update(&context, realm, sizeof realm);
    MD5Update(&context, &colon, 1);
    MD5Update(&context, challenge1, challenge1 ? challenge1Length : 0);
    MD5Final(digestA, &context);
}
