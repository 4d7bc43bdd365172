#pragma once
// The digest of the login handshake (MD5 with zero chaining words).
#include <cstddef>
#include <cstdint>

void ComputeAuthDigests(const char *password, std::size_t passwordLength,
                        const uint8_t *challenge1, std::size_t challenge1Length,
                        const uint8_t *challenge2, std::size_t challenge2Length,
                        uint8_t digestA[16], uint8_t digestB[16]);
