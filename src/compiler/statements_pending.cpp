// Weak fallback until the expression conversion defines it.
#include "compiler/statements_pending.h"

__attribute__((weak)) const char* pointer_step_name = nullptr;
