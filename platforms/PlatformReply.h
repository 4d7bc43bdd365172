#pragma once
// Reading the platforms' JSON replies and building their request addresses. Nothing
// here throws: a reply that is not JSON fails to parse, a member of another type than
// the one asked for reads like an absent member (0 or the empty text).
#include <json/value.h>

#include <cstddef>
#include <string>

namespace zox::platforms {

// Longest reply text quoted in a log line.
inline constexpr std::size_t kLogQuoteMax = 512;

// Parses text[0..length) as JSON; true only for a JSON object.
bool ParseJsonObject(const char *text, std::size_t length, Json::Value &root);

// A member of an object: the integer when it is a number with an integral value in
// the range of int, else def.
int JsonInt(const Json::Value &object, const char *key, int def = 0);
// True when the member exists and is such a number.
bool JsonHasInt(const Json::Value &object, const char *key);
// The text when the member is a string, else the empty text.
std::string JsonString(const Json::Value &object, const char *key);
// The member when it is an array, else null.
const Json::Value *JsonArray(const Json::Value &object, const char *key);
// The member when it exists, else null.
const Json::Value *JsonMember(const Json::Value &object, const char *key);
// The value as compact JSON text.
std::string JsonText(const Json::Value &value);

// Percent-encodes every byte other than the unreserved ones (letters, digits, "-._~").
std::string UrlEncode(const std::string &value);

// A reply text for a log line: at most kLogQuoteMax bytes, control bytes as '.'.
std::string LogQuote(const char *text, std::size_t length);

} // namespace zox::platforms
