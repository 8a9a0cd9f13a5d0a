// Stage 1: the C preprocessor over standard input, writing standard output.
#pragma once

// 0 on success, 1 when errors were reported. The first run after
// preprocessor_reset() writes the two header lines; later runs keep the macro
// definitions of the earlier ones.
int run_preprocessor(const char* macrofilename);
// Conversion kind recorded for a macro name, 0 when the name is not defined.
int macro_conversion_kind(const char* name);
// Releases the macro table (end of the run).
void free_macro_table();
// Forgets everything of an earlier conversion (macro table, converted-function
// list, include directories, marker state): called once per conversion before
// the first run.
void preprocessor_reset();
