// Parameter checks of the memory, map, load and symbol built-ins.
#include "builtins/memory_checks.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "driver/diagnostics.h"

namespace memory_checks {

void fail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int size = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::vector<char> buffer(size > 0 ? size + 1 : 1, '\0');
    std::vsnprintf(buffer.data(), buffer.size(), format, again);
    va_end(again);
    set_message("%s", buffer.data());
    error_flag = 1;
}

bool arity_exact(int count, int expected, const char* name) {
    if (count < expected) {
        fail("Too few parameters to call %s function. Expecting %d parameters.", name, expected);
        return false;
    }
    if (count > expected) {
        fail("Too many parameters to call %s function. Expecting %d parameters.", name, expected);
        return false;
    }
    return true;
}

bool arity_range(int count, int minimum, int maximum, const char* name) {
    if (count < minimum) {
        fail("Too few parameters to call %s function. Expecting number of parameters in range %d to %d.", name,
             minimum, maximum);
        return false;
    }
    if (count > maximum) {
        fail("Too many parameters to call %s function. Expecting number of parameters in range %d to %d.", name,
             minimum, maximum);
        return false;
    }
    return true;
}

void fill_omitted(GelParameter* parameters, int count) {
    for (int i = 0; i < count; ++i) {
        if (is_quoted(parameters[i]) && !parameters[i].rd.text) parameters[i].rd.text = pool_string("\"\"");
    }
}

bool require_quoted(GelParameter* parameters, int index, const char* name) {
    static const char* const kMessages[] = {
        "First parameter of %s function must be quoted.",
        "Second parameter of %s function must be quoted.",
        "Third parameter of %s function must be quoted.",
        "Fourth parameter of %s function must be quoted.",
    };
    if (is_quoted(parameters[index])) return true;
    fail(kMessages[index], name);
    return false;
}

std::string unquoted(const char* text) {
    if (!text) return std::string();
    size_t length = std::strlen(text);
    if (length < 2) return std::string();
    return std::string(text + 1, length - 2);
}

std::string written_text(const GelParameter& p) {
    if (p.rd.text) return p.rd.text;
    if (p.kind == RK_MACRO_TEMP) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "&__V%i", p.rd.number);
        return buffer;
    }
    return std::string();
}

}  // namespace memory_checks
