// Character tests of every stage, in ASCII alone: no locale changes what a
// letter, a digit or a word character is.
#pragma once

namespace ascii {

inline bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool is_digit(char c) { return c >= '0' && c <= '9'; }
inline bool is_hex_digit(char c) { return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
// A letter or a digit.
inline bool is_alnum(char c) { return is_letter(c) || is_digit(c); }
// A letter, a digit or "_" (the "\w" of a regular expression).
inline bool is_word(char c) { return is_alnum(c) || c == '_'; }
// What "." of a regular expression does not match.
inline bool is_line_end(char c) { return c == '\n' || c == '\r'; }
inline char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
inline char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace ascii
