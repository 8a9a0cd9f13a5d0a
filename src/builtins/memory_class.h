// Operand pieces shared by the memory built-ins: unescaping of quoted file
// names, the memory class chosen by a page parameter, and the address range.
#pragma once

#include <cstdint>

#include "compiler/value.h"

// Turns each pair of backslashes into one, pairs taken from left to right,
// in place. Quotes and every other character stay as they are.
void unescape_backslashes(char* text);

// The memory class a page parameter selects.
struct MemoryClassChoice {
    // "d", "io" or "p" when the page is a numeric constant; null when the
    // class is chosen at run time into the macro &__V<macro_number>.
    const char* constant = nullptr;
    int32_t macro_number = 0;
};

// A numeric constant page (kind RK_TEXT, node ID_CONSTANT) selects by its text:
// "0x1" data, "0x2" io, anything else program; nothing is written. Any other
// page writes the run-time IF chain that assigns "d", "io" or "p" to
// &__V<numbering.temp_counter> (the counter is not advanced) and returns that number.
// A null page (no page given) selects program memory.
// Write every check of the call before this: the chain is output.
MemoryClassChoice select_memory_class(GelParameter* page);

// Writes the range operand  A)--((A)+(((L)<<1)-1))  with A and L rendered.
void write_address_range(GelParameter* address, GelParameter* length);
