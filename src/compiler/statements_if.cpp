// "if" / "else" and the IF line of a condition value.
#include <cstdio>
#include <string>
#include <vector>

#include "compiler/codegen.h"
#include "compiler/statements_internal.h"
#include "driver/diagnostics.h"
#include "rewrite/condition.h"
#include "rewrite/patterns.h"

namespace {

// A pass that gives nothing back leaves the text as it was.
char* or_same(char* result, char* text) { return result != nullptr ? result : text; }

// The IF line of a composite condition text: plain script IF where the text
// is a script-level value, Var.IF where the HLL evaluator must see it.
void generate_expression_if(ResultDescriptor* rd) {
    char* t = pool_string(rd->text != nullptr ? rd->text : "");
    strip_value_wrappers(t);
    const bool hll_name = contains(t, "\\");
    const bool script_macro = contains(t, "&_");
    const bool quoted = contains(t, "\"");

    rd->text = t;
    t = or_same(data_long_pass(rd), t);
    rd->text = t;

    bool plain;
    if (contains_nocase(t, "data.")) {
        value_call_pass(rd, 0);
        t = or_same(rd->text, t);
        plain = true;
    } else if (hll_name) {
        plain = false;
    } else if (script_macro) {
        plain = true;
    } else if (is_numeric_constant(t, false)) {
        plain = false;
    } else {
        plain = quoted;
    }

    if (!contains(t, "float") && !contains(t, "int")) t = pool_string(convert_condition(t).c_str());

    if (contains(t, "float") || (contains(t, "int") && !contains(t, "toint"))) {
        plain = false;
        strip_value_wrappers(t);
    }
    const bool macro_case = contains(t, "&__V") && !contains_nocase(t, "data.");

    rd->text = t;
    if (contains(t, "toint")) {
        value_call_pass(rd, 0);
        if (rd->text == nullptr) rd->text = t;
    } else if (!plain || macro_case) {
        std::fputs("Var.", stdout);
    }
    hll_name_pass(rd);
    if (rd->text == nullptr) rd->text = t;
    char* line = or_same(negation_pass(rd), rd->text);
    std::printf("IF %s\n", line);
}

}  // namespace

int generate_if(int kind, ResultDescriptor* rd) {
    switch (kind) {
    case RK_MEMORY_TEMP:
    case RK_CORE_REGISTER_TEMP:
    case RK_PERIPHERAL_REGISTER_TEMP:
        std::printf("IF (\\__V%i!=0)\n", rd->number);
        return 0;
    case RK_MACRO_TEMP:
        std::printf("IF (&__V%i!=0)\n", rd->number);
        return 0;
    case RK_HLL_VARIABLE:
        std::printf("Var.IF (\\%s!=0)\n", rd->text ? rd->text : "");
        return 0;
    case RK_TEXT:
        std::printf("IF (%s!=0)\n", rd->text ? rd->text : "");
        return 0;
    case RK_EXPRESSION:
        generate_expression_if(rd);
        return 0;
    default:
        FATAL_INTERNAL_ERROR("generate_if");
    }
}

int C_selection_statement(List* list, const char* macrofilename) {
    if (list == nullptr || list->count < 2) return 0;
    tree_element* condition = list->first;
    tree_element* then_part = condition->next;
    tree_element* else_part = then_part->next;

    ResultDescriptor rd;
    expression_state.deref_mode = DEREF_FUNCTION_FORM;
    int kind = C_expression(condition->child, &rd);
    expression_state.deref_mode = DEREF_NONE;
    if (error_flag) return 0;
    debug_trace_line("In C_selection_statement()");
    // Pointer steps of the condition follow the test that reads the old
    // values: at the head of both branches.
    const std::vector<PointerStep> steps = take_pointer_steps();

    generate_if(kind, &rd);
    if (error_flag) return 0;
    std::printf("(\n");
    write_pointer_steps(steps);
    C_statement(then_part->child, macrofilename);
    if (error_flag) return 0;
    if (else_part != nullptr || !steps.empty()) {
        std::printf(")\nELSE\n(\n");
        write_pointer_steps(steps);
    }
    if (else_part != nullptr) {
        C_statement(else_part->child, macrofilename);
        if (error_flag) return 0;
    }
    std::printf(")\n");
    return 0;
}
