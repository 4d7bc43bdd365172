#pragma once
// TBCD number codec and hexadecimal text (the subset the login uses).
#include <cstddef>
#include <cstdint>
#include <string>

int DecodeBcdDigits(const uint8_t *field, std::size_t length, std::string &out);
int EncodeBcdDigits(const std::string &number, uint8_t *field, std::size_t length);
std::string BytesToHex(const uint8_t *bytes, std::size_t count);
