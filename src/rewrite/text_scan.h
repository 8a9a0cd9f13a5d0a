// The text passes on std::string: linear scans without recursion, safe on
// texts of any length. Each follows a regular expression of the tests'
// pattern table (tests/reference/pattern_table.cpp), the reference it is
// written against; the unit tests and the fuzz target run both on the same
// texts and compare the results.
#pragma once

#include <cstddef>
#include <string>

namespace text_scan {

// Index behind the string or character literal that starts at `at` (a quote);
// an unterminated literal runs to the end of the text.
std::size_t literal_end(const std::string& text, std::size_t at);

inline bool is_quote(char c) { return c == '"' || c == '\''; }

// Applies `rewrite` to each stretch of text outside string and character
// literals and copies the literals unchanged.
template <typename Rewrite>
std::string outside_literals(const std::string& t, Rewrite rewrite) {
    std::string out;
    out.reserve(t.size() + 16);
    std::size_t i = 0;
    while (i < t.size()) {
        std::size_t end = is_quote(t[i]) ? literal_end(t, i) : i;
        if (end > i) {
            out.append(t, i, end - i);
        } else {
            while (end < t.size() && !is_quote(t[end])) ++end;
            out += rewrite(t.substr(i, end - i));
        }
        i = end;
    }
    return out;
}

// One word of the macro-name pass, with "&__" before it when it names a
// script macro.
void append_macro_word(std::string& out, const std::string& word);

bool contains_var_call(const std::string& text);        // "\bVar.\b", caseless
bool contains_hll_temporary(const std::string& text);   // "\\__[a-z]", caseless
bool numeric_constant(const std::string& text, bool allow_negation);
std::string macro_names(const std::string& text);
std::string value_calls(const std::string& text, int w);
std::string remove_cast(const std::string& text);
std::string undo_negation_backslash(const std::string& text);
// Address group of the pointer compound pattern; false when it does not match.
bool compound_address(const std::string& left, std::string* address);
std::string parenthesise_hll_names(const std::string& text);
bool value_comparison(const std::string& text);
bool masked_macro(const std::string& text);
std::string data_long(const std::string& text);
std::string wrap_temporaries(const std::string& text);

}  // namespace text_scan
