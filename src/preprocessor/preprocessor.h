// Stage 1: the C preprocessor over standard input, writing standard output.
#pragma once

// 0 on success, 1 when errors were reported.
int run_preprocessor(const char* macrofilename);
// Conversion kind recorded for a macro name, 0 when the name is not defined.
int macro_conversion_kind(const char* name);
// Releases the macro table (end of the run).
void free_macro_table();
