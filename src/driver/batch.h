// The batch mode: converts every GEL script of files and folders into an
// output folder, one child process per script, and writes a migration report.
#pragma once

// True when the command line asks for the batch mode (it has --out-dir).
bool is_batch_command_line(int argc, char** argv);

// Runs the batch; returns the exit status: 0 when every script converted.
int run_batch(int argc, char** argv);
