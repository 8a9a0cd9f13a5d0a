// Reads and writes of target memory, core registers and peripheral registers.
#pragma once

#include <cstdint>

#include "compiler/value.h"
#include "frontend/tree.h"

// --- core registers of the -a architecture (registers.cpp) ---
// Core register name of the chosen set? (binary search in byte order)
bool is_core_register(const char* name);
// The names of register set `set` (1..11) in byte order, and their count.
const char* const* core_register_set(int set, int* count);

// --- reads ---
// @-form token (an element of one of the 24 AT kinds): reads memory into a
// new temporary. Returns RK_MEMORY_TEMP.
int read_memory_form(const tree_element* at, ResultDescriptor* rd);
// Identifier naming a core register of the -a set or a peripheral register of
// the -t target: reads it into a new temporary and returns its kind; 0 when
// the name is neither.
int read_register_identifier(const char* name, ResultDescriptor* rd);
// access_type of the AT token kind `id`; 0 for a kind outside the 24.
uint32_t at_access_type(uint32_t id);

// --- unary '*' converted by expression_state.deref_mode (not DEREF_NONE): `rd` holds the operand of
// kind `operand_kind` and receives the result. Returns RK_EXPRESSION.
int convert_dereference(int operand_kind, ResultDescriptor* rd);
// Size name of a dereference by the low byte of the type flags.
const char* dereference_size_name(uint32_t type_flags);

// --- writes ---
// Simple "=" to a peripheral-register, core-register or memory temporary.
void write_target(int left_kind, const ResultDescriptor* left, int right_kind, const ResultDescriptor* right);
// Simple "=" through a dereference kept as text.
void pointer_write(int left_kind, ResultDescriptor* left, int right_kind, ResultDescriptor* right);
// Compound assignment (operator without "=") to a register or memory temporary.
void compound_write_target(int left_kind, const ResultDescriptor* left, const char* op, int right_kind,
                           const ResultDescriptor* right);
// "++"/"--" on a register or memory temporary. A prefix step re-reads the
// target into its temporary; a postfix step first saves the old value into
// &__V<saved_number>.
void step_target(int kind, const ResultDescriptor* target, bool increment, bool prefix, int32_t saved_number);
