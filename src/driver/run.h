// One conversion run: command line, stages, output assembly, exit status.
#pragma once

int run_conversion(int argc, char** argv);
// Releases the run-wide lists (parse tree, token texts, code-generator lists).
void free_global_lists();
