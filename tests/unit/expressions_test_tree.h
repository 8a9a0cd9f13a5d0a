// Builders of expression trees in the shapes the parser makes, and a fixture
// that resets the run state the expression conversion reads.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/codegen.h"
#include "compiler/value.h"
#include "driver/diagnostics.h"
#include "frontend/tree.h"
#include "test_support.h"

namespace expressions_tree {

// An element of `kind` whose child is `list`, not yet placed in a parent.
struct Node {
    uint32_t kind;
    List* list;
};

inline List* one(uint32_t kind, List* child, const char* text = nullptr, uint32_t line = 1) {
    List* l = list_create();
    list_append(l, kind, child, text, line, line);
    return l;
}

// The level that holds a node of `kind` as its single element.
inline uint32_t parent_level(uint32_t kind) {
    switch (kind) {
        case ID_primary_expression: return ID_postfix_expression;
        case ID_postfix_expression: return ID_unary_expression;
        case ID_unary_expression: return ID_cast_expression;
        case ID_cast_expression: return ID_multiplicative_expression;
        case ID_multiplicative_expression: return ID_additive_expression;
        case ID_additive_expression: return ID_shift_expression;
        case ID_shift_expression: return ID_relational_expression;
        case ID_relational_expression: return ID_equality_expression;
        case ID_equality_expression: return ID_and_expression;
        case ID_and_expression: return ID_exclusive_or_expression;
        case ID_exclusive_or_expression: return ID_inclusive_or_expression;
        case ID_inclusive_or_expression: return ID_logical_and_expression;
        case ID_logical_and_expression: return ID_logical_or_expression;
        case ID_logical_or_expression: return ID_conditional_expression;
        case ID_conditional_expression: return ID_assignment_expression;
        case ID_assignment_expression: return ID_expression;
        default: return ID_expression;
    }
}

// Wraps `n` through the single-element levels until it is of kind `level`.
inline Node lift(Node n, uint32_t level) {
    while (n.kind != level && n.kind != ID_expression) n = {parent_level(n.kind), one(n.kind, n.list)};
    return n;
}

inline void append(List* l, Node n) { list_append(l, n.kind, n.list, nullptr, 1, 1); }

inline Node token_primary(uint32_t kind, const char* text) { return {ID_primary_expression, one(kind, nullptr, text)}; }
inline Node id(const char* name) { return token_primary(ID_IDENTIFIER, name); }
inline Node num(const char* text) { return token_primary(ID_CONSTANT, text); }
inline Node str(const char* text) { return token_primary(ID_STRING, text); }
// @-form with token index 0..23 (prog, data, io signed 8..64 bit, then unsigned).
inline Node at(int index, const char* address) {
    return {ID_primary_expression, one(ID_at_expression, one(ID_AT_FIRST + index, nullptr, address))};
}
inline Node paren(Node e) { return {ID_primary_expression, one(ID_expression, lift(e, ID_expression).list)}; }

// The level below a binary level.
inline uint32_t operand_level(uint32_t level) {
    switch (level) {
        case ID_multiplicative_expression: return ID_cast_expression;
        case ID_additive_expression: return ID_multiplicative_expression;
        case ID_shift_expression: return ID_additive_expression;
        case ID_relational_expression: return ID_shift_expression;
        case ID_equality_expression: return ID_relational_expression;
        case ID_and_expression: return ID_equality_expression;
        case ID_exclusive_or_expression: return ID_and_expression;
        case ID_inclusive_or_expression: return ID_exclusive_or_expression;
        case ID_logical_and_expression: return ID_inclusive_or_expression;
        case ID_logical_or_expression: return ID_logical_and_expression;
        default: return ID_cast_expression;
    }
}

// A binary operation of `level`; `op` is the operator token kind for the
// levels that keep it, 0 for the others.
inline Node binary(uint32_t level, uint32_t op, Node left, Node right) {
    List* l = list_create();
    append(l, lift(left, level));
    if (op) list_append(l, op, nullptr, nullptr, 1, 1);
    append(l, lift(right, operand_level(level)));
    return {level, l};
}
inline Node add(Node a, Node b) { return binary(ID_additive_expression, ID_PLUS, a, b); }
inline Node lt(Node a, Node b) { return binary(ID_relational_expression, ID_LT, a, b); }
inline Node eq(Node a, Node b) { return binary(ID_equality_expression, ID_EQ_OP, a, b); }

inline Node assign(uint32_t op, Node left, Node right) {
    List* l = list_create();
    append(l, lift(left, ID_unary_expression));
    list_append(l, ID_assignment_operator, one(op, nullptr), nullptr, 1, 1);
    append(l, lift(right, ID_assignment_expression));
    return {ID_assignment_expression, l};
}

inline Node conditional(Node c, Node a, Node b) {
    List* l = list_create();
    append(l, lift(c, ID_logical_or_expression));
    append(l, lift(a, ID_expression));
    append(l, lift(b, ID_conditional_expression));
    return {ID_conditional_expression, l};
}

inline Node comma(Node a, Node b) {
    List* l = list_create();
    append(l, lift(a, ID_expression));
    append(l, lift(b, ID_assignment_expression));
    return {ID_expression, l};
}

// A type name of type specifier tokens and a pointer depth.
inline List* type_name(std::vector<uint32_t> specifiers, int pointers) {
    List* sql = nullptr;
    for (size_t i = specifiers.size(); i-- > 0;) {
        List* l = list_create();
        list_append(l, ID_type_specifier, one(specifiers[i], nullptr), nullptr, 1, 1);
        if (sql) list_append(l, ID_specifier_qualifier_list, sql, nullptr, 1, 1);
        sql = l;
    }
    List* t = one(ID_specifier_qualifier_list, sql);
    if (pointers > 0) {
        List* pointer = list_create();
        for (int i = 1; i < pointers; ++i) pointer = one(ID_pointer, pointer);
        list_append(t, ID_abstract_declarator, one(ID_pointer, pointer), nullptr, 1, 1);
    }
    return t;
}

inline Node cast(List* type, Node operand) {
    List* l = list_create();
    list_append(l, ID_type_name, type, nullptr, 1, 1);
    append(l, lift(operand, ID_cast_expression));
    return {ID_cast_expression, l};
}

inline Node unary(uint32_t op, Node operand) {
    List* l = list_create();
    list_append(l, ID_unary_operator, one(op, nullptr), nullptr, 1, 1);
    append(l, lift(operand, ID_cast_expression));
    return {ID_unary_expression, l};
}

inline Node prefix(uint32_t op, Node operand) {
    List* l = one(op, nullptr);
    append(l, lift(operand, ID_unary_expression));
    return {ID_unary_expression, l};
}

inline Node size_of(Node operand) {
    List* l = one(ID_SIZEOF, nullptr);
    append(l, lift(operand, ID_unary_expression));
    return {ID_unary_expression, l};
}

inline Node size_of_type(List* type) {
    List* l = one(ID_SIZEOF, nullptr);
    list_append(l, ID_LPAREN, nullptr, nullptr, 1, 1);
    list_append(l, ID_type_name, type, nullptr, 1, 1);
    list_append(l, ID_RPAREN, nullptr, nullptr, 1, 1);
    return {ID_unary_expression, l};
}

inline Node postfix(uint32_t op, Node operand) {
    List* l = list_create();
    append(l, lift(operand, ID_postfix_expression));
    list_append(l, op, nullptr, nullptr, 1, 1);
    return {ID_postfix_expression, l};
}

inline Node subscript(Node operand, Node index) {
    List* l = list_create();
    append(l, lift(operand, ID_postfix_expression));
    append(l, lift(index, ID_expression));
    return {ID_postfix_expression, l};
}

inline Node member(Node operand, const char* name, bool arrow = false) {
    List* l = list_create();
    append(l, lift(operand, ID_postfix_expression));
    if (arrow) list_append(l, ID_PTR_OP, nullptr, nullptr, 1, 1);
    list_append(l, ID_IDENTIFIER, nullptr, name, 1, 1);
    return {ID_postfix_expression, l};
}

// A call; an argument whose list is null stands for an empty position.
inline Node call(const char* name, std::vector<Node> arguments, uint32_t line = 1, bool with_list = true) {
    List* l = one(ID_IDENTIFIER, nullptr, name, line);
    if (with_list && !arguments.empty()) {
        List* args = list_create();
        for (Node& a : arguments) {
            if (a.list == nullptr)
                list_append(args, ID_CONSTANT, nullptr, "0", line, line);
            else
                append(args, lift(a, ID_assignment_expression));
        }
        list_append(l, ID_argument_expression_list, args, nullptr, line, line);
    }
    return {ID_postfix_expression, l};
}
inline Node empty_argument() { return {ID_assignment_expression, nullptr}; }

// Result of converting an expression: kind, descriptor, script output and
// diagnostics.
struct Converted {
    int kind = 0;
    ResultDescriptor rd;
    std::string out;
    std::string err;
    std::string text() const { return rd.text ? rd.text : ""; }
};

inline Converted convert(Node n) {
    Node e = lift(n, ID_expression);
    Converted c;
    {
        test_support::Capture out(stdout);
        test_support::Capture err(stderr);
        c.kind = C_expression(e.list, &c.rd);
        c.out = out.text();
        c.err = err.text();
    }
    list_release(e.list);  // every node is converted once
    return c;
}

inline void declare(List*& list, const char* name) {
    if (!list) list = list_create();
    names_append(list, name);
}

// Resets the state of one conversion run that the expression routines read.
class ExpressionTest : public ::testing::Test {
protected:
    void SetUp() override {
        text_arena_reset();
        numbering.temp_counter = 0;
        numbering.label_counter = -1;
        error_flag = 0;
        message_buffer.clear();
        architecture = 0;
        target_mcu_index = -1;
        reset_expression_state();
        fresh(program_state.global_names);
        fresh(function_state.scope_names);
        fresh(program_state.function_table);
        fresh(program_state.undefined_functions);
        fresh(program_state.pointer_variables);
    }
    void TearDown() override {
        error_flag = 0;
        architecture = 0;
        target_mcu_index = -1;
        reset_expression_state();
    }
    static void fresh(List*& list) {
        if (list) list_release(list);
        list = list_create();
    }
    void global(const char* name) { declare(program_state.global_names, name); }
    void pointer(const char* name) {
        declare(program_state.global_names, name);
        declare(program_state.pointer_variables, name);
    }
    void function(const char* name, bool returns_nothing) {
        names_append(program_state.function_table, name, returns_nothing ? 1 : 0);
    }
};

}  // namespace expressions_tree
