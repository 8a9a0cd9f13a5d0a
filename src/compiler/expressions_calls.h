// Calls of built-ins and of script functions.
#pragma once

#include "compiler/value.h"
#include "frontend/tree.h"

// `name` is the IDENTIFIER element of the call, `arguments` the argument
// list (null for a call without arguments). Returns RK_MACRO_TEMP, or 0 after
// an error.
int convert_call(tree_element* name, List* arguments, ResultDescriptor* rd);

// True when the whole text is a string literal (a double quote, any
// characters but line ends, a double quote).
bool is_whole_string_literal(const char* text);
