#pragma once
// Text shortening for the captions of the user and group cells. Texts are UTF-8 and
// are shortened by characters, never inside one.

#include <cstddef>
#include <string>

namespace zox::skin {

// Number of characters of a UTF-8 text (a byte that does not start a well-formed
// sequence counts as one character of its own).
std::size_t Utf8CharCount(const std::string &text);

// A text of more than maxChars characters becomes its first (maxChars - 2) characters
// followed by "..."; a shorter text is returned unchanged. maxChars below 2 keeps no
// character of the text before the dots.
std::string EllipsizeChars(const std::string &text, int maxChars);

} // namespace zox::skin
