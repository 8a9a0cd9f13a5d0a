// Text passes over generated expression texts. Passes that "replace" the text
// leave a fresh pooled copy in the descriptor; the old text is not freed.
#pragma once

#include <string>

#include "compiler/value.h"

// Numeric-constant test (full match; `allow_negation` admits a leading "(!").
bool is_numeric_constant(const char* text, bool allow_negation);
// Prefixes names of converted macros with "&__".
void macro_name_pass(ResultDescriptor* rd);
// Wraps bare HLL references (w = 0, "\name") or macro references (w = 1,
// "&__name") in "Var.VALUE(...)".
void value_call_pass(ResultDescriptor* rd, int w);
// Drops "(unsigned int)" / "(unsigned int *)" before an HLL reference.
void cast_removal_pass(char** text);
// Operator, backslash, macro text; the result becomes the descriptor's text.
char* macro_operator_pass(const char* op, ResultDescriptor* rd);
// Undoes the backslash between a negation and a macro.
char* negation_pass(ResultDescriptor* rd);
// Whether the compound assignment to the (stripped) left text writes target
// memory with Data.Set; gives the address expression.
bool pointer_compound_target(const char* left, std::string* address = nullptr);
// Writes the command of a compound assignment of two composite expressions.
void pointer_compound_pass(const char* left, const char* op, const char* right);
// Parenthesises HLL references when the text holds no Var. call.
void hll_name_pass(ResultDescriptor* rd);
// Loop conditions. The "!" of an HLL variable's value call comes out of the
// call: Var.Value(!\x) becomes !Var.VALUE(\x), so that the condition
// conversion can write the negation as "==0".
std::string hoist_value_negations(const char* text);
// Wraps each HLL reference (\x, \__V3) that stands outside a Var.VALUE call
// in Var.VALUE(...); the calls and string and character literals are copied
// as they are.
std::string wrap_bare_hll_names(const std::string& text);
bool value_comparison_test(const ResultDescriptor* rd);
bool masked_macro_test(const ResultDescriptor* rd);
char* memory_cast_pass(ResultDescriptor* rd);
// Returns the text without "(unsigned long)" casts when it holds a Data.Long
// read; the descriptor is not changed.
char* data_long_pass(ResultDescriptor* rd);
void temporary_wrap_pass(ResultDescriptor* rd);

// Safe on texts of any length: "\bVar.\b" (a Var. call) and "\\__[a-z]"
// (an HLL temporary), both caseless, as the return statements test them.
bool text_contains_var_call(const char* text);
bool text_contains_hll_temporary(const char* text);
