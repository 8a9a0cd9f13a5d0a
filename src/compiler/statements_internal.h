// Helpers shared by the statement conversion files: the label stacks, the
// pointer-step completion and plain text searches that stay linear however
// long a generated text is.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "compiler/codegen.h"
#include "compiler/value.h"
#include "frontend/tree.h"

// --- label stacks (loop_state.loop_labels, loop_state.break_targets) ---
void label_push(List** stack, int32_t label);
bool label_empty(const List* stack);
int32_t label_top(const List* stack);
void label_pop(List* stack);
// Pops entries until the stack holds at most `size` of them.
void label_truncate(List* stack, uint32_t size);
uint32_t label_count(const List* stack);

// The pointer steps that the expressions converted since the last call left
// pending, in source order; the pending list is emptied.
std::vector<PointerStep> take_pointer_steps();
// Writes the update line of each step: Var.Assign \p=\p+1 (or -1).
void write_pointer_steps(const std::vector<PointerStep>& steps);
// Writes the steps still pending after the expression of a statement (an
// expression statement, a declaration's initialiser, a for loop's
// initialisation or step): a step belongs to the statement that made it and
// never reaches a later one.
void complete_pointer_steps();

// --- loops ---
// A "continue" of the innermost loop: false outside any loop. The jump goes
// to a label that the loop writes before its next test.
bool continue_innermost_loop();

// --- text searches ---
// Case-insensitive (ASCII) substring search.
bool contains_nocase(const char* text, const char* needle);
bool contains(const char* text, const char* needle);
bool starts_with(const char* text, const char* prefix);
// True when the text holds "\__" followed by a letter (case-insensitive).
bool contains_temporary_reference(const char* text);

// True when the text holds the dereference of an unsigned int pointer that a
// returned value keeps: (*((unsigned int *)\__X)) or (*((unsigned int *)(...))).
bool match_return_dereference(const char* text);

// The statement call counters (trace lines only).
extern unsigned long statement_calls;
extern unsigned long statement_list_calls;
