// Each text pass, the condition parser's tokens and the return-statement
// tests written with the reference patterns of pattern_table.h: the forms the
// scans of the program are checked against, on texts up to kRegexTextLimit
// characters. Steps that use no pattern are the program's own.
#pragma once

#include <span>
#include <string>

#include "pattern_table.h"
#include "rewrite/condition_tree.h"

namespace by_pattern {

bool contains_var_call(const std::string& text);
bool contains_hll_temporary(const std::string& text);
bool numeric_constant(const std::string& text, bool allow_negation);
std::string macro_names(const std::string& text);
std::string value_calls(const std::string& text, int w);
std::string remove_cast(const std::string& text);
bool compound_address(const std::string& left, std::string* address);
std::string parenthesise_hll_names(const std::string& text);
bool value_comparison(const std::string& text);
bool masked_macro(const std::string& text);
std::string data_long(const std::string& text);
std::string wrap_temporaries(const std::string& text);
bool return_dereference(const std::string& text);
std::string wrap_hll_value(const std::string& text);

extern const CondExpression::TokenRules kConditionTokens;

// Every pass of the program that has a reference form here, both ways, each
// result written as text ("true", "false", a converted text).
struct PassPair {
    const char* name;
    std::string (*scan)(const std::string& text);
    std::string (*reference)(const std::string& text);
};
std::span<const PassPair> pass_pairs();
// The pair of that name; aborts when there is none.
const PassPair& pass_pair(const std::string& name);

}  // namespace by_pattern
