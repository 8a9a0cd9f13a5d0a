// goto, break and the forms of return.
#include <cstdio>
#include <string>
#include <vector>

#include "compiler/codegen.h"
#include "compiler/statements_internal.h"
#include "driver/diagnostics.h"
#include "rewrite/condition.h"
#include "rewrite/patterns.h"

int return_dereference(ResultDescriptor* rd) {
    if (rd == nullptr || !match_return_dereference(rd->text)) return 0;
    char* stripped = pool_string(rd->text);
    strip_value_wrappers(stripped);
    rd->text = pool_string(("Var.VALUE" + std::string(stripped)).c_str());
    return 1;
}

void return_conditional(ResultDescriptor* rd) {
    if (rd == nullptr) return;
    ConditionalMatch m = match_conditional(rd->text);
    if (!m.found) return;
    std::string a = wrap_hll_value(m.value_true);
    std::string b = wrap_hll_value(m.value_false);
    std::string text = b + "\nIF " + m.condition + "\n(\n&__FUNCTION_RETURN_VALUE=" + a + "\n)\n";
    rd->text = pool_string(text.c_str());
}

namespace {

void return_value(List* expression) {
    ResultDescriptor rd;
    int kind = C_expression(expression, &rd);
    if (error_flag) return;
    // Pointer steps of the value follow its computation, before the RETURN.
    const std::vector<PointerStep> steps = take_pointer_steps();
    if (rd.text == nullptr) {
        write_pointer_steps(steps);
        return;
    }
    if (!return_dereference(&rd)) {
        cast_removal_pass(&rd.text);
        if (rd.text == nullptr) return;
    }
    switch (kind) {
    case RK_EXPRESSION:
        if (match_conditional(rd.text).found) return_conditional(&rd);
        if (contains_temporary_reference(rd.text)) temporary_wrap_pass(&rd);
        std::printf("&__FUNCTION_RETURN_VALUE=%s\n", rd.text ? rd.text : "");
        write_pointer_steps(steps);
        std::printf("RETURN &__FUNCTION_RETURN_VALUE\n");
        return;
    case RK_MEMORY_TEMP:
    case RK_CORE_REGISTER_TEMP:
    case RK_PERIPHERAL_REGISTER_TEMP:
        std::printf("&__FUNCTION_RETURN_VALUE=Var.VALUE(\\__V%i)\n", rd.number);
        write_pointer_steps(steps);
        std::printf("RETURN &__FUNCTION_RETURN_VALUE\n");
        return;
    case RK_MACRO_TEMP:
        write_pointer_steps(steps);
        std::printf("RETURN &__V%i\n", rd.number);
        return;
    case RK_HLL_VARIABLE:
        std::printf("&__FUNCTION_RETURN_VALUE=Var.VALUE(\\%s)\n", rd.text);
        write_pointer_steps(steps);
        std::printf("RETURN &__FUNCTION_RETURN_VALUE\n");
        return;
    case RK_TEXT:
        if (contains(rd.text, "\""))
            std::printf("&__FUNCTION_RETURN_VALUE=%s\n", rd.text);
        else
            std::printf("&__FUNCTION_RETURN_VALUE=Var.VALUE(%s)\n", rd.text);
        write_pointer_steps(steps);
        std::printf("RETURN &__FUNCTION_RETURN_VALUE\n");
        return;
    default:
        FATAL_INTERNAL_ERROR("C_jump_statement");
    }
}

}  // namespace

int C_jump_statement(List* list) {
    debug_trace_line("In C_jump_statement()");
    if (list == nullptr || list->first == nullptr) return 0;
    tree_element* keyword = list->first;
    switch (keyword->id) {
    case ID_GOTO:
        std::printf("GOTO %s\n", keyword->next && keyword->next->txt ? keyword->next->txt : "");
        return 0;
    case ID_BREAK:
        if (!label_empty(loop_labels)) {
            int32_t label = label_top(loop_labels);
            label_push(&break_targets, label);
            std::printf("GOTO __L%i\n", label);
        }
        return 0;
    case ID_RETURN:
        if (keyword->next == nullptr)
            std::printf("RETURN\n");
        else
            return_value(keyword->next->child);
        return 0;
    default:
        return 0;
    }
}
