// Shared steps of the built-in translations.
#include "builtins/checks.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/diagnostics.h"

namespace {

const char* const kTooFewExact = "Too few parameters to call %s function. Expecting %d parameters.";
const char* const kTooManyExact = "Too many parameters to call %s function. Expecting %d parameters.";
const char* const kTooFewRange =
    "Too few parameters to call %s function. Expecting number of parameters in range %d to %d.";
const char* const kTooManyRange =
    "Too many parameters to call %s function. Expecting number of parameters in range %d to %d.";

const char* const kMustBeQuoted[] = {
    "First parameter of %s function must be quoted.",
    "Second parameter of %s function must be quoted.",
    "Third parameter of %s function must be quoted.",
    "Fourth parameter of %s function must be quoted.",
};

bool is_blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

void set_pending_error(const char* format, ...) {
    va_list args;
    va_start(args, format);
    message_buffer = format_va(format, args);
    va_end(args);
    error_flag = 1;
}

void handler_warning(int line, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string message = format_va(format, args);
    va_end(args);
    report_warning(line, message.c_str());
}

bool check_exact_count(const char* name, int count, int expected) {
    if (count < expected) {
        set_pending_error(kTooFewExact, name, expected);
        return false;
    }
    if (count > expected) {
        set_pending_error(kTooManyExact, name, expected);
        return false;
    }
    return true;
}

bool check_count_range(const char* name, int count, int min, int max) {
    if (count < min) {
        set_pending_error(kTooFewRange, name, min, max);
        return false;
    }
    if (count > max) {
        set_pending_error(kTooManyRange, name, min, max);
        return false;
    }
    return true;
}

bool check_min_count(const char* name, int count, int min) {
    if (count < min) {
        set_pending_error(kTooFewExact, name, min);
        return false;
    }
    return true;
}

bool check_max_count(const char* name, int count, int max) {
    if (count > max) {
        set_pending_error(kTooManyExact, name, max);
        return false;
    }
    return true;
}

void fill_omitted_parameters(GelParameter* parameters, int count) {
    for (int i = 0; i < count; ++i) {
        if (is_quoted(parameters[i]) && parameters[i].rd.text == nullptr)
            parameters[i].rd.text = pool_string("\"\"");
    }
}

bool check_quoted(const GelParameter* parameters, int position, const char* name) {
    if (is_quoted(parameters[position])) return true;
    int message = position < 4 ? position : 3;
    set_pending_error(kMustBeQuoted[message], name);
    return false;
}

bool is_numeric_literal(const GelParameter& p) { return p.kind == RK_TEXT && p.rd.number == ID_CONSTANT; }

bool is_literal(const GelParameter& p) { return is_numeric_literal(p) || is_quoted(p); }

const char* text_or_empty(const GelParameter& p) { return p.rd.text ? p.rd.text : ""; }

void write_unquoted(const GelParameter& p) {
    const char* text = text_or_empty(p);
    size_t length = std::strlen(text);
    size_t begin = (length > 0 && text[0] == '"') ? 1 : 0;
    size_t end = (length > begin && text[length - 1] == '"') ? length - 1 : length;
    std::fwrite(text + begin, 1, end - begin, stdout);
}

char* cut_closing_quote(GelParameter& p) {
    if (p.rd.text == nullptr) return pool_string("");
    char* text = p.rd.text;
    size_t length = std::strlen(text);
    size_t begin = (length > 0 && text[0] == '"') ? 1 : 0;
    if (length > begin && text[length - 1] == '"') text[length - 1] = '\0';
    return text + begin;
}

bool window_name_has_whitespace(const char* window_name) {
    const char* s = window_name;
    while (is_blank(*s)) ++s;
    for (; *s; ++s) {
        if (is_blank(s[0]) && s[1] != '\0' && !is_blank(s[1])) return true;
    }
    return false;
}

bool check_window_name(const char* window_name, const char* name) {
    if (!window_name_has_whitespace(window_name)) return true;
    set_pending_error("%s(): Window name with whitespaces not supported by KALDRA", name);
    return false;
}

bool integer_literal_value(const char* text, uint64_t* value) {
    if (text == nullptr) return false;
    const char* s = text;
    int base = 10;
    if (s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s += 2;
    }
    auto digit = [base](char c) {
        if (c >= '0' && c <= '9') return c - '0' < base;
        if (base == 16) return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        return false;
    };
    if (!digit(*s)) return false;
    const char* digits = s;
    while (digit(*s)) ++s;
    for (const char* t = s; *t; ++t) {
        if (std::strchr("uUlL", *t) == nullptr) return false;
    }
    errno = 0;
    std::string number(digits, s);
    unsigned long long v = std::strtoull(number.c_str(), nullptr, base);
    if (errno == ERANGE) return false;
    *value = v;
    return true;
}
