// The front end's run-wide state.
#include "frontend/frontend.h"

List* tree = nullptr;
int scanner_line = 1;
