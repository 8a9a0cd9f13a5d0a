// Texts the scanner hands to the parser: integer constants normalised to
// hexadecimal, string literals rewritten for the generated script, and the
// run-wide copies of token texts.
#pragma once

#include <cstddef>
#include <string>

// "0x" and the hexadecimal digits after the first "0x"/"0X" in upper case, up
// to the first character that is not a hexadecimal digit.
std::string normalise_hex_constant(const char* text, size_t length);
// The first run of decimal digits as an unsigned 64-bit value (wrapping), as
// "0x" and upper-case hexadecimal digits without leading zeros.
std::string normalise_decimal_constant(const char* text, size_t length);
// A string literal (with its quotes): every backslash-quote becomes two
// quotes, every backslash-newline is removed and counted in `joined_lines`,
// every bare newline becomes the escape backslash-n; any other backslash pair
// stays as written. NUL bytes are dropped.
std::string rewrite_string_literal(const char* text, size_t length, int* joined_lines);
// Copies `length` bytes (without NUL bytes) into the run-wide token text
// list and returns the copy, which lives until the list is released.
char* keep_token_text(const char* text, size_t length);
