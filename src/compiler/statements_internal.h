// Helpers shared by the statement conversion files: the label stacks, the
// pointer-step completion and plain text searches that stay linear however
// long a generated text is.
#pragma once

#include <cstddef>
#include <string>

#include "compiler/value.h"
#include "frontend/tree.h"

// --- label stacks (loop_labels, break_targets) ---
void label_push(List** stack, int32_t label);
bool label_empty(const List* stack);
int32_t label_top(const List* stack);
void label_pop(List* stack);
// Pops entries until the stack holds at most `size` of them.
void label_truncate(List* stack, uint32_t size);
uint32_t label_count(const List* stack);

// Writes the update line of a pointer step still pending after the expression
// of a statement (an expression statement, a condition, a for-loop part or a
// returned value), then clears the step flags: the step belongs to the
// statement that made it and never reaches a later one.
void complete_pointer_step(int kind, const ResultDescriptor* rd);

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
