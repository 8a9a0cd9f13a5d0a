// Casts, prefix increments and decrements, the unary operators and sizeof.
#include <cstdio>
#include <string>

#include "compiler/codegen.h"
#include "compiler/expression_support.h"
#include "compiler/memory_access.h"
#include "driver/characters.h"
#include "driver/diagnostics.h"
#include "rewrite/patterns.h"

// cast_expression = unary_expression | '(' type_name ')' cast_expression
int C_cast_expression(List* list, ResultDescriptor* rd) {
    if (!list || list->count == 0) FATAL_INTERNAL_ERROR("C_cast_expression");
    if (List* operand = single_operand(list, ID_cast_expression)) return C_unary_expression(operand, rd);
    tree_element* type_name = first_of_kind(list, ID_type_name);
    tree_element* cast_operand = first_of_kind(list, ID_cast_expression);
    if (!type_name || !cast_operand) FATAL_INTERNAL_ERROR("C_cast_expression");

    uint32_t type_bits = 0;
    const char* type_text = C_type_name(type_name->child, nullptr, &type_bits);
    if (error_flag) return 0;
    rd->type_flags |= type_bits;

    ResultDescriptor operand;
    int kind = C_cast_expression(cast_operand->child, &operand);
    if (error_flag) return 0;

    std::string type = type_text ? type_text : "";
    switch (checked_class(kind, "C_cast_expression")) {
        case OC_TEMPORARY:
            rd->text = pool_string(fill("((%s)\\__V%i)", {type, number_text(operand.number)}).c_str());
            break;
        case OC_MACRO:
            rd->text = pool_string(fill("((%s)&__V%i)", {type, number_text(operand.number)}).c_str());
            break;
        case OC_HLL:
            rd->text = pool_string(fill("((%s)\\%s)", {type, text_of(&operand)}).c_str());
            break;
        default:  // text and expression
            if ((operand.type_flags & TF_DEREF_AS_TEXT) || expression_state.drop_next_cast) {
                rd->text = operand.text ? operand.text : pool_string("");
                if (!expression_state.drop_next_cast) rd->type_flags |= TF_DEREF_AS_TEXT;
                expression_state.drop_next_cast = false;
            } else {
                rd->text = pool_string(fill("((%s)%s)", {type, text_of(&operand)}).c_str());
            }
            break;
    }
    return RK_EXPRESSION;
}

namespace {

bool starts_with_name(const char* text) { return ascii::is_letter(text[0]) || text[0] == '_'; }

const char* unary_operator_text(const tree_element* unary_operator) {
    const tree_element* token = unary_operator->child ? unary_operator->child->first : nullptr;
    switch (token ? token->id : 0) {
        case ID_AMP: return "&";
        case ID_STAR: return "*";
        case ID_PLUS: return "+";
        case ID_MINUS: return "-";
        case ID_TILDE: return "~";
        case ID_NOT: return "!";
        default: FATAL_INTERNAL_ERROR("C_unary_expression");
    }
}

// Prefix "++"/"--" on the unary expression `operand_list`.
int prefix_step(List* operand_list, bool increment, ResultDescriptor* rd) {
    const char* op = increment ? "++" : "--";
    ResultDescriptor operand;
    int kind = C_unary_expression(operand_list, &operand);
    if (error_flag) return 0;
    switch (checked_class(kind, "C_unary_expression")) {
        case OC_TEXT:
        case OC_EXPRESSION:
            rd->text = pool_string(fill("(%s%s)", {op, text_of(&operand)}).c_str());
            return RK_EXPRESSION;
        case OC_MACRO:
            rd->text = pool_string(fill("(%s(&__V%i))", {op, number_text(operand.number)}).c_str());
            return RK_EXPRESSION;
        case OC_HLL:
            // The variable is stepped here; its value is then the variable
            // itself. Handing on the stepping text would step it a second
            // time wherever the value is used.
            emit("Var.Assign ");
            std::printf("(%s(\\%s))\n", op, text_of(&operand));
            *rd = operand;
            return RK_HLL_VARIABLE;
        default:  // the temporaries: write the target back and re-read it
            step_target(kind, &operand, increment, true, operand.number);
            *rd = operand;
            return kind;
    }
}

// A unary operator applied to a cast expression.
int unary_operator(const char* op, List* operand_list, ResultDescriptor* rd) {
    ResultDescriptor operand;
    int kind = C_cast_expression(operand_list, &operand);
    if (error_flag) return 0;
    bool star = op[0] == '*';
    if (star && expression_state.deref_mode != DEREF_NONE) {
        checked_class(kind, "C_unary_expression");
        int result = convert_dereference(kind, &operand);
        if (error_flag) return 0;
        *rd = operand;
        return result;
    }

    std::string number = number_text(operand.number);
    switch (checked_class(kind, "C_unary_expression")) {
        case OC_TEMPORARY:
            if (kind == RK_PERIPHERAL_REGISTER_TEMP && op[0] == '&')
                rd->text = pool_string(fill("(0x%0.8X)", {hex8(operand.reg_address)}).c_str());
            else
                rd->text = pool_string(fill("(%s\\__V%i)", {op, number}).c_str());
            break;
        case OC_MACRO:
            if (operand.text)
                rd->text = macro_operator_pass(op, &operand);
            else
                rd->text = pool_string(fill("(%s&__V%i)", {op, number}).c_str());
            break;
        case OC_HLL:
            rd->text = pool_string(fill("Var.Value(%s\\%s)", {op, text_of(&operand)}).c_str());
            rd->type_flags |= operand.type_flags;
            // A pointer variable kept as text for a write: the width of its type.
            if (star && (rd->type_flags & 0xFF) == 0) rd->type_flags |= pointee_type_bits(operand.text);
            break;
        default:  // text and expression
            // "&" followed by a name would be read by the script as a macro:
            // the address of a target symbol (or of a call's value) keeps
            // its operand in parentheses.
            rd->text = pool_string(fill(op[0] == '&' && starts_with_name(text_of(&operand)) ? "(%s(%s))" : "(%s%s)",
                                        {op, text_of(&operand)})
                                       .c_str());
            rd->type_flags |= operand.type_flags;
            break;
    }
    if (star && (kind == RK_HLL_VARIABLE || kind == RK_TEXT || kind == RK_EXPRESSION))
        rd->type_flags |= TF_DEREF_AS_TEXT;
    return RK_EXPRESSION;
}

int size_of_expression(List* operand_list, ResultDescriptor* rd) {
    ResultDescriptor operand;
    int kind = C_unary_expression(operand_list, &operand);
    if (error_flag) return 0;
    std::string number = number_text(operand.number);
    std::string text;
    switch (checked_class(kind, "C_unary_expression")) {
        case OC_TEMPORARY:
            if (kind == RK_PERIPHERAL_REGISTER_TEMP)
                text = fill("(%d)", {number_text(operand.reg_width)});
            else
                text = fill("sizeof \\__V%i", {number});
            break;
        case OC_MACRO: text = fill("sizeof &__V%i", {number}); break;
        case OC_HLL: text = fill("sizeof \\%s", {text_of(&operand)}); break;
        case OC_TEXT: text = fill("sizeof(%s)", {text_of(&operand)}); break;
        default: text = fill("sizeof%s", {text_of(&operand)}); break;
    }
    rd->text = pool_string(text.c_str());
    return RK_EXPRESSION;
}

}  // namespace

// unary_expression = postfix_expression dts_comment?
//                  | (INC_OP | DEC_OP) unary_expression
//                  | unary_operator cast_expression
//                  | SIZEOF unary_expression
//                  | SIZEOF '(' type_name ')'
// unary_operator = '&' | '*' | '+' | '-' | '~' | '!'
int C_unary_expression(List* list, ResultDescriptor* rd) {
    if (!list || list->count == 0) FATAL_INTERNAL_ERROR("C_unary_expression");
    if (below_level(list, ID_unary_expression)) return C_postfix_expression(list, rd);
    tree_element* first = list->first;
    if (list->count == 1) {
        if (first->id != ID_postfix_expression) FATAL_INTERNAL_ERROR("C_unary_expression");
        return C_postfix_expression(first->child, rd);
    }
    tree_element* unary_operand = first_of_kind(list, ID_unary_expression);
    switch (first->id) {
        case ID_INC_OP:
        case ID_DEC_OP:
            if (!unary_operand) FATAL_INTERNAL_ERROR("C_unary_expression");
            return prefix_step(unary_operand->child, first->id == ID_INC_OP, rd);
        case ID_unary_operator: {
            tree_element* operand = first_of_kind(list, ID_cast_expression);
            if (!operand) FATAL_INTERNAL_ERROR("C_unary_expression");
            return unary_operator(unary_operator_text(first), operand->child, rd);
        }
        case ID_SIZEOF:
            if (unary_operand) return size_of_expression(unary_operand->child, rd);
            if (tree_element* type_name = first_of_kind(list, ID_type_name)) {
                const char* type_text = C_type_name(type_name->child, nullptr);
                if (error_flag) return 0;
                rd->text = pool_string(fill("sizeof(%s)", {type_text ? type_text : ""}).c_str());
                return RK_EXPRESSION;
            }
            FATAL_INTERNAL_ERROR("C_unary_expression");
        default: FATAL_INTERNAL_ERROR("C_unary_expression");
    }
}
