// Re-indents the script body by the depth of its parenthesised blocks.
#pragma once

#include <cstdio>

void format_output(FILE* in, FILE* out);
