#pragma once
// Conversions between UTF-8, UTF-16 and the system code page. On this platform the
// system code page is UTF-8, so "ANSI" text is UTF-8; invalid input sequences are
// replaced by U+FFFD. Stateless; any thread.
#include <string>
#include <string_view>

// A new zero-terminated array (free with delete[]) in the system code page, or
// null for no input.
char *WideToAnsiDup(const char16_t *wide);
// A new zero-terminated UTF-16 array (free with delete[]), or null for no input.
char16_t *Utf8ToWideDup(const char *utf8);
// The text in the system code page; the empty text on failure or no input.
std::string Utf8ToAnsiString(const char *utf8);
std::string Utf8ToAnsiString(const std::string &utf8);

// The text made valid UTF-8 for storing and showing: a character cut off at the end of
// the text (a name that filled its fixed-width field) is dropped, and every other byte
// sequence that is not UTF-8 becomes one U+FFFD per maximal invalid part. Valid text
// comes back unchanged.
std::string ToValidUtf8(std::string_view text);
