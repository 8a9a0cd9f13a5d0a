// The run-wide string pool: texts handed between code-generator routines live
// here until the end of the run.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "compiler/value.h"
#include "frontend/tree.h"

List* string_pool = nullptr;

void string_pool_reset() {
    if (string_pool) list_release(string_pool);
    string_pool = list_create();
}

char* pool_string(const char* text) {
    if (!string_pool) string_pool = list_create();
    return list_append(string_pool, 0, nullptr, text ? text : "", 0, 0)->txt;
}

char* pool_string_n(const char* text, unsigned long size) {
    std::string copy(text ? text : "", text ? size : 0);
    return pool_string(copy.c_str());
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
