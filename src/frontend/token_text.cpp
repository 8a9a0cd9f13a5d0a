#include "frontend/token_text.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "driver/characters.h"
#include "frontend/frontend.h"

std::string normalise_hex_constant(const char* text, size_t length) {
    size_t i = 0;
    while (i + 1 < length && !(text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X'))) ++i;
    std::string out = "0x";
    for (i += 2; i < length && ascii::is_hex_digit(text[i]); ++i) out += ascii::upper(text[i]);
    return out;
}

std::string normalise_decimal_constant(const char* text, size_t length) {
    size_t i = 0;
    while (i < length && !(text[i] >= '0' && text[i] <= '9')) ++i;
    uint64_t value = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + static_cast<uint64_t>(text[i] - '0');
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%llX", static_cast<unsigned long long>(value));
    return buffer;
}

std::string rewrite_string_literal(const char* text, size_t length, int* joined_lines) {
    std::string out;
    out.reserve(length + 8);
    for (size_t i = 0; i < length; ++i) {
        char c = text[i];
        if (c == '\\' && i + 1 < length) {
            char next = text[i + 1];
            ++i;
            if (next == '"') {
                out += "\"\"";
            } else if (next == '\n') {
                if (joined_lines) ++*joined_lines;
            } else {
                out += c;
                if (next != '\0') out += next;
            }
        } else if (c == '\n') {
            // A line break is a character of the string: written as its
            // escape, the literal stays on one line of the generated script.
            out += "\\n";
        } else if (c != '\0') {
            out += c;
        }
    }
    return out;
}

char* keep_token_text(const char* text, size_t length) {
    if (!std::memchr(text, '\0', length)) return arena_copy(text, length);
    std::string clean;
    clean.reserve(length);
    for (size_t i = 0; i < length; ++i)
        if (text[i] != '\0') clean += text[i];
    return arena_copy(clean.data(), clean.size());
}
