// Primary expressions, subscripts, member access and postfix increments and
// decrements. A postfix chain (a[1][2].b->c++...) nests one tree level per
// operator without bounds, so the chain is walked with a loop and the texts
// of subscripts and member accesses are built in one pass.
#include <cstdio>
#include <string>
#include <vector>

#include "compiler/codegen.h"
#include "compiler/expression_support.h"
#include "compiler/expressions_calls.h"
#include "compiler/memory_access.h"
#include "driver/diagnostics.h"
#include "driver/targets.h"

// primary_expression = IDENTIFIER | CONSTANT | STRING | at_expression | '(' expression ')'
int C_primary_expression(List* list, ResultDescriptor* rd) {
    if (!list || list->count != 1) FATAL_INTERNAL_ERROR("C_primary_expression");
    tree_element* e = list->first;
    if (e->id == ID_expression) return C_expression(e->child, rd);
    if (e->id == ID_at_expression) {
        if (!e->child || e->child->count != 1) FATAL_INTERNAL_ERROR("C_primary_expression");
        e = e->child->first;
    }
    if (is_at_kind(e->id)) return read_memory_form(e, rd);
    if (!e->txt) FATAL_INTERNAL_ERROR("C_primary_expression");

    if (e->id == ID_IDENTIFIER) {
        int kind = read_register_identifier(e->txt, rd);
        if (kind != 0) return kind;
        // Locals come and go with their blocks: their list is searched as it is.
        bool declared = find_listed_name(program_state.global_names, e->txt) ||
                        (function_state.scope_names && names_find(function_state.scope_names, e->txt) >= 0);
        if (declared) {
            rd->text = pool_string(e->txt);
            return RK_HLL_VARIABLE;
        }
    }
    rd->text = pool_string(e->txt);
    rd->number = static_cast<int32_t>(e->id);
    return RK_TEXT;
}

namespace {

enum class Step { subscript, member, pointer_member, increment, decrement };

// Classifies one postfix list that has a postfix operand, or returns false.
bool postfix_step(List* list, Step* step) {
    if (!list || list->count < 2 || list->first->id != ID_postfix_expression) return false;
    tree_element* second = list->first->next;
    if (list->count == 2) {
        switch (second->id) {
            case ID_expression: *step = Step::subscript; return true;
            case ID_IDENTIFIER: *step = Step::member; return true;
            case ID_INC_OP: *step = Step::increment; return true;
            case ID_DEC_OP: *step = Step::decrement; return true;
            default: return false;
        }
    }
    if (list->count == 3 && second->id == ID_PTR_OP && list->last->id == ID_IDENTIFIER) {
        *step = Step::pointer_member;
        return true;
    }
    return false;
}

// The innermost operand of a postfix chain: a primary expression or a call.
int postfix_base(List* list, ResultDescriptor* rd) {
    if (!list || list->count == 0) FATAL_INTERNAL_ERROR("C_postfix_expression");
    if (below_level(list, ID_postfix_expression)) return C_primary_expression(list, rd);
    tree_element* first = list->first;
    if (first->id == ID_primary_expression && list->count == 1) return C_primary_expression(first->child, rd);
    if (first->id == ID_IDENTIFIER) {
        if (list->count == 1) return convert_call(first, nullptr, rd);
        if (list->count == 2 && list->last->id == ID_argument_expression_list)
            return convert_call(first, list->last->child, rd);
    }
    FATAL_INTERNAL_ERROR("C_postfix_expression");
}

// Whether the base of a postfix chain is a parenthesised expression: a
// primary expression's list (given as it is or as the one element of a
// postfix list) that holds an expression.
bool is_parenthesised(List* base) {
    List* primary = base;
    if (!below_level(base, ID_postfix_expression)) {
        if (base->count != 1 || base->first->id != ID_primary_expression) return false;
        primary = base->first->child;
    }
    return primary && primary->count == 1 && primary->first->id == ID_expression;
}

// Postfix "++"/"--" on a converted operand; `saved` is the number taken for
// the macro that keeps the old value, `unused` tells that nobody reads it.
int postfix_increment(int kind, ResultDescriptor* operand, bool increment, int32_t saved, bool unused,
                      ResultDescriptor* rd) {
    std::string n = number_text(saved);
    const char* sign = increment ? "+1" : "-1";
    switch (checked_class(kind, "C_postfix_expression")) {
        case OC_TEXT:
        case OC_EXPRESSION: {
            std::string text = text_of(operand);
            std::printf("&__V%i=Var.VALUE(%s)\n", saved, text.c_str());
            std::printf("Var.Assign (%s)=(%s)%s\n", text.c_str(), text.c_str(), sign);
            break;
        }
        case OC_HLL: {
            const char* name = text_of(operand);
            if (find_listed_name(program_state.pointer_variables, name)) {
                // The step is written after the statement, so until then the
                // variable still holds the old value: that is the value.
                expression_state.pending_pointer_steps.push_back(PointerStep{pool_string(name), increment});
                numbering.temp_counter -= 1;
                *rd = ResultDescriptor{};
                rd->text = pool_string(name);
                return RK_HLL_VARIABLE;
            }
            if (unused) {
                std::printf("Var.Assign \\%s=\\%s%s\n", name, name, sign);
                numbering.temp_counter -= 1;
                break;
            }
            // The value is the variable as it was before the step.
            std::printf("&__V%i=Var.VALUE(\\%s)\n", saved, name);
            std::printf("Var.Assign \\%s=\\%s%s\n", name, name, sign);
            *rd = ResultDescriptor{};
            rd->number = saved;
            rd->text = pool_string(("&__V" + n).c_str());
            return RK_MACRO_TEMP;
        }
        case OC_MACRO: {
            // Both sides are the script macros: the old value is kept in
            // &__V<n>, then the macro itself is stepped.
            int32_t m = operand->number;
            std::printf("&__V%i=&__V%i\n", saved, m);
            std::printf("&__V%i=&__V%i%s\n", m, m, sign);
            break;
        }
        default:  // the temporaries
            step_target(kind, operand, increment, false, saved);
            break;
    }
    ResultDescriptor result;
    result.number = saved;
    result.text = operand->text;
    *rd = result;
    return RK_MACRO_TEMP;
}

// Text of the running subscript and member chain: `opens` times "((" before
// `body`. Materialised only when an increment or the end needs it.
struct ChainText {
    size_t opens = 0;
    std::string body;
    bool active = false;
};

char* materialise(ChainText& chain) {
    std::string text;
    text.reserve(chain.opens * 2 + chain.body.size());
    text.append(chain.opens * 2, '(');
    text += chain.body;
    chain = ChainText{};
    return pool_string(text.c_str());
}

}  // namespace

// postfix_expression = primary_expression
//                    | postfix_expression '[' expression ']'
//                    | IDENTIFIER '(' argument_expression_list? ')'
//                    | postfix_expression ('.' | PTR_OP) IDENTIFIER
//                    | postfix_expression (INC_OP | DEC_OP)
int C_postfix_expression(List* list, ResultDescriptor* rd) {
    if (!list || list->count == 0) FATAL_INTERNAL_ERROR("C_postfix_expression");
    const bool unused = expression_state.postfix_value_unused;
    expression_state.postfix_value_unused = false;

    // Walk down to the base, keeping every level (outermost first).
    std::vector<std::pair<List*, Step>> chain;
    List* current = list;
    Step step;
    while (postfix_step(current, &step)) {
        chain.emplace_back(current, step);
        current = current->first->child;
    }
    if (chain.empty()) {
        // A parenthesised expression hands a dropped value on to its inside.
        expression_state.postfix_value_unused = unused && is_parenthesised(current);
        int kind = postfix_base(current, rd);
        expression_state.postfix_value_unused = false;
        return kind;
    }

    // The counter step of a postfix increment happens before its operand is
    // converted, so the numbers of all increments of the chain are taken
    // first, outermost first.
    std::vector<int32_t> saved(chain.size(), 0);
    for (size_t i = 0; i < chain.size(); ++i) {
        if (chain[i].second == Step::increment || chain[i].second == Step::decrement) {
            saved[i] = numbering.temp_counter;
            numbering.temp_counter = saved[i] + 1;
        }
    }

    ResultDescriptor value;
    int kind = postfix_base(current, &value);
    if (error_flag) return 0;

    ChainText text;
    for (size_t i = chain.size(); i-- > 0;) {
        List* node = chain[i].first;
        switch (chain[i].second) {
            case Step::subscript: {
                std::string operand =
                    text.active ? std::string() : std::string(operand_text(kind, &value, "C_postfix_expression"));
                ResultDescriptor index;
                int index_kind = C_expression(first_of_kind(node, ID_expression)->child, &index);
                if (error_flag) return 0;
                std::string index_text = operand_text(index_kind, &index, "C_postfix_expression");
                if (!text.active) text.body = operand;
                text.body += ")[";
                text.body += index_text;
                text.body += "])";
                text.opens += 1;
                text.active = true;
                kind = RK_EXPRESSION;
                break;
            }
            case Step::member:
            case Step::pointer_member: {
                if (!text.active) text.body = operand_text(kind, &value, "C_postfix_expression");
                text.body += chain[i].second == Step::member ? ")." : ")->";
                const tree_element* member = first_of_kind(node, ID_IDENTIFIER);
                text.body += member->txt ? member->txt : "";
                text.body += ")";
                text.opens += 1;
                text.active = true;
                kind = RK_EXPRESSION;
                break;
            }
            case Step::increment:
            case Step::decrement: {
                if (text.active) {
                    value = ResultDescriptor{};
                    value.text = materialise(text);
                }
                ResultDescriptor result;
                kind = postfix_increment(kind, &value, chain[i].second == Step::increment, saved[i], unused && i == 0,
                                        &result);
                if (error_flag) return 0;
                value = result;
                break;
            }
        }
    }
    if (text.active) {
        value = ResultDescriptor{};
        value.text = materialise(text);
    }
    *rd = value;
    return kind;
}
