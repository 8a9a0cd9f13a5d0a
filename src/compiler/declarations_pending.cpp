// Fallbacks for routines that other parts of the code generator provide.
#include "compiler/declarations_pending.h"

__attribute__((weak)) void reset_expression_state() {}
