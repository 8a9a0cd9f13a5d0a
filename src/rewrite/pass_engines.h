// The text passes on std::string, each in two engines that give the same
// results: BY_PATTERN runs the compiled patterns of pattern_table.h, the
// reference each pass is written against, on texts up to kRegexTextLimit
// characters; BY_HAND is a linear scan without recursion that serves texts of
// any length. The public passes of patterns.h run the scans, several times
// faster than the patterns on the short texts of a conversion; the unit tests
// check both engines against each other on generated texts.
#pragma once

#include <cstddef>
#include <string>

#include "rewrite/pattern_table.h"

namespace pass_engine {

enum Engine { BY_PATTERN, BY_HAND };

inline Engine engine_for(std::size_t) { return BY_HAND; }

// Index behind the string or character literal that starts at `at` (a quote);
// an unterminated literal runs to the end of the text.
std::size_t literal_end(const std::string& text, std::size_t at);

bool contains_var_call(const std::string& text, Engine engine);        // "\bVar.\b", caseless
bool contains_hll_temporary(const std::string& text, Engine engine);   // "\\__[a-z]", caseless
bool numeric_constant(const std::string& text, bool allow_negation, Engine engine);
std::string macro_names(const std::string& text, Engine engine);
std::string value_calls(const std::string& text, int w, Engine engine);
std::string remove_cast(const std::string& text, Engine engine);
std::string undo_negation_backslash(const std::string& text, Engine engine);
// Address group of the pointer compound pattern; false when it does not match.
bool compound_address(const std::string& left, std::string* address, Engine engine);
std::string parenthesise_hll_names(const std::string& text, Engine engine);
bool value_comparison(const std::string& text, Engine engine);
bool masked_macro(const std::string& text, Engine engine);
std::string data_long(const std::string& text, Engine engine);
std::string wrap_temporaries(const std::string& text, Engine engine);

}  // namespace pass_engine
