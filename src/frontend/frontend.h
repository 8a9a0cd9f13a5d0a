// The parser's entry and the run-wide state it shares with the scanner.
#pragma once

#include "frontend/tree.h"

extern List* tree;          // root: one external_declaration per top-level construct
extern int scanner_line;    // line counter, set to 1 before parsing

// 0 accepted, 1 syntax error, 2 stack exhaustion. Errors set error_flag.
int parse();
// Resets the scanner so that it reads standard input afresh.
void scanner_reset();
