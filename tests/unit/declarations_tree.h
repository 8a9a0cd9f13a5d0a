// Builders of parse-tree fragments for the frame, declaration and menu tests,
// shaped as the parser builds them.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "compiler/codegen.h"
#include "driver/diagnostics.h"
#include "frontend/tree.h"

namespace decl_tree {

struct Node {
    uint32_t id = 0;
    std::string txt;
    bool has_text = false;
    bool nonterminal = false;
    std::vector<Node> kids;
    uint32_t line = 1;
};

inline Node tok(uint32_t id, uint32_t line = 1) {
    Node n;
    n.id = id;
    n.line = line;
    return n;
}
inline Node txt(uint32_t id, const std::string& text, uint32_t line = 1) {
    Node n = tok(id, line);
    n.txt = text;
    n.has_text = true;
    return n;
}
inline Node nt(uint32_t id, std::vector<Node> kids = {}, uint32_t line = 1) {
    Node n = tok(id, line);
    n.nonterminal = true;
    n.kids = std::move(kids);
    return n;
}
inline Node ident(const std::string& name, uint32_t line = 1) { return txt(ID_IDENTIFIER, name, line); }

inline List* build(const std::vector<Node>& nodes) {
    List* list = list_create();
    for (const Node& n : nodes) {
        List* child = n.nonterminal ? build(n.kids) : nullptr;
        list_append(list, n.id, child, n.has_text ? n.txt.c_str() : nullptr, n.line, n.line);
    }
    return list;
}

// --- declarations ---
inline Node type_spec(uint32_t keyword, uint32_t line = 1) {
    return nt(ID_type_specifier, {tok(keyword, line)}, line);
}
inline Node storage(uint32_t keyword, uint32_t line = 1) {
    return nt(ID_storage_class_specifier, {tok(keyword, line)}, line);
}
inline Node qualifier(uint32_t keyword, uint32_t line = 1) {
    return nt(ID_type_qualifier, {tok(keyword, line)}, line);
}
// Nested right to left, as the grammar builds [specifier, rest].
inline Node nest(uint32_t kind, std::vector<Node> items) {
    Node rest = nt(kind, {items.back()});
    for (size_t i = items.size() - 1; i-- > 0;) rest = nt(kind, {items[i], rest});
    return rest;
}
inline Node specifiers(std::vector<Node> items) { return nest(ID_declaration_specifiers, std::move(items)); }
inline Node spec_quals(std::vector<Node> items) { return nest(ID_specifier_qualifier_list, std::move(items)); }
inline Node pointer(int depth) {
    Node p = nt(ID_pointer, {});
    for (int i = 1; i < depth; ++i) p = nt(ID_pointer, {p});
    return p;
}
inline Node init_declarator(const std::string& name, int depth = 0) {
    std::vector<Node> kids;
    if (depth > 0) kids.push_back(pointer(depth));
    kids.push_back(ident(name));
    return nt(ID_init_declarator, kids);
}
inline Node init_declarator(const std::string& name, Node init) {
    return nt(ID_init_declarator, {ident(name), std::move(init)});
}
inline Node declaration(Node specs, std::vector<Node> declarators = {}) {
    std::vector<Node> kids{std::move(specs)};
    if (!declarators.empty()) kids.push_back(nt(ID_init_declarator_list, std::move(declarators)));
    return nt(ID_declaration, kids);
}
inline Node external(Node node) {
    uint32_t line = node.line;
    return nt(ID_external_declaration, {std::move(node)}, line);
}

// --- functions ---
inline Node parameter(std::vector<Node> kids) { return nt(ID_function_parameter, std::move(kids)); }
inline Node empty_parameters() { return nt(ID_function_parameter_list, {parameter({})}); }
inline Node function(const std::string& name, Node parameters, Node body, uint32_t line = 1) {
    return nt(ID_function_definition,
              {nt(ID_function_declarator, {ident(name, line), std::move(parameters)}, line), std::move(body)},
              line);
}
inline Node empty_body() { return nt(ID_compound_statement, {}); }
inline Node comment_block(std::vector<std::string> lines, uint32_t line = 1) {
    Node block = nt(ID_dts_comment, {txt(ID_COMMENT, lines[0], line)}, line);
    for (size_t i = 1; i < lines.size(); ++i) block = nt(ID_dts_comment, {block, txt(ID_COMMENT, lines[i], line)}, line);
    return block;
}
inline Node macro_block(std::vector<std::string> lines) {
    Node block = nt(ID_dts_define, {txt(ID_MACRO, lines[0])});
    for (size_t i = 1; i < lines.size(); ++i) block = nt(ID_dts_define, {block, txt(ID_MACRO, lines[i])});
    return block;
}

// A primary (CONSTANT, IDENTIFIER, STRING) as the chain of single-element
// levels the grammar builds from `kind` (e.g. ID_expression) down.
inline Node primary_chain(uint32_t kind, Node primary) {
    static const uint32_t levels[] = {
        ID_expression, ID_assignment_expression, ID_conditional_expression, ID_logical_or_expression,
        ID_logical_and_expression, ID_inclusive_or_expression, ID_exclusive_or_expression, ID_and_expression,
        ID_equality_expression, ID_relational_expression, ID_shift_expression, ID_additive_expression,
        ID_multiplicative_expression, ID_cast_expression, ID_unary_expression, ID_postfix_expression,
        ID_primary_expression};
    size_t start = 0;
    while (levels[start] != kind) ++start;
    size_t last = sizeof levels / sizeof levels[0] - 1;
    // A call is a postfix expression holding the function's identifier itself.
    bool call = primary.id == ID_postfix_expression;
    Node n = call ? primary : nt(ID_primary_expression, {std::move(primary)});
    if (call) --last;
    for (size_t i = last; i-- > start;) n = nt(levels[i], {n});
    return n;
}
inline Node call(const std::string& name) { return nt(ID_postfix_expression, {ident(name)}); }
inline Node initializer(Node primary) {
    return nt(ID_initializer, {primary_chain(ID_assignment_expression, std::move(primary))});
}

// --- statements, for the return analysis ---
inline Node statement(Node inner) { return nt(ID_statement, {std::move(inner)}); }
inline Node return_value() {
    return statement(nt(ID_jump_statement, {tok(ID_RETURN), primary_chain(ID_expression, txt(ID_CONSTANT, "0x1"))}));
}
inline Node bare_return() { return statement(nt(ID_jump_statement, {tok(ID_RETURN)})); }
inline Node expression_statement() { return statement(nt(ID_expression_statement, {})); }
inline Node statement_list(std::vector<Node> statements) {
    Node list = nt(ID_statement_list, {statements[0]});
    for (size_t i = 1; i < statements.size(); ++i) list = nt(ID_statement_list, {list, statements[i]});
    return list;
}
inline Node block(std::vector<Node> statements) {
    return nt(ID_compound_statement, {statement_list(std::move(statements))});
}

// --- menus ---
inline Node menuitem(const std::string& title, uint32_t line = 1) {
    return nt(ID_menuitem_definition, {txt(ID_STRING, title, line)}, line);
}
inline Node hotmenu(const std::string& name, uint32_t line = 1) {
    return nt(ID_hotmenu, {ident(name, line), empty_body()}, line);
}
inline Node slider(const std::string& name, uint32_t line = 1) {
    return nt(ID_slider, {ident(name, line), nt(ID_slider_parameter_list, {}), empty_body()}, line);
}
// Items: {name, label}; an empty name gives an empty item.
inline Node dialog(const std::string& name, std::vector<std::pair<std::string, std::string>> items,
                   uint32_t line = 1) {
    std::vector<Node> list;
    for (auto& [parameter, label] : items) {
        std::vector<Node> kids;
        if (!parameter.empty()) kids.push_back(ident(parameter, line));
        if (!label.empty()) kids.push_back(txt(ID_STRING, label, line));
        list.push_back(nt(ID_dialog_parameter_list_item, kids, line));
    }
    return nt(ID_dialog, {ident(name, line), nt(ID_dialog_parameter_list, list, line), empty_body()}, line);
}

// Resets the run state that tests share with the conversion.
inline void reset_run() {
    error_flag = 0;
    message_buffer.clear();
}

}  // namespace decl_tree
