// The condition lines of the statements: one grid of formats, a row per
// operand class and a column per statement that tests a value.
#include <cstring>

#include "compiler/expression_support.h"
#include "compiler/statements_internal.h"
#include "driver/diagnostics.h"

namespace {

// One cell: the line for a condition value. `line` is the only form, or the
// script's own where the statement picks one; `evaluator` is the HLL
// evaluator's variant where the statement picks it (null: none). A cell with
// no line is a value the statement never tests: a fatal internal error.
struct ConditionCell {
    const char* line = nullptr;
    const char* evaluator = nullptr;
};

// Rows: V (the temporaries), M (macro), H (HLL variable), T (text),
// E (expression) and the empty condition; columns: CL_IF, CL_WHILE, CL_FOR,
// CL_DO_EXIT. In a cell the first conversion takes the value (%i its number,
// %s its text); the do exit test's second one takes the loop flag's number.
// The columns differ in letter case and spacing on purpose; the comments mark
// where.
const ConditionCell kConditionLines[6][4] = {
    /* V */ {{"Var.IF (\\__V%i!=0)\n"},                  // an HLL temporary: the evaluator's IF
             {"WHILE V.VALUE(\\__V%i)\n"},               // while reads with V.VALUE,
             {"WHILE Var.VALUE(\\__V%i)\n"},             // for with Var.VALUE
             {"Var.IF !(\\__V%i)\n&__V%i=0\n"}},         // do: "!(value)", not "(value!=0)"
    /* M */ {{"IF (&__V%i!=0)\n"},
             {"WHILE V.VALUE(%s)!=0\n"},                 // the macro's text, not its number
             {"WHILE &__V%i\n"},                         // the macro bare
             {"IF (&__V%i)==0\n&__V%i=0\n"}},            // script IF, "==0" after the parentheses
    /* H */ {{"Var.IF (\\%s!=0)\n"},
             {"WHILE V.VALUE(\\%s)\n"},
             {"WHILE Var.VALUE(\\%s)\n"},
             {"Var.IF !(\\%s)\n&__V%i=0\n"}},
    /* T */ {{"IF (%s!=0)\n"},
             {"WHILE V.VALUE(%s)!=0\n"},
             {"WHILE Var.VALUE(%s)\n"},                  // no "!=0", unlike while
             {"IF !(%s)\n&__V%i=0\n", "Var.IF !(%s)\n&__V%i=0\n"}},
    /* E */ {{"IF %s\n", "Var.IF %s\n"},
             {"WHILE %s\n", "V.WHILE %s\n"},             // "V." in front of WHILE, not "Var."
             {"WHILE %s\n"},
             {"IF !(%s)\n&__V%i=0\n", "Var.IF !(%s)\n&__V%i=0\n"}},
    /* empty */ {{}, {}, {"WHILE \n"}, {}},              // for (;;): the blank after WHILE stays
};

const char* const kColumnRoutine[4] = {"generate_if", "C_iteration_statement", "C_iteration_statement",
                                       "C_iteration_statement"};

int row_of(int kind) {
    if (kind == RK_NONE) return 5;
    OperandClass c = operand_class(kind);
    return c == OC_INVALID ? -1 : static_cast<int>(c);
}

}  // namespace

void write_condition_line(ConditionColumn column, int kind, const ResultDescriptor& rd, bool evaluator,
                          int32_t flag) {
    const int row = row_of(kind);
    const ConditionCell* cell = row >= 0 ? &kConditionLines[row][column] : nullptr;
    const char* format = cell == nullptr ? nullptr : evaluator && cell->evaluator ? cell->evaluator : cell->line;
    if (format == nullptr) fatal_internal_error("compiler", kColumnRoutine[column], __LINE__);
    const char* conversion = std::strchr(format, '%');
    const bool takes_number = conversion != nullptr && conversion[1] == 'i';
    emit(fill(format, {takes_number ? number_text(rd.number) : text_of(&rd), number_text(flag)}));
}
