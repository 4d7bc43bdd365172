#pragma once
// The digest of the login handshake: the MD5 compression function, padding and
// length field, with the four chaining words starting at zero instead of the usual
// initial values. The caller zero-fills the context; MD5Final leaves it zero-filled
// again, ready for the next digest. No allocation.
#include <cstddef>
#include <cstdint>

struct MD5Context {
    uint32_t state[4];   // chaining words
    uint32_t count[2];   // message length in bits, low word first
    uint8_t buffer[64];  // partly filled input block
};
static_assert(sizeof(MD5Context) == 88);

inline constexpr std::size_t kLoginDigestSize = 16;

void MD5Transform(uint32_t state[4], const uint8_t block[64]);
void MD5Update(MD5Context *context, const uint8_t *input, std::size_t length);
void MD5Final(uint8_t digest[16], MD5Context *context);

// The two digests of the auth response, in the handshake's order, from one
// zero-filled context:
//   digestB = H(password ":" challenge2), then digestA = H("QWPV" ":" challenge1).
void ComputeAuthDigests(const char *password, std::size_t passwordLength,
                        const uint8_t *challenge1, std::size_t challenge1Length,
                        const uint8_t *challenge2, std::size_t challenge2Length,
                        uint8_t digestA[16], uint8_t digestB[16]);
