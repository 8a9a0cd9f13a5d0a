// The text passes over descriptor texts, run by the linear scans of
// text_scan.cpp.
#include "rewrite/patterns.h"

#include <cstdio>
#include <cstring>
#include <strings.h>
#include <string>

#include "compiler/value.h"
#include "driver/characters.h"
#include "rewrite/text_scan.h"

bool text_contains_var_call(const char* text) {
    std::string t = text_of(text);
    return text_scan::contains_var_call(t);
}

bool text_contains_hll_temporary(const char* text) {
    std::string t = text_of(text);
    return text_scan::contains_hll_temporary(t);
}

bool is_numeric_constant(const char* text, bool allow_negation) {
    if (!text) return false;
    std::string t(text);
    return text_scan::numeric_constant(t, allow_negation);
}

void macro_name_pass(ResultDescriptor* rd) {
    if (!rd->text) return;
    std::string t(rd->text);
    rd->text = pool_string(text_scan::macro_names(t).c_str());
}

void value_call_pass(ResultDescriptor* rd, int w) {
    if (!rd->text) return;
    std::string t(rd->text);
    rd->text = pool_string(text_scan::value_calls(t, w).c_str());
}

void cast_removal_pass(char** text) {
    if (!*text) return;
    std::string t(*text);
    *text = pool_string(text_scan::remove_cast(t).c_str());
}

char* macro_operator_pass(const char* op, ResultDescriptor* rd) {
    std::string t = std::string(text_of(op)) + "\\" + text_of(rd->text);
    rd->text = pool_string(t.c_str());
    return rd->text;
}

char* negation_pass(ResultDescriptor* rd) {
    std::string t = text_of(rd->text);
    rd->text = pool_string(text_scan::undo_negation_backslash(t).c_str());
    return rd->text;
}

bool pointer_compound_target(const char* left, std::string* address) {
    std::string l = text_of(left), found;
    if (l.find("*((unsigned int *)") == std::string::npos ||
        !text_scan::compound_address(l, &found))
        return false;
    if (address) *address = found;
    return true;
}

void pointer_compound_pass(const char* left, const char* op, const char* right) {
    std::string address;
    if (!pointer_compound_target(left, &address)) {
        std::printf("Var.Assign (%s%s=%s)\n", text_of(left), op, right);
        return;
    }
    // The value is a script expression: its HLL names are read with Var.VALUE.
    std::string r = text_of(right);
    r = text_scan::value_calls(r, 0);
    // After "&", a name or macro would read as a script macro or as "&&".
    if (std::strcmp(op, "&") == 0 && !r.empty() && r[0] != '(') r = "(" + r + ")";
    std::printf("Data.Set D:(Var.VALUE(%s)) %%Long ((data.long(D:%s))%s%s)\n", address.c_str(), address.c_str(), op,
                r.c_str());
}

void hll_name_pass(ResultDescriptor* rd) {
    if (!rd->text) return;
    std::string t(rd->text);
    rd->text = pool_string(text_scan::parenthesise_hll_names(t).c_str());
}

std::string hoist_value_negations(const char* text) {
    return text_scan::outside_literals(text_of(text), [](const std::string& t) {
        const std::string call = "Var.Value(!\\";
        std::string out;
        std::size_t i = 0;
        while (i < t.size()) {
            if (t.compare(i, call.size(), call) == 0) {
                std::size_t name = i + call.size(), end = name;
                while (end < t.size() && ascii::is_word(t[end])) ++end;
                if (end > name && end < t.size() && t[end] == ')') {
                    out.append("!Var.VALUE(\\").append(t, name, end - name).append(")");
                    i = end + 1;
                    continue;
                }
            }
            out += t[i++];
        }
        return out;
    });
}

std::string wrap_bare_hll_names(const std::string& t) {
    std::string out, bare;
    auto flush = [&]() {
        if (bare.empty()) return;
        out += text_scan::value_calls(bare, 0);
        bare.clear();
    };
    std::size_t i = 0;
    while (i < t.size()) {
        if (text_scan::is_quote(t[i])) {
            std::size_t end = text_scan::literal_end(t, i);
            bare.append(t, i, end - i);
            i = end;
            continue;
        }
        if (t.size() - i >= 10 && strncasecmp(t.c_str() + i, "var.value(", 10) == 0) {
            // The call and everything inside it, to its closing parenthesis.
            std::size_t j = i + 10;
            int depth = 1;
            while (j < t.size() && depth > 0) {
                if (text_scan::is_quote(t[j])) {
                    j = text_scan::literal_end(t, j);
                    continue;
                }
                if (t[j] == '(') ++depth;
                if (t[j] == ')') --depth;
                ++j;
            }
            flush();
            out.append(t, i, j - i);
            i = j;
            continue;
        }
        bare += t[i++];
    }
    flush();
    return out;
}

bool value_comparison_test(const ResultDescriptor* rd) {
    if (!rd->text) return false;
    std::string t(rd->text);
    return text_scan::value_comparison(t);
}

bool masked_macro_test(const ResultDescriptor* rd) {
    if (!rd->text) return false;
    std::string t(rd->text);
    return text_scan::masked_macro(t);
}

char* memory_cast_pass(ResultDescriptor* rd) {
    std::string t = text_of(rd->text);
    std::string out;
    const std::string cast = "*((unsigned int *)";
    std::size_t pos = 0;
    for (std::size_t hit; (hit = t.find(cast, pos)) != std::string::npos; pos = hit + cast.size())
        out.append(t, pos, hit - pos).append("data.long(D:");
    out.append(t, pos, std::string::npos);
    rd->text = pool_string(out.c_str());
    return rd->text;
}

char* data_long_pass(ResultDescriptor* rd) {
    std::string t = text_of(rd->text);
    return pool_string(text_scan::data_long(t).c_str());
}

void temporary_wrap_pass(ResultDescriptor* rd) {
    if (!rd->text) return;
    std::string t(rd->text);
    rd->text = pool_string(text_scan::wrap_temporaries(t).c_str());
}
