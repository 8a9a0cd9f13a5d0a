// Command-line checks and the usage text.
#pragma once

struct CommandLine {
    const char* input = nullptr;
    const char* output = nullptr;
    bool regs_requested = false;  // -r
    bool target_given = false;    // -t
};

// Checks the arguments and sets the run settings. On a command-line error it
// prints the message and the usage on standard output and returns false; the
// caller then ends with exit status 1.
bool parse_command_line(int argc, char** argv, CommandLine* cl);
void print_usage();
// The usage with every architecture name, for --help.
void print_help();
