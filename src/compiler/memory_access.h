// Reads and writes of target memory, core registers and peripheral registers.
#pragma once

#include "compiler/value.h"
#include "frontend/tree.h"

// Core register name of the -a architecture? (binary search in byte order)
bool is_core_register(const char* name);

// @-form operand (element of an AT kind): reads memory into a temporary.
int read_memory_form(tree_element* at, ResultDescriptor* rd);
// Identifier that names a core or peripheral register: reads it into a
// temporary. Returns 1 when it handled the identifier, 0 otherwise.
int read_register_identifier(const char* name, ResultDescriptor* rd, int* kind);
// Unary '*' applied to an operand, converted by deref_mode.
int convert_dereference(int operand_kind, ResultDescriptor* rd);
// Assignment to a memory or register target (operator code = node kind of the
// assignment operator). Returns 1 when it handled the left side's kind.
int write_target(int left_kind, ResultDescriptor* left, uint32_t op, int right_kind,
                 ResultDescriptor* right);
// ++/-- on a memory or register temporary. Returns 1 when handled.
int step_target(int kind, ResultDescriptor* rd, bool increment, bool prefix);
