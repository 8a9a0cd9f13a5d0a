// The text passes over descriptor texts, run by the linear scans of
// pass_engines.cpp.
#include "rewrite/patterns.h"

#include <cstdio>
#include <cctype>
#include <cstring>
#include <strings.h>
#include <string>

#include "rewrite/pass_engines.h"

using pass_engine::engine_for;

namespace {

std::string text_of(const char* text) { return text ? std::string(text) : std::string(); }

}  // namespace

bool text_contains_var_call(const char* text) {
    std::string t = text_of(text);
    return pass_engine::contains_var_call(t, engine_for(t.size()));
}

bool text_contains_hll_temporary(const char* text) {
    std::string t = text_of(text);
    return pass_engine::contains_hll_temporary(t, engine_for(t.size()));
}

bool is_numeric_constant(const char* text, bool allow_negation) {
    if (!text) return false;
    std::string t(text);
    return pass_engine::numeric_constant(t, allow_negation, engine_for(t.size()));
}

void macro_name_pass(ResultDescriptor* rd) {
    if (!rd->text) return;
    std::string t(rd->text);
    rd->text = pool_string(pass_engine::macro_names(t, engine_for(t.size())).c_str());
}

void value_call_pass(ResultDescriptor* rd, int w) {
    if (!rd->text) return;
    std::string t(rd->text);
    rd->text = pool_string(pass_engine::value_calls(t, w, engine_for(t.size())).c_str());
}

void cast_removal_pass(char** text) {
    if (!*text) return;
    std::string t(*text);
    *text = pool_string(pass_engine::remove_cast(t, engine_for(t.size())).c_str());
}

char* macro_operator_pass(const char* op, ResultDescriptor* rd) {
    std::string t = text_of(op) + "\\" + text_of(rd->text);
    rd->text = pool_string(t.c_str());
    return rd->text;
}

char* negation_pass(ResultDescriptor* rd) {
    std::string t = text_of(rd->text);
    rd->text = pool_string(pass_engine::undo_negation_backslash(t, engine_for(t.size())).c_str());
    return rd->text;
}

bool pointer_compound_target(const char* left, std::string* address) {
    std::string l = text_of(left), found;
    if (l.find("*((unsigned int *)") == std::string::npos ||
        !pass_engine::compound_address(l, &found, engine_for(l.size())))
        return false;
    if (address) *address = found;
    return true;
}

void pointer_compound_pass(const char* left, const char* op, const char* right) {
    std::string address;
    if (!pointer_compound_target(left, &address)) {
        std::printf("Var.Assign (%s%s=%s)\n", text_of(left).c_str(), op, right);
        return;
    }
    // The value is a script expression: its HLL names are read with Var.VALUE.
    std::string r = text_of(right);
    r = pass_engine::value_calls(r, 0, engine_for(r.size()));
    // After "&", a name or macro would read as a script macro or as "&&".
    if (std::strcmp(op, "&") == 0 && !r.empty() && r[0] != '(') r = "(" + r + ")";
    std::printf("Data.Set D:(Var.VALUE(%s)) %%Long ((data.long(D:%s))%s%s)\n", address.c_str(), address.c_str(), op,
                r.c_str());
}

void hll_name_pass(ResultDescriptor* rd) {
    if (!rd->text) return;
    std::string t(rd->text);
    rd->text = pool_string(pass_engine::parenthesise_hll_names(t, engine_for(t.size())).c_str());
}

std::string hoist_value_negations(const char* text) {
    const std::string t = text_of(text);
    const std::string call = "Var.Value(!\\";
    std::string out;
    std::size_t i = 0;
    while (i < t.size()) {
        if (t[i] == '"' || t[i] == '\'') {
            std::size_t end = pass_engine::literal_end(t, i);
            out.append(t, i, end - i);
            i = end;
            continue;
        }
        if (t.compare(i, call.size(), call) == 0) {
            std::size_t name = i + call.size(), end = name;
            while (end < t.size() && (std::isalnum(static_cast<unsigned char>(t[end])) || t[end] == '_')) ++end;
            if (end > name && end < t.size() && t[end] == ')') {
                out.append("!Var.VALUE(\\").append(t, name, end - name).append(")");
                i = end + 1;
                continue;
            }
        }
        out += t[i++];
    }
    return out;
}

std::string wrap_bare_hll_names(const std::string& t) {
    std::string out, bare;
    auto flush = [&]() {
        if (bare.empty()) return;
        out += pass_engine::value_calls(bare, 0, engine_for(bare.size()));
        bare.clear();
    };
    std::size_t i = 0;
    while (i < t.size()) {
        if (t[i] == '"' || t[i] == '\'') {
            std::size_t end = pass_engine::literal_end(t, i);
            bare.append(t, i, end - i);
            i = end;
            continue;
        }
        if (t.size() - i >= 10 && strncasecmp(t.c_str() + i, "var.value(", 10) == 0) {
            // The call and everything inside it, to its closing parenthesis.
            std::size_t j = i + 10;
            int depth = 1;
            while (j < t.size() && depth > 0) {
                if (t[j] == '"' || t[j] == '\'') {
                    j = pass_engine::literal_end(t, j);
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
    return pass_engine::value_comparison(t, engine_for(t.size()));
}

bool masked_macro_test(const ResultDescriptor* rd) {
    if (!rd->text) return false;
    std::string t(rd->text);
    return pass_engine::masked_macro(t, engine_for(t.size()));
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
    return pool_string(pass_engine::data_long(t, engine_for(t.size())).c_str());
}

void temporary_wrap_pass(ResultDescriptor* rd) {
    if (!rd->text) return;
    std::string t(rd->text);
    rd->text = pool_string(pass_engine::wrap_temporaries(t, engine_for(t.size())).c_str());
}
