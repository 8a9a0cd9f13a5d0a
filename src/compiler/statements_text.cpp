// Text searches of the statement conversion. Generated texts can be very long
// (a 1 MB string literal in a condition or return value), so these are written
// by hand and stay linear instead of going through a backtracking engine.
#include <cstring>

#include "compiler/statements_internal.h"
#include "driver/characters.h"

namespace {

bool equal_nocase_at(const char* text, size_t n, size_t pos, const char* needle, size_t len) {
    if (pos + len > n) return false;
    for (size_t i = 0; i < len; ++i) {
        if (ascii::lower(text[pos + i]) != ascii::lower(needle[i])) return false;
    }
    return true;
}

bool equal_at(const char* text, size_t n, size_t pos, const char* needle, size_t len) {
    return pos + len <= n && std::memcmp(text + pos, needle, len) == 0;
}

constexpr size_t npos = static_cast<size_t>(-1);

}  // namespace

bool contains_nocase(const char* text, const char* needle) {
    if (!text || !needle) return false;
    size_t n = std::strlen(text), len = std::strlen(needle);
    if (len == 0) return true;
    for (size_t i = 0; i + len <= n; ++i)
        if (equal_nocase_at(text, n, i, needle, len)) return true;
    return false;
}

bool contains(const char* text, const char* needle) {
    return text && needle && std::strstr(text, needle) != nullptr;
}

bool starts_with(const char* text, const char* prefix) {
    return text && std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

bool match_return_dereference(const char* text) {
    if (!text) return false;
    static const char prefix[] = "(*((unsigned int *)";
    const size_t plen = sizeof prefix - 1;
    size_t n = std::strlen(text);
    for (size_t line = 0; line <= n;) {
        size_t end = line;
        while (end < n && !ascii::is_line_end(text[end])) ++end;
        size_t last_triple = npos;
        for (size_t i = end; i-- > line + 2;)
            if (text[i - 2] == ')' && text[i - 1] == ')' && text[i] == ')') { last_triple = i - 2; break; }
        for (size_t i = line; i + plen <= end; ++i) {
            if (!equal_nocase_at(text, end, i, prefix, plen)) continue;
            size_t q = i + plen;
            if (equal_at(text, end, q, "\\__", 3)) {
                size_t r = q + 3;
                while (r < end && (std::strchr("abAB0123456789_", text[r]) != nullptr)) ++r;
                if (r > q + 3 && equal_at(text, end, r, "))", 2)) return true;
            }
            if (q < end && text[q] == '(' && last_triple != npos && last_triple >= q + 2) return true;
        }
        line = end + 1;
    }
    return false;
}
