// Simple and compound assignments. The value of an assignment is its target.
#include <cstdio>
#include <cstring>
#include <string>

#include "compiler/codegen.h"
#include "compiler/expression_support.h"
#include "compiler/memory_access.h"
#include "driver/diagnostics.h"
#include "rewrite/patterns.h"

namespace {

bool is_register_or_memory(int kind) {
    return kind == RK_PERIPHERAL_REGISTER_TEMP || kind == RK_CORE_REGISTER_TEMP || kind == RK_MEMORY_TEMP;
}

// Right side text or expression after "Var.Assign %s=" (or a pointer write).
void write_right_text(int right_kind, ResultDescriptor* right) {
    if (right_kind == RK_TEXT) {
        if (std::strchr(text_of(right), '*')) {
            std::printf("%s\n", text_of(right));
        } else {
            std::printf("Var.VALUE(%s)\n", text_of(right));
        }
        return;
    }
    if ((right->type_flags & 0xFF) != 0 && !std::strstr(text_of(right), "Data")) {
        // A cast was applied: the debugger does not need it.
        std::string text = text_of(right);
        blank_first_cast(text);
        squeeze_after_parentheses(text);
        right->text = pool_string(text.c_str());
    }
    if (has_operator_character(text_of(right))) {
        value_call_pass(right, 0);
        value_call_pass(right, 1);
        std::printf("%s\n", text_of(right));
    } else if (text_of(right)[0] == '(') {
        std::printf("Var.VALUE%s\n", text_of(right));
    } else {
        std::printf("Var.VALUE(%s)\n", text_of(right));
    }
}

// The left side of a plain assignment is a macro temporary &__V<n>.
void assign_to_macro(const ResultDescriptor* left, int right_kind, const ResultDescriptor* right) {
    int32_t n = left->number;
    switch (checked_class(right_kind, "C_assignment_expression")) {
        case OC_EXPRESSION: std::printf("&__V%i=Var.VALUE%s\n", n, text_of(right)); break;
        case OC_TEMPORARY: std::printf("&__V%i=Var.VALUE(\\__V%i)\n", n, right->number); break;
        case OC_MACRO: std::printf("&__V%i=&__V%i\n", n, right->number); break;
        case OC_HLL: std::printf("&__V%i=Var.VALUE(\\%s)\n", n, text_of(right)); break;
        default: std::printf("&__V%i=Var.VALUE(%s)\n", n, text_of(right)); break;
    }
}

void assign_to_hll_variable(ResultDescriptor* left, int right_kind, ResultDescriptor* right) {
    OperandClass column = checked_class(right_kind, "C_assignment_expression");
    std::printf("Var.Assign \\%s=", text_of(left));
    if (column != OC_HLL) macro_name_pass(right);
    switch (column) {
        case OC_TEMPORARY: std::printf("\\__V%i\n", right->number); break;
        case OC_MACRO: std::printf("&__V%i\n", right->number); break;
        case OC_HLL: std::printf("\\%s\n", text_of(right)); break;
        default: std::printf("%s\n", text_of(right)); break;
    }
}

void assign_to_text(ResultDescriptor* left, int right_kind, ResultDescriptor* right) {
    if (text_of(left)[0] == '&') {
        std::printf("%s=", text_of(left));
    } else {
        macro_name_pass(left);
        std::printf("Var.Assign %s=", text_of(left));
    }
    write_assigned_value(left, right_kind, right);
}

int simple_assignment(List* left_list, List* right_list, ResultDescriptor* rd) {
    ResultDescriptor left;
    left.type_flags = 0;
    int left_kind = C_unary_expression(left_list, &left);
    if (error_flag) return 0;
    const bool hll_target = left_kind == RK_HLL_VARIABLE && !(left.type_flags & TF_DEREF_AS_TEXT);
    expression_state.deref_mode = DEREF_DROP_CAST | (hll_target ? DEREF_HLL_FORM : DEREF_FUNCTION_FORM);
    ResultDescriptor right;
    int right_kind = C_assignment_expression(right_list, &right);
    expression_state.deref_mode = DEREF_NONE;
    expression_state.drop_next_cast = false;
    if (error_flag) return 0;

    checked_class(left_kind, "C_assignment_expression");
    checked_class(right_kind, "C_assignment_expression");
    *rd = left;
    if (rd->text) strip_value_wrappers(rd->text);
    if (right.text) strip_value_wrappers(right.text);

    if (is_register_or_memory(left_kind)) {
        write_target(left_kind, rd, right_kind, &right);
    } else if (left_kind == RK_MACRO_TEMP) {
        assign_to_macro(rd, right_kind, &right);
    } else if (left_kind == RK_HLL_VARIABLE) {
        assign_to_hll_variable(rd, right_kind, &right);
    } else if (rd->type_flags & TF_DEREF_AS_TEXT) {
        pointer_write(left_kind, rd, right_kind, &right);
    } else {
        assign_to_text(rd, right_kind, &right);
    }
    return left_kind;
}

// Compound assignment formats of the rows E, T and H (left text or name,
// operator, right operand), by right column V, M, H, T, E; a null E cell is
// the pointer compound pass. The second table holds the spellings for a
// negative temporary number (its magnitude after "__V_").
const char* const kCompoundFormats[3][5] = {
    /* E */ {"Var.Assign (%s%s=(\\__V%i))\n", "Var.Assign (%s%s=&__V%i)\n", "Var.Assign (%s%s=\\%s)\n",
             "Var.Assign (%s%s=%s)\n", nullptr},
    /* T */ {"Var.Assign (%s%s=\\__V%i)\n", "Var.Assign (%s%s=&__V%i)\n", "Var.Assign (%s%s=\\%s)\n",
             "Var.Assign (%s%s=%s)\n", "Var.Assign (%s%s=%s)\n"},
    /* H */ {"Var.Assign (\\%s%s=(\\__V%i))\n", "Var.Assign (\\%s%s=(&__V%i))\n", "Var.Assign (\\%s%s=\\%s)\n",
             "Var.Assign (\\%s%s=(%s))\n", "Var.Assign (\\%s%s=%s)\n"},
};
const char* const kCompoundNegativeFormats[3][2] = {
    /* E */ {"Var.Assign (%s%s=(\\__V_%i))\n", "Var.Assign (%s%s=&__V_%i)\n"},
    /* T */ {"Var.Assign (%s%s=\\__V_%i)\n", "Var.Assign (%s%s=&__V_%i)\n"},
    /* H */ {"Var.Assign (\\%s%s=(\\__V_%i))\n", "Var.Assign (\\%s%s=(&__V_%i))\n"},
};
// Row M (left macro number twice, operator, right operand).
const char* const kCompoundMacroFormats[5] = {
    "&__V%i=&__V%i%sVar.VALUE(\\__V%i)\n", "&__V%i=&__V%i%s&__V%i\n", "&__V%i=&__V%i%sVar.VALUE(\\%s)\n",
    "&__V%i=&__V%i%sVar.VALUE(%s)\n", "&__V%i=&__V%i%sVar.VALUE(%s)\n"};

int compound_assignment(List* left_list, const char* op, List* right_list, ResultDescriptor* rd) {
    ResultDescriptor left;
    left.type_flags = 0;
    int left_kind = C_unary_expression(left_list, &left);
    if (error_flag) return 0;
    // A write through Data.Set takes a script value: a dereference on the
    // right reads the target with the memory functions.
    int outer_deref_mode = expression_state.deref_mode;
    if (left_kind == RK_EXPRESSION && left.text) {
        char* probe = pool_string(left.text);
        strip_value_wrappers(probe);
        if (pointer_compound_target(probe)) expression_state.deref_mode = DEREF_FUNCTION_FORM;
    }
    ResultDescriptor right;
    int right_kind = C_assignment_expression(right_list, &right);
    expression_state.deref_mode = outer_deref_mode;
    if (error_flag) return 0;

    OperandClass row = checked_class(left_kind, "C_assignment_expression");
    OperandClass column = checked_class(right_kind, "C_assignment_expression");
    *rd = left;
    if (rd->text) strip_value_wrappers(rd->text);

    if (row == OC_TEMPORARY) {
        compound_write_target(left_kind, rd, op, right_kind, &right);
        return left_kind;
    }
    if (row == OC_MACRO) {
        std::string n = number_text(rd->number);
        emit(fill(kCompoundMacroFormats[column], {n, n, op, operand_argument(right_kind, &right)}));
        return left_kind;
    }

    int r = row == OC_EXPRESSION ? 0 : row == OC_TEXT ? 1 : 2;
    if (row == OC_EXPRESSION && column == OC_EXPRESSION) {
        if (right.text) strip_value_wrappers(right.text);
        pointer_compound_pass(text_of(rd), op, text_of(&right));
        return left_kind;
    }
    if (row == OC_HLL && column == OC_EXPRESSION && right.text) strip_value_wrappers(right.text);

    const char* format = kCompoundFormats[r][column];
    std::string argument = operand_argument(right_kind, &right);
    if ((column == OC_TEMPORARY || column == OC_MACRO) && right.number < 0) {
        format = kCompoundNegativeFormats[r][column];
        argument = number_text(-static_cast<long>(right.number));
    }
    emit(fill(format, {text_of(rd), op, argument}));
    return left_kind;
}

}  // namespace

void write_assigned_value(ResultDescriptor* left, int right_kind, ResultDescriptor* right) {
    switch (checked_class(right_kind, "C_assignment_expression")) {
        case OC_TEMPORARY: std::printf("(\\__V%i)\n", right->number); break;
        case OC_MACRO: std::printf("(&__V%i)\n", right->number); break;
        case OC_HLL: std::printf("Var.VALUE(\\%s)\n", text_of(right)); break;
        default: write_right_text(right_kind, right); break;
    }
}

// assignment_expression = conditional_expression
//                       | unary_expression assignment_operator assignment_expression
// assignment_operator = '=' dts_comment? | MUL_ASSIGN | DIV_ASSIGN | MOD_ASSIGN | ADD_ASSIGN | SUB_ASSIGN
//                     | LEFT_ASSIGN | RIGHT_ASSIGN | AND_ASSIGN | XOR_ASSIGN | OR_ASSIGN
int C_assignment_expression(List* list, ResultDescriptor* rd) {
    if (!list || list->count == 0) FATAL_INTERNAL_ERROR("C_assignment_expression");
    if (List* operand = single_operand(list, ID_assignment_expression)) return C_conditional_expression(operand, rd);
    tree_element* target = first_of_kind(list, ID_unary_expression);
    tree_element* op_element = first_of_kind(list, ID_assignment_operator);
    tree_element* value = first_of_kind(list, ID_assignment_expression);
    if (!target || !op_element || !value) FATAL_INTERNAL_ERROR("C_assignment_expression");
    uint32_t op = op_element->child && op_element->child->first ? op_element->child->first->id : 0;
    if (op == ID_ASSIGN) return simple_assignment(target->child, value->child, rd);
    const char* op_text = compound_operator_text(op);
    if (!op_text) FATAL_INTERNAL_ERROR("C_assignment_expression");
    return compound_assignment(target->child, op_text, value->child, rd);
}
