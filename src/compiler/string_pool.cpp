// The run-wide string pool: texts handed between code-generator routines live
// here until the end of the run.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "compiler/value.h"
#include "frontend/tree.h"

char* pool_string(const char* text) { return arena_copy(text); }

char* pool_string_n(const char* text, unsigned long size) {
    return text ? arena_copy(text, size) : arena_copy("");
}

char* format_interned(const char* format, const char* a, const char* b, const char* c) {
    a = a ? a : "";
    b = b ? b : "";
    c = c ? c : "";
    size_t room = std::strlen(format) + std::strlen(a) + std::strlen(b) + std::strlen(c) + 1;
    char* buffer = static_cast<char*>(std::malloc(room));
    if (!buffer) std::abort();
    std::snprintf(buffer, room, format, a, b, c);
    char* pooled = pool_string(buffer);
    std::free(buffer);
    return pooled;
}
