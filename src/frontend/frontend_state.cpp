// The front end's run-wide state.
#include "frontend/frontend.h"

List* tree = nullptr;
List* token_texts = nullptr;
int scanner_line = 1;
