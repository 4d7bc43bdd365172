#pragma once
// Number, address and name helpers shared by the wire formats and the windows:
// the TBCD number codec, the 20-byte media address record, hexadecimal texts, the
// display-name convention "Name (number)" and its inverse, the speaker name of a
// talk-burst "taken" packet, the call-reference key of a group, text shortening,
// replacing in texts and two time helpers. All are stateless and thread-safe.
#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

// The media address record of the call-signalling messages.
inline constexpr std::size_t kMediaAddressRecordSize = 20;
struct MediaAddressRecord {
    uint8_t bytes[kMediaAddressRecordSize];
};
static_assert(sizeof(MediaAddressRecord) == kMediaAddressRecordSize);

// TBCD: digit i lies in byte i/2, even i in the low nibble, odd i in the high
// nibble; unused nibbles are 0xF. 0, or -1 for an all-zero (or empty) field or an
// invalid nibble 0xA..0xE (the digits before it stay in `out`).
int DecodeBcdDigits(const uint8_t *field, std::size_t length, std::string &out);
// 0, or -1 for a character that is not a decimal digit (the bytes written so far
// stay, the rest is 0xFF). At most 2 * length characters are encoded.
int EncodeBcdDigits(const std::string &number, uint8_t *field, std::size_t length);

// Upper-case hexadecimal, two characters a byte, no separator.
std::string BytesToHex(const uint8_t *bytes, std::size_t count);

// Layout: 00 01 18 00, the address in network byte order, twelve zero bytes. 0.
int MakeAddressRecord(const in_addr &address, MediaAddressRecord &record);
// 0, or -1 when byte 0 is not 0x00 or byte 1 is 0x00.
int ParseAddressRecord(const MediaAddressRecord &record, in_addr &address);

// "name (number)", or the number alone when the name is empty or equals it.
std::string MakeDisplayName(const std::string &number, const std::string &name);
// The inverse of MakeDisplayName; always 0.
int SplitDisplayName(const std::string &text, std::string &number, std::string &name);

// Appends the speaker name of a talk-burst "taken" body (length of a first field at
// byte 5, name length at L1 + 7, name from L1 + 8). False for a body too short.
bool GetTalkBurstTakenName(const uint8_t *body, std::size_t length, std::string &out);

// The call-reference key of a group: each character of the decimal id as two
// upper-case hex digits, padded with "0" to at least 8 characters.
std::string UserIdToHexKey(int32_t id);

// A text of more than `maxChars` characters becomes its first maxChars - 2
// characters and "...". Characters are UTF-8 code points: a multi-byte character
// is never cut.
std::string EllipsizeText(const std::string &text, int maxChars);

// Replaces every occurrence of the pattern; an empty pattern changes nothing.
std::string ReplaceAll(const std::string &text, const std::string &pattern, const std::string &replacement);

// Calendar time in seconds, and the seconds elapsed since such a time.
time_t GetTimeNow();
double SecondsSince(time_t then);
