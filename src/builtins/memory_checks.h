// Parameter checks of the memory, map, load and symbol built-ins: arity,
// omitted-parameter fill, quoting, and the texts of quoted parameters.
#pragma once

#include <string>

#include "compiler/value.h"

namespace memory_checks {

// Exact count: "Too few"/"Too many" with N. False (error pending) on a mismatch.
bool arity_exact(int count, int expected, const char* name);
// Range MIN to MAX with the range messages.
bool arity_range(int count, int minimum, int maximum, const char* name);
// Gives every omitted (quoted, textless) parameter the text "\"\"".
void fill_omitted(GelParameter* parameters, int count);
// Parameter `index` (0 to 3) must be quoted, else "<Ordinal> parameter of %s
// function must be quoted." is pending.
bool require_quoted(GelParameter* parameters, int index, const char* name);
// The text of a quoted parameter without its enclosing double quotes.
std::string unquoted(const char* text);
// The parameter's text as written; a macro temporary without text is spelled
// &__V<n>, any other textless parameter is empty.
std::string written_text(const GelParameter& p);
// Sets the pending error of the call.
void fail(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace memory_checks
