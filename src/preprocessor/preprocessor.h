// Stage 1: the C preprocessor over standard input, writing standard output.
#pragma once

// 0 on success, 1 when errors were reported. The first run after
// preprocessor_reset() writes the two header lines; later runs keep the macro
// definitions of the earlier ones.
int run_preprocessor(const char* macrofilename);
// What a #define was converted into, as recorded in the macro table.
enum MacroConversionKind : int {
    MC_EXPANDED = 0,             // not converted: uses expand to the body
    MC_DECIMAL_CONSTANT = 1,     // object-like decimal constant: uses are "&__" + name
    MC_HEX_CONSTANT = 2,         // object-like hexadecimal constant: uses are "&__" + name
    MC_FUNCTION = 3,             // function-like expression body: a subroutine "__gp_" + name
    MC_CONSTANT_EXPRESSION = 4,  // expression over constants and converted macros: "&__" + name
    MC_SCRIPT_EXPRESSION = 5,    // expression that names script variables: "&__" + name
    MC_STATEMENTS = 6,           // body with statements: a subroutine "__gp_" + name
};
// The kinds whose uses are the script macro "&__" + name.
inline bool is_script_macro_kind(MacroConversionKind kind) {
    return kind == MC_DECIMAL_CONSTANT || kind == MC_HEX_CONSTANT || kind == MC_CONSTANT_EXPRESSION ||
           kind == MC_SCRIPT_EXPRESSION;
}
// The kinds converted into a subroutine, whose uses are calls.
inline bool is_subroutine_kind(MacroConversionKind kind) { return kind == MC_FUNCTION || kind == MC_STATEMENTS; }
// Conversion kind recorded for a macro name, MC_EXPANDED when the name is not
// defined.
MacroConversionKind macro_conversion_kind(const char* name);
// Releases the macro table (end of the run).
void free_macro_table();
// Forgets everything of an earlier conversion (macro table, converted-function
// list, include directories, marker state): called once per conversion before
// the first run.
void preprocessor_reset();
