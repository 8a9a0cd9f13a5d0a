// Routines of other parts of the code generator that compile needs before
// their headers declare them.
#pragma once

// Clears the expression conversion flags (pointer steps, loop-condition and
// dereference state) before the first declaration is converted.
void reset_expression_state();
