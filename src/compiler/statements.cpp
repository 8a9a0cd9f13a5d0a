// Blocks, statement lists, the statement dispatcher, labels and expression
// statements with the completion of a pending pointer step.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "compiler/codegen.h"
#include "compiler/statements_internal.h"
#include "driver/diagnostics.h"

unsigned long statement_calls = 0;
unsigned long statement_list_calls = 0;

std::vector<PointerStep> take_pointer_steps() {
    std::vector<PointerStep> steps;
    steps.swap(expression_state.pending_pointer_steps);
    return steps;
}

void write_pointer_steps(const std::vector<PointerStep>& steps) {
    for (const PointerStep& step : steps)
        std::printf("Var.Assign \\%s=\\%s%s\n", step.name, step.name, step.up ? "+1" : "-1");
}

void complete_pointer_steps() { write_pointer_steps(take_pointer_steps()); }

int C_compound_statement(List* list, long scope_depth, const char* macrofilename) {
    debug_trace_line("In C_compound_statement()");
    if (list == nullptr || list->count == 0) return 0;
    tree_element* e = list->first;
    if (e != nullptr && e->id == ID_dts_comment) {
        C_dts_comment(e->child, false, macrofilename);
        if (error_flag) return 0;
        e = e->next;
    }
    if (e != nullptr && e->id == ID_declaration_list) {
        C_declaration_list(e->child);
        if (error_flag) return 0;
        e = e->next;
    }
    if (e != nullptr && e->id == ID_statement_list) {
        C_statement_list(e->child, macrofilename);
    } else if (list->count == 2 && list->last->id == ID_statement_list) {
        C_statement_list(list->last->child, macrofilename);
    }
    if (error_flag) return 0;
    List* scope = function_state.scope_names;
    while (scope != nullptr && static_cast<long>(scope->count) > scope_depth && names_remove_last(scope)) {
    }
    return 0;
}

// A list of n statements nests n-1 statement lists, the first statement
// deepest. The nesting is followed with a loop; the trace still shows one call
// per level, outermost first, as a recursive walk would.
int C_statement_list(List* list, const char* macrofilename) {
    std::vector<List*> levels;
    for (List* level = list; level != nullptr;) {
        debug_trace_line(("In C_statement_list(), call " + std::to_string(++statement_list_calls)).c_str());
        levels.push_back(level);
        tree_element* e = level->first;
        level = (e != nullptr && e->id == ID_statement_list) ? e->child : nullptr;
    }
    for (size_t i = levels.size(); i-- > 0;) {
        for (tree_element* e = levels[i]->first; e != nullptr; e = e->next) {
            if (e->id == ID_statement) {
                C_statement(e->child, macrofilename);
                if (error_flag) return 0;
            } else if (e->id == ID_QUERNA_CALL) {
                std::printf("%s\n", e->txt ? e->txt : "");
            }
        }
    }
    return 0;
}

int C_expression_statement(List* list, ResultDescriptor* rd) {
    debug_trace_line("In C_expression_statement(), rd: ");
    if (list == nullptr || list->count == 0 || list->first->child == nullptr) return RK_NONE;
    int kind = C_expression(list->first->child, rd);
    if (error_flag) return 0;
    return kind;
}

int C_labeled_statement(List* list, const char* macrofilename) {
    debug_trace_line("In C_labeled_statement()");
    if (list == nullptr || list->first == nullptr) return 0;
    std::printf("%s:\n", list->first->txt ? list->first->txt : "");
    tree_element* statement = list->first->next;
    if (statement != nullptr && statement->id == ID_statement) C_statement(statement->child, macrofilename);
    return 0;
}

namespace {

// The statement "continue;": the scanner knows no such keyword, so it arrives
// as an expression statement made of the one identifier.
bool is_continue(List* expression_statement) {
    if (expression_statement == nullptr || expression_statement->count != 1) return false;
    List* list = expression_statement->first->child;
    while (list != nullptr && list->count == 1 && list->first->child != nullptr) list = list->first->child;
    return list != nullptr && list->count == 1 && list->first->id == ID_IDENTIFIER && list->first->txt != nullptr &&
           std::strcmp(list->first->txt, "continue") == 0;
}

}  // namespace

int C_statement(List* list, const char* macrofilename) {
    std::string trace = "In C_statement(), call " + std::to_string(++statement_calls);
    tree_element* first = list != nullptr ? list->first : nullptr;
    if (first != nullptr && first->child != nullptr && first->child->first != nullptr &&
        first->child->first->txt != nullptr) {
        trace += ", tree->first->child->first->txt: ";
        trace += first->child->first->txt;
    }
    debug_trace_line(trace.c_str());
    if (first == nullptr) return 0;
    List* child = first->child;
    switch (first->id) {
    case ID_labeled_statement:
        C_labeled_statement(child, macrofilename);
        return 0;
    case ID_compound_statement:
        C_compound_statement(
            child, function_state.scope_names != nullptr ? static_cast<long>(function_state.scope_names->count) : 0,
            macrofilename);
        return 0;
    case ID_expression_statement: {
        if (is_continue(child)) {
            if (!continue_innermost_loop()) warning_at(first->line, "%s", "\"continue\" outside a loop is ignored.");
            return 0;
        }
        ResultDescriptor rd;
        expression_state.postfix_value_unused = true;
        int kind = C_expression_statement(child, &rd);
        expression_state.postfix_value_unused = false;
        if (error_flag) return 0;
        complete_pointer_steps();
        return kind;
    }
    case ID_selection_statement:
        C_selection_statement(child, macrofilename);
        return 0;
    case ID_iteration_statement:
        C_iteration_statement(child, macrofilename);
        return 0;
    case ID_jump_statement:
        C_jump_statement(child);
        return 0;
    case ID_dts_comment:
        C_dts_comment(child, false, macrofilename);
        return 0;
    case ID_dts_define:
        C_dts_define(child, macrofilename);
        return 0;
    default:
        return 0;
    }
}
