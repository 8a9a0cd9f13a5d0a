// The table of GEL built-ins and their dispatch.
#pragma once

#include "compiler/value.h"

constexpr int GEL_FUNCTION_COUNT = 107;

using gel_handler = int (*)(GelParameter* parameters, int count, const char* name, int line,
                            bool called_before);

extern const char gel_function_names[GEL_FUNCTION_COUNT][31];
extern const gel_handler gel_function_handlers[GEL_FUNCTION_COUNT];
extern bool gel_function_called[GEL_FUNCTION_COUNT];

void reset_gel_function_called();
// Entry number, or -1 when the name is not a built-in.
int find_gel_function(const char* name);
int call_gel_function(int entry, GelParameter* parameters, int count, int line);
// True when the table entry has no translation of its own.
bool gel_function_unsupported(int entry);
