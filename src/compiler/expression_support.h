// Helpers shared by the expression conversion and the memory and register
// access code: operand classes, a small format filler whose arguments are all
// texts, and the writers used by more than one file.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "compiler/value.h"
#include "frontend/tree.h"

// Columns and rows of the operand tables.
enum OperandClass : int {
    OC_TEMPORARY = 0,  // V: memory, core-register and peripheral-register temporaries
    OC_MACRO = 1,      // M
    OC_HLL = 2,        // H
    OC_TEXT = 3,       // T
    OC_EXPRESSION = 4, // E
    OC_INVALID = 5,    // RK_NONE or out of range
};

OperandClass operand_class(int kind);
// Like operand_class, but a kind without a spelling is a fatal internal error
// naming `caller`.
OperandClass checked_class(int kind, const char* caller);

// The operand argument that a format cell takes for a value: the temporary's
// number for V and M, the text for H, T and E.
std::string operand_argument(int kind, const ResultDescriptor* rd);

// Fills a printf-style format. Every conversion (%s, %i, %d, %X, %0.8X, ...)
// takes the next argument text as it is; "%%" gives "%". Numbers are turned
// into text by the caller (number_text, hex8).
// A command whose format is a literal at the call is written with std::printf,
// so that the compiler checks the format against its arguments; fill is for
// formats taken from tables and for texts that are kept rather than written.
std::string fill(const char* format, std::initializer_list<std::string_view> args);
std::string number_text(long value);
std::string hex8(uint32_t value);  // the digits that "%0.8X" prints

// Writes a text to the script output as it is (never used as a format).
void emit(const std::string& text);
void emit(const char* text);

// Operator characters looked for by the assignment and the pointer write.
bool has_operator_character(const char* text);

// Blanks the first cast of `text` in place: from the first ")" back to the
// nearest "(" before it, both included, every character becomes a space.
// Nothing happens when the first ")" is the first character or has no "("
// before it.
void blank_first_cast(std::string& text);
// Removes every run of spaces that directly follows a "(".
void squeeze_after_parentheses(std::string& text);

// The right side of a plain assignment, written after "Var.Assign %s=" or
// after the address of a pointer write (value, then the line end).
void write_assigned_value(ResultDescriptor* left, int right_kind, ResultDescriptor* right);

// Spelling of a compound-assignment operator without its "=", or null when
// `op` is not a compound assignment.
const char* compound_operator_text(uint32_t op);

// Lookup of a name in a run-wide name list that only grows during a run
// (global variables, the function table, the pointer variables), through a
// hash index kept in step with the list, so that a script with many names
// and many uses stays linear. Returns the first element with the text, or
// null. The indexes are dropped by reset_expression_state.
const tree_element* find_listed_name(List* list, const char* name);
void reset_name_indexes();
