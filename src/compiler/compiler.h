// Stage 3: code generation over the parse tree, writing standard output.
#pragma once

struct List;

int compile(List* tree, const char* output_file_name, const char* macrofilename);
// Regroups the menu definitions of the translation unit in place; run before compile.
void regroup_menus(List* tree);
// Releases the run-wide name lists of the code generator.
void free_compiler_lists();
