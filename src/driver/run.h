// One conversion run: command line, stages, output assembly, exit status.
#pragma once

int run_conversion(int argc, char** argv);

// Thrown by a `run_exit_hook` that ends a run without ending the process;
// run_conversion catches it and returns its status.
struct RunExit {
    int status;
};
// Releases the run-wide lists (parse tree, token texts, code-generator lists).
void free_global_lists();
