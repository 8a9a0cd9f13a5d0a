// The four kinds of line of targets.def, recognised in one pass over the line.
#pragma once

#include <string_view>

enum class TargetLineKind { Register, Section, Ccs, Blank, Unrecognized };

// Blanks are spaces and tabs; letters match in either case; one newline may
// end the line.
//   Register:  NAME , 0xHEX , WIDTH , CLASS    (WIDTH one of 1 2 3 4 6 8, CLASS 0 or 1)
//   Section:   [NAME]
//   Ccs:       --ccs--
//   Blank:     blanks only
// NAME is a letter or "_" followed by letters, digits and "_".
struct TargetLine {
    TargetLineKind kind = TargetLineKind::Unrecognized;
    std::string_view name;     // Register, Section
    std::string_view address;  // Register: "0x" and the digits
    int width = 0;             // Register
    int memory_class = 0;      // Register
};

TargetLine classify_target_line(std::string_view line);
