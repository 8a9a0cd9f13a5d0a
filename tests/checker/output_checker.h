// Checks a converted QUERNA script for forms that cannot run as written:
// macros, temporaries and HLL variables that are read but never set or
// declared, jumps to labels that do not exist, unbalanced blocks and
// parentheses, empty operands, negative temporaries and assignments inside
// conditions. One pass over the text, linear in its length; any byte sequence
// is accepted, so the checker can serve as an oracle for fuzzing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace querna_check {

enum class FindingKind {
    unset_macro,            // &x read, never set (&x=...) nor declared (LOCAL, PRIVATE, GLOBAL, ENTRY)
    unset_temporary,        // &__V<n> or \__V<n> read, never set in the same subroutine
    undeclared_variable,    // \x named, never declared by Var.NEW or Var.NEWLOCAL
    missing_label,          // GOSUB, GOTO or a menu's DO to a label that does not exist
    unbalanced_block,       // a ")" line without its "(" line, or a "(" line never closed
    unbalanced_parenthesis, // ( ) or [ ] of one line that do not pair up
    unterminated_string,    // a double quote without its closing one on the same line
    empty_operand,          // "()", "Var.VALUE()", "D:)", or a condition that starts with a binary operator
    negative_temporary,     // &__V_<n> or \__V_<n>
    assignment_in_condition, // a single "=" in an IF or WHILE condition
    stale_loop_condition    // a WHILE condition reads a temporary that its block never sets again
};

struct Finding {
    int line = 0;          // 1-based line of the script
    FindingKind kind = FindingKind::unset_macro;
    std::string text;      // the offending name, or the line's text for line-level findings
};

struct CheckOptions {
    // Subroutines that are called but defined nowhere and that the converter
    // warned about: GOSUB to one of them is not a finding.
    std::vector<std::string> excused_functions;
};

// Every finding of the script, ordered by line.
std::vector<Finding> check_script(std::string_view text, const CheckOptions& options);

// The kind's name as printed ("unset-macro", "missing-label", ...).
std::string_view kind_name(FindingKind kind);

// The function names of the converter's warnings
// 'line N: Warning: Call to undefined function "NAME()".' in a diagnostics text.
std::vector<std::string> undefined_functions_in(std::string_view diagnostics);

}  // namespace querna_check
