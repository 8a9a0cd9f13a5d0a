// Comma expressions, the conditional expression and the binary operator
// levels. The binary levels are left-recursive in the tree, so a long chain
// of one operator nests one level per operator: each level walks its own
// left spine with a loop and builds the chain's text in one pass.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "compiler/codegen.h"
#include "compiler/expression_support.h"
#include "driver/diagnostics.h"
#include "preprocessor/preprocessor.h"
#include "rewrite/patterns.h"

ExpressionState expression_state;

void reset_expression_state() {
    expression_state = ExpressionState{};
    reset_name_indexes();
}

// ---------------------------------------------------------------------------
// C_expression: a comma list nests one level per comma; the parts are
// converted left to right and only the last value is kept.

int C_expression(List* list, ResultDescriptor* rd) {
    std::vector<List*> parts;  // the nested comma lists, outermost first
    List* current = list;
    while (current && !below_level(current, ID_expression) && current->count == 2 &&
           current->first->id == ID_expression) {
        debug_trace_line("In C_expression()");
        parts.push_back(current);
        current = current->first->child;
    }
    debug_trace_line("In C_expression()");
    List* first_part = single_operand(current, ID_expression);
    if (!first_part) FATAL_INTERNAL_ERROR("C_expression");

    // The value of every part but the last is dropped; the last one's is
    // dropped when the caller drops the whole list's.
    const bool value_unused = expression_state.postfix_value_unused;
    auto convert_part = [](List* part, bool unused, ResultDescriptor* value) {
        expression_state.postfix_value_unused = unused;
        int kind = C_assignment_expression(part, value);
        expression_state.postfix_value_unused = false;
        return kind;
    };
    if (parts.empty()) return convert_part(first_part, value_unused, rd);

    ResultDescriptor dropped;
    convert_part(first_part, true, &dropped);
    if (error_flag) return 0;
    for (size_t i = parts.size(); i-- > 0;) {
        List* part = parts[i];
        if (i == 0) return convert_part(part->last->child, value_unused, rd);
        ResultDescriptor value;
        convert_part(part->last->child, true, &value);
        if (error_flag) return 0;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// C_conditional_expression

int C_conditional_expression(List* list, ResultDescriptor* rd) {
    if (!list || list->count == 0) FATAL_INTERNAL_ERROR("C_conditional_expression");
    if (List* operand = single_operand(list, ID_conditional_expression)) return C_logical_or_expression(operand, rd);
    if (list->count != 3) FATAL_INTERNAL_ERROR("C_conditional_expression");

    ResultDescriptor condition, when_true, when_false;
    int k1 = C_logical_or_expression(list_at(list, 0)->child, &condition);
    if (error_flag) return 0;
    int k2 = C_expression(list_at(list, 1)->child, &when_true);
    if (error_flag) return 0;
    int k3 = C_conditional_expression(list_at(list, 2)->child, &when_false);
    if (error_flag) return 0;

    std::string a = operand_text(k1, &condition, "C_conditional_expression");
    std::string b = operand_text(k2, &when_true, "C_conditional_expression");
    std::string c = operand_text(k3, &when_false, "C_conditional_expression");
    rd->text = pool_string(fill("((%s)?(%s):(%s))", {a, b, c}).c_str());
    return RK_EXPRESSION;
}

// ---------------------------------------------------------------------------
// Binary operators

const char* binary_operator_text(uint32_t op) {
    switch (op) {
        case ID_LEFT_OP: return "<<";
        case ID_RIGHT_OP: return ">>";
        case ID_LE_OP: return "<=";
        case ID_GE_OP: return ">=";
        case ID_EQ_OP: return "==";
        case ID_NE_OP: return "!=";
        case ID_logical_and_expression: return "&&";
        case ID_logical_or_expression: return "||";
        case ID_and_expression: return "&";
        case ID_AMP: return "&";
        case ID_STAR: return "*";
        case ID_PLUS: return "+";
        case ID_MINUS: return "-";
        case ID_SLASH: return "/";
        case ID_PERCENT: return "%";
        case ID_LT: return "<";
        case ID_GT: return ">";
        case ID_exclusive_or_expression: return "^";
        case ID_inclusive_or_expression: return "|";
        default: return " ";
    }
}

namespace {

// One cell of the operator table: the format, and its variants when the left,
// the right or both text operands are value macros (null: same as `plain`).
struct Cell {
    const char* plain;
    const char* left_macro = nullptr;
    const char* right_macro = nullptr;
    const char* both_macros = nullptr;
};

// Rows: left operand V, M, H, T, E; columns: right operand V, M, H, T, E.
// Arguments are always: left operand, operator, right operand.
const Cell kOperatorTable[5][5] = {
    /* V */ {{"((\\__V%i)%s(\\__V%i))"},
             {"((\\__V%i)%s(&__V%i))"},
             {"((\\__V%i)%sVar.VALUE(\\%s))"},
             {"((\\__V%i)%s(%s))", nullptr, "((\\__V%i)%sVar.VALUE(%s))"},
             {"((\\__V%i)%s%s)"}},
    /* M */ {{"(&__V%i%s(\\__V%i))"},
             {"(&__V%i%s&__V%i)"},
             {"(&__V%i%sVar.VALUE(\\%s))"},
             {"(&__V%i%s%s)", nullptr, "(&__V%i%sVar.VALUE(%s))"},
             {"(&__V%i%s%s)"}},
    /* H */ {{"(Var.VALUE(\\%s)%s(\\__V%i))"},
             {"(Var.VALUE(\\%s)%s&__V%i)"},
             {"(Var.VALUE(\\%s)%sVar.VALUE(\\%s))"},
             {"(Var.VALUE(\\%s)%s%s)"},
             {"(Var.VALUE(\\%s)%s%s)"}},
    /* T */ {{"(%s%s\\__V%i)", "(Var.VALUE(%s)%s\\__V%i)"},
             {"(%s%s&__V%i)", "(Var.VALUE(%s)%s&__V%i)"},
             {"(%s%s(\\%s))", "(Var.VALUE(%s)%sVar.VALUE(\\%s))"},
             {"(%s%s%s)", "(Var.VALUE(%s)%s%s)", "(%s%sVar.VALUE(%s))", "(Var.VALUE(%s)%sVar.VALUE(%s))"},
             {"(%s%s%s)"}},
    /* E */ {{"(%s%s(\\__V%i))"},
             {"(%s%s(&__V%i))"},
             {"(%s%sVar.Value(\\%s))"},
             {"(%s%s%s)"},
             {"(%s%s%s)"}},
};

// The one result of a text-with-text operation that is simplified.
const char kTrueComparison[] = "(0x1==0x1)";
const char kTrueComparisonValue[] = "(0x1)";

// Plain text that is neither quoted, a macro, an HLL reference, a character
// constant nor a number is a name: it becomes the HLL variable \name.
int reclassify(int kind, const ResultDescriptor* rd) {
    if (kind != RK_TEXT || !rd->text || rd->text[0] == '\0') return kind;
    char first = rd->text[0];
    if (first == '"' || first == '&' || first == '\\' || first == '\'') return kind;
    if (is_numeric_constant(rd->text, false)) return kind;
    return RK_HLL_VARIABLE;
}

// A text operand "&__NAME" naming a macro converted into an expression, whose
// value the operator tables read through Var.VALUE. A statement macro is
// wrapped as well: its uses are calls, so "&__NAME" names it only when the
// script spells the macro out itself or redefines the name after using it.
bool is_value_macro(int kind, const ResultDescriptor* rd) {
    if (kind != RK_TEXT || !rd->text || rd->text[0] != '&' || std::strlen(rd->text) < 3) return false;
    MacroConversionKind macro = macro_conversion_kind(rd->text + 3);
    return macro == MC_CONSTANT_EXPRESSION || macro == MC_SCRIPT_EXPRESSION || macro == MC_STATEMENTS;
}

const char* cell_format(const Cell& cell, bool left_macro, bool right_macro) {
    if (left_macro && right_macro && cell.both_macros) return cell.both_macros;
    if (left_macro && cell.left_macro) return cell.left_macro;
    if (right_macro && cell.right_macro) return cell.right_macro;
    return cell.plain;
}

}  // namespace

int C_print_expression(uint32_t op, int left_kind, ResultDescriptor* left, int right_kind,
                       ResultDescriptor* right, ResultDescriptor* rd) {
    left_kind = reclassify(left_kind, left);
    right_kind = reclassify(right_kind, right);
    OperandClass row = checked_class(left_kind, "C_print_expression");
    OperandClass column = checked_class(right_kind, "C_print_expression");

    bool left_macro = is_value_macro(left_kind, left);
    bool right_macro = is_value_macro(right_kind, right);
    const char* format = cell_format(kOperatorTable[row][column], left_macro, right_macro);
    std::string text = fill(format, {operand_argument(left_kind, left), binary_operator_text(op),
                                     operand_argument(right_kind, right)});
    if (row == OC_TEXT && column == OC_TEXT && !left_macro && !right_macro && text == kTrueComparison)
        text = kTrueComparisonValue;
    rd->text = pool_string(text.c_str());
    return RK_EXPRESSION;
}

namespace {

using LevelFunction = int (*)(List*, ResultDescriptor*);

// Converts a binary level. `level` is the node kind of the level's lists,
// `next` converts the level below; `keeps_operator` tells whether the lists
// hold the operator element between the operands.
int binary_level(List* list, ResultDescriptor* rd, uint32_t level, LevelFunction next,
                 bool keeps_operator, const char* name) {
    const uint32_t size = keeps_operator ? 3 : 2;
    std::vector<List*> spine;  // outermost first
    List* current = list;
    while (current && !below_level(current, level) && current->count == size && current->first->id == level &&
           current->first->child) {
        spine.push_back(current);
        current = current->first->child;
    }
    List* first_operand = single_operand(current, level);
    if (!first_operand) fatal_internal_error("compiler", name, __LINE__);
    if (spine.empty()) return next(first_operand, rd);

    ResultDescriptor left;
    int left_kind = next(first_operand, &left);
    if (error_flag) return 0;

    // The first operation goes through the whole table; every further one
    // has an expression on its left, whose row formats all begin with "(%s":
    // the chain's text is that many "(" followed by the first text and the
    // further operations' tails.
    size_t opens = 0;
    std::string body;
    for (size_t i = spine.size(); i-- > 0;) {
        List* node = spine[i];
        uint32_t op = keeps_operator ? list_at(node, 1)->id : level;
        ResultDescriptor right;
        int right_kind = next(node->last->child, &right);
        if (error_flag) return 0;
        if (i == spine.size() - 1) {
            ResultDescriptor result;
            C_print_expression(op, left_kind, &left, right_kind, &right, &result);
            body = result.text;
            continue;
        }
        right_kind = reclassify(right_kind, &right);
        OperandClass column = checked_class(right_kind, "C_print_expression");
        const char* format = kOperatorTable[OC_EXPRESSION][column].plain;
        // Every E-row format starts with "(%s": skip it and fill the rest.
        body += fill(format + 3, {binary_operator_text(op), operand_argument(right_kind, &right)});
        ++opens;
    }
    std::string text(opens, '(');
    text += body;
    rd->text = pool_string(text.c_str());
    return RK_EXPRESSION;
}

}  // namespace

int C_logical_or_expression(List* list, ResultDescriptor* rd) {
    return binary_level(list, rd, ID_logical_or_expression, C_logical_and_expression, false,
                        "C_logical_or_expression");
}

int C_logical_and_expression(List* list, ResultDescriptor* rd) {
    return binary_level(list, rd, ID_logical_and_expression, C_inclusive_or_expression, false,
                        "C_logical_and_expression");
}

int C_inclusive_or_expression(List* list, ResultDescriptor* rd) {
    return binary_level(list, rd, ID_inclusive_or_expression, C_exclusive_or_expression, false,
                        "C_inclusive_or_expression");
}

int C_exclusive_or_expression(List* list, ResultDescriptor* rd) {
    return binary_level(list, rd, ID_exclusive_or_expression, C_and_expression, false,
                        "C_exclusive_or_expression");
}

int C_and_expression(List* list, ResultDescriptor* rd) {
    return binary_level(list, rd, ID_and_expression, C_equality_expression, false, "C_and_expression");
}

int C_equality_expression(List* list, ResultDescriptor* rd) {
    return binary_level(list, rd, ID_equality_expression, C_relational_expression, true,
                        "C_equality_expression");
}

int C_relational_expression(List* list, ResultDescriptor* rd) {
    return binary_level(list, rd, ID_relational_expression, C_shift_expression, true,
                        "C_relational_expression");
}

int C_shift_expression(List* list, ResultDescriptor* rd) {
    return binary_level(list, rd, ID_shift_expression, C_additive_expression, true, "C_shift_expression");
}

int C_additive_expression(List* list, ResultDescriptor* rd) {
    return binary_level(list, rd, ID_additive_expression, C_multiplicative_expression, true,
                        "C_additive_expression");
}

int C_multiplicative_expression(List* list, ResultDescriptor* rd) {
    return binary_level(list, rd, ID_multiplicative_expression, C_cast_expression, true,
                        "C_multiplicative_expression");
}
