// Helpers for the tests that start from GEL text: feed a text through standard
// input, collect the tokens or parse it, and print tree shapes compactly.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "frontend/frontend.h"
#include "frontend/parser.hpp"
#include "test_support.h"

namespace frontend_test {

// Starts a fresh front-end run over `text` (the driver's order: empty tree,
// line counter 1, scanner reset on standard input). `keep_texts` keeps the
// texts of earlier runs, which the code generator's run state may still hold.
inline void start_run(const std::string& text, bool keep_texts = false) {
    static std::string path;
    if (!path.empty()) std::remove(path.c_str());
    path = test_support::write_temp_file(text, ".pre");
    if (tree) list_release(tree);
    tree = list_create();
    if (!keep_texts) text_arena_reset();
    error_flag = 0;
    std::FILE* in = std::freopen(path.c_str(), "rb", stdin);
    (void)in;
    scanner_line = 1;
    scanner_reset();
}

struct Token {
    int code;
    std::string text;  // the token's text, for the tokens that carry one
    int line;
};

inline bool carries_text(int code) {
    return code == IDENTIFIER || code == CONSTANT || code == STRING || code == QUERNA_CALL ||
           code == COMMENT || code == MACRO || (code >= AT_PROG_S8 && code <= AT_IO_U64);
}

// Every token up to the end of the input.
inline std::vector<Token> scan(const std::string& text) {
    start_run(text);
    std::vector<Token> tokens;
    for (;;) {
        gellval.text = nullptr;
        int code = gellex();
        if (code == 0) break;
        tokens.push_back({code, carries_text(code) && gellval.text ? gellval.text : "", gellloc.first_line});
    }
    return tokens;
}

struct ParseResult {
    int status;
    std::string errors;  // standard error
};

inline ParseResult parse_text(const std::string& text) {
    start_run(text);
    test_support::Capture err(stderr);
    int status = parse();
    return {status, err.text()};
}

inline const char* kind_name(uint32_t id) {
    static const char* const nonterminals[] = {
        "primary_expression", "postfix_expression", "argument_expression_list", "unary_expression",
        "unary_operator", "cast_expression", "multiplicative_expression", "additive_expression",
        "shift_expression", "relational_expression", "equality_expression", "and_expression",
        "exclusive_or_expression", "inclusive_or_expression", "logical_and_expression",
        "logical_or_expression", "conditional_expression", "assignment_expression",
        "assignment_operator", "expression", "constant_expression", "declaration",
        "declaration_specifiers", "init_declarator_list", "init_declarator",
        "storage_class_specifier", "type_specifier", "struct_or_union_specifier", "struct_or_union",
        "struct_declaration_list", "struct_declaration", "specifier_qualifier_list",
        "struct_declarator_list", "struct_declarator", "enum_specifier", "enumerator_list",
        "enumerator", "type_qualifier", "declarator", "direct_declarator", "pointer", "?41",
        "parameter_type_list", "parameter_list", "parameter_declaration", "identifier_list",
        "type_name", "abstract_declarator", "direct_abstract_declarator", "initializer", "?50",
        "statement", "labeled_statement", "compound_statement", "declaration_list", "statement_list",
        "expression_statement", "selection_statement", "iteration_statement", "jump_statement",
        "translation_unit", "external_declaration", "function_definition", "function_declarator",
        "function_parameter_list", "function_parameter", "menuitem_definition", "menu_item_list",
        "menu_item", "hotmenu", "dialog", "slider", "dialog_parameter_list",
        "dialog_parameter_list_item", "slider_parameter_list", "at_expression", "?76", "dts_comment",
        "dts_define"};
    if (id < sizeof nonterminals / sizeof nonterminals[0]) return nonterminals[id];
    switch (id) {
    case ID_IDENTIFIER: return "IDENTIFIER";
    case ID_CONSTANT: return "CONSTANT";
    case ID_STRING: return "STRING";
    case ID_SIZEOF: return "SIZEOF";
    case ID_PTR_OP: return "PTR_OP";
    case ID_INC_OP: return "INC_OP";
    case ID_DEC_OP: return "DEC_OP";
    case ID_LEFT_OP: return "LEFT_OP";
    case ID_LE_OP: return "LE_OP";
    case ID_EQ_OP: return "EQ_OP";
    case ID_ASSIGN: return "ASSIGN";
    case ID_ADD_ASSIGN: return "ADD_ASSIGN";
    case ID_INT: return "INT";
    case ID_CHAR: return "CHAR";
    case ID_UNSIGNED: return "UNSIGNED";
    case ID_STATIC: return "STATIC";
    case ID_CONST: return "CONST";
    case ID_ELLIPSIS: return "ELLIPSIS";
    case ID_WHILE: return "WHILE";
    case ID_DO: return "DO";
    case ID_FOR: return "FOR";
    case ID_GOTO: return "GOTO";
    case ID_BREAK: return "BREAK";
    case ID_RETURN: return "RETURN";
    case ID_LBRACKET: return "LBRACKET";
    case ID_RBRACKET: return "RBRACKET";
    case ID_LPAREN: return "LPAREN";
    case ID_RPAREN: return "RPAREN";
    case ID_AMP: return "AMP";
    case ID_STAR: return "STAR";
    case ID_PLUS: return "PLUS";
    case ID_MINUS: return "MINUS";
    case ID_NOT: return "NOT";
    case ID_LT: return "LT";
    case ID_QUERNA_CALL: return "QUERNA_CALL";
    case ID_COMMENT: return "COMMENT";
    case ID_MACRO: return "MACRO";
    default: break;
    }
    if (is_at_kind(id)) return "AT";
    return "?";
}

// "kind(children)" for nonterminals, "KIND:text" or "KIND" for tokens, the
// elements of a list separated by blanks. Chains of single-element lists
// are kept, so the shape shows exactly what the code generator walks.
inline std::string shape(const List* list);
inline std::string shape(const tree_element* e) {
    std::string out = kind_name(e->id);
    if (e->child) {
        out += "(" + shape(e->child) + ")";
    } else if (e->txt) {
        out += ":";
        out += e->txt;
    }
    return out;
}
inline std::string shape(const List* list) {
    std::string out;
    for (const tree_element* e = list ? list->first : nullptr; e; e = e->next) {
        if (!out.empty()) out += " ";
        out += shape(e);
    }
    return out;
}

// The first element of kind `id` in a depth-first, left-to-right walk.
inline tree_element* find_first(List* list, uint32_t id) {
    std::vector<tree_element*> pending;
    for (tree_element* e = list ? list->last : nullptr; e; e = e->prev) pending.push_back(e);
    while (!pending.empty()) {
        tree_element* e = pending.back();
        pending.pop_back();
        if (e->id == id) return e;
        if (e->child)
            for (tree_element* c = e->child->last; c; c = c->prev) pending.push_back(c);
    }
    return nullptr;
}

// The first list, in source order, that the rule of expression level `kind` built.
inline List* find_first_of_kind(List* list, uint32_t kind) {
    std::vector<List*> pending;
    if (list) pending.push_back(list);
    while (!pending.empty()) {
        List* l = pending.back();
        pending.pop_back();
        if (l->kind == kind) return l;
        for (tree_element* c = l->last; c; c = c->prev)
            if (c->child) pending.push_back(c->child);
    }
    return nullptr;
}

// The elements of a list as a vector (for checking counts and order).
inline std::vector<tree_element*> elements(List* list) {
    std::vector<tree_element*> out;
    for (tree_element* e = list ? list->first : nullptr; e; e = e->next) out.push_back(e);
    return out;
}

}  // namespace frontend_test
