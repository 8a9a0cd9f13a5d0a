// Builders of statement trees in the shapes the parser makes, for the
// statement tests.
#pragma once

#include <vector>

#include "frontend/tree.h"

namespace statements_tree {

// The list of a `statement` node holding one element of `kind`.
inline List* statement(uint32_t kind, List* child) {
    List* s = list_create();
    list_append(s, kind, child, nullptr, 1, 1);
    return s;
}

inline List* tokens(std::vector<std::pair<uint32_t, const char*>> items) {
    List* l = list_create();
    for (auto& [kind, text] : items) list_append(l, kind, nullptr, text, 1, 1);
    return l;
}

inline List* break_statement() { return statement(ID_jump_statement, tokens({{ID_BREAK, nullptr}})); }
inline List* return_statement() { return statement(ID_jump_statement, tokens({{ID_RETURN, nullptr}})); }
inline List* goto_statement(const char* label) {
    return statement(ID_jump_statement, tokens({{ID_GOTO, nullptr}, {ID_IDENTIFIER, label}}));
}
inline List* empty_statement() { return statement(ID_expression_statement, list_create()); }

inline List* labeled(const char* label, List* stmt) {
    List* l = tokens({{ID_IDENTIFIER, label}});
    list_append(l, ID_statement, stmt, nullptr, 1, 1);
    return statement(ID_labeled_statement, l);
}

// An item of a statement list: a statement's list, or a QUERNA line.
struct Item {
    List* stmt = nullptr;
    const char* querna = nullptr;
};

// A statement list nested as the left-recursive rule builds it: the first
// statement deepest.
inline List* statement_list(const std::vector<Item>& items) {
    List* current = nullptr;
    for (const Item& item : items) {
        List* level = list_create();
        if (current != nullptr) list_append(level, ID_statement_list, current, nullptr, 1, 1);
        if (item.querna != nullptr)
            list_append(level, ID_QUERNA_CALL, nullptr, item.querna, 1, 1);
        else
            list_append(level, ID_statement, item.stmt, nullptr, 1, 1);
        current = level;
    }
    return current != nullptr ? current : list_create();
}

inline List* block(const std::vector<Item>& items) {
    List* l = list_create();
    if (!items.empty()) list_append(l, ID_statement_list, statement_list(items), nullptr, 1, 1);
    return statement(ID_compound_statement, l);
}

// for (;;) body
inline List* forever(List* body) {
    List* l = tokens({{ID_FOR, nullptr}});
    list_append(l, ID_expression_statement, list_create(), nullptr, 1, 1);
    list_append(l, ID_expression_statement, list_create(), nullptr, 1, 1);
    list_append(l, ID_statement, body, nullptr, 1, 1);
    return statement(ID_iteration_statement, l);
}

}  // namespace statements_tree
