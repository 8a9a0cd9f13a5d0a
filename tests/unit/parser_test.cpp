#include <gtest/gtest.h>

#include <string>

#include "frontend_test_support.h"

using frontend_test::elements;
using frontend_test::find_first;
using frontend_test::find_first_of_kind;
using frontend_test::parse_text;
using frontend_test::ParseResult;
using frontend_test::shape;

namespace {

// Parses `source`, which must be accepted.
void accept(const std::string& source) {
    ParseResult r = parse_text(source);
    ASSERT_EQ(r.status, 0) << source << "\n" << r.errors;
    ASSERT_EQ(r.errors, "");
    ASSERT_EQ(error_flag, 0);
}

// The child list of the first element of kind `id` in the tree.
List* first_list(uint32_t id) {
    tree_element* e = find_first(tree, id);
    EXPECT_NE(e, nullptr) << "no element of kind " << id;
    return e ? e->child : nullptr;
}

// The first list built by the rule of expression level `kind`.
List* level_list(uint32_t kind) {
    List* list = find_first_of_kind(tree, kind);
    EXPECT_NE(list, nullptr) << "no list of level " << kind;
    return list;
}

std::string body(const std::string& statements) { return "F()\n{\n" + statements + "\n}\n"; }

}  // namespace

TEST(ParserTree, FunctionDefinitionAndRoot) {
    accept("F(){}");
    EXPECT_EQ(shape(tree),
              "external_declaration(function_definition(function_declarator(IDENTIFIER:F "
              "function_parameter_list(function_parameter())) compound_statement()))");
    // A run of semicolons after a body leaves no trace; macro lines form one
    // nested dts_define declaration.
    accept("// #dtsdefine a\n// #dtsdefine b\nF() {} ;;\nG() {}\n");
    ASSERT_EQ(tree->count, 3u);
    EXPECT_EQ(shape(tree->first), "external_declaration(dts_define(dts_define(MACRO:// #dtsdefine a) "
                                  "MACRO:// #dtsdefine b))");
    EXPECT_EQ(tree->last->child->first->id, ID_function_definition);
}

TEST(ParserTree, ElementLinesSpanTheSymbol) {
    accept("\nF()\n{\n  x = 1;\n}\n");
    tree_element* ext = tree->first;
    EXPECT_EQ(ext->line, 2u);
    EXPECT_EQ(ext->lastLine, 5u);
    tree_element* stmt = find_first(tree, ID_expression_statement);
    ASSERT_NE(stmt, nullptr);
    EXPECT_EQ(stmt->line, 4u);
    EXPECT_EQ(stmt->lastLine, 4u);
}

TEST(ParserTree, CallArguments) {
    accept(body("f(a,,b);"));
    std::vector<tree_element*> args = elements(first_list(ID_argument_expression_list));
    ASSERT_EQ(args.size(), 3u);
    EXPECT_EQ(args[0]->id, ID_assignment_expression);
    EXPECT_EQ(shape(args[1]), "CONSTANT:0");
    EXPECT_EQ(args[2]->id, ID_assignment_expression);

    accept(body("f(a,);"));
    args = elements(first_list(ID_argument_expression_list));
    ASSERT_EQ(args.size(), 2u);
    EXPECT_EQ(shape(args[1]), "CONSTANT:0");

    // A comment before an argument is dropped, the argument kept.
    accept(body("f(a,\n// -- the second\nb);"));
    args = elements(first_list(ID_argument_expression_list));
    ASSERT_EQ(args.size(), 2u);
    EXPECT_EQ(args[1]->id, ID_assignment_expression);

    // No arguments: the identifier alone.
    accept(body("f();"));
    EXPECT_EQ(shape(level_list(ID_postfix_expression)), "IDENTIFIER:f");
}

TEST(ParserTree, MemberAccessAndSubscripts) {
    // The operand of the member access is the primary expression's own list.
    accept(body("a.b;"));
    List* access = level_list(ID_postfix_expression);
    EXPECT_EQ(shape(access), "postfix_expression(IDENTIFIER:a) IDENTIFIER:b");
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->first->child->kind, static_cast<uint32_t>(ID_primary_expression));
    accept(body("a->b;"));
    EXPECT_EQ(shape(level_list(ID_postfix_expression)), "postfix_expression(IDENTIFIER:a) PTR_OP IDENTIFIER:b");
    accept(body("a[1]++;"));
    std::vector<tree_element*> e = elements(level_list(ID_postfix_expression));
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[1]->id, ID_INC_OP);
    EXPECT_EQ(e[0]->child->last->id, ID_expression);
}

TEST(ParserTree, OperatorLevelsKeepOrDropTheOperator) {
    accept(body("x = a - b;"));
    std::vector<tree_element*> e = elements(level_list(ID_additive_expression));
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[1]->id, ID_MINUS);
    accept(body("x = a & b;"));
    EXPECT_EQ(elements(level_list(ID_and_expression)).size(), 2u);
    accept(body("x = a && b;"));
    e = elements(level_list(ID_logical_and_expression));
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0]->id, ID_logical_and_expression);
    EXPECT_EQ(e[1]->id, ID_inclusive_or_expression);
    // Assignment: the operator is a list of its own.
    accept(body("x += 1;"));
    EXPECT_EQ(shape(first_list(ID_assignment_operator)), "ADD_ASSIGN");
    // Parentheses and casts leave no trace of themselves.
    accept(body("(a);"));
    EXPECT_EQ(shape(level_list(ID_primary_expression)).rfind("expression(", 0), 0u);
    accept(body("(unsigned char)a;"));
    e = elements(level_list(ID_cast_expression));
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0]->id, ID_type_name);
    accept(body("sizeof(int);"));
    EXPECT_EQ(shape(level_list(ID_unary_expression)),
              "SIZEOF LPAREN type_name(specifier_qualifier_list(type_specifier(INT))) RPAREN");
}

// A step that only passes its operand up a level keeps no list: the operands
// of an assignment are the lists of the levels that built them.
TEST(ParserTree, UnitStepsKeepNoListOfTheirOwn) {
    accept(body("x = 1;"));
    List* assignment = level_list(ID_assignment_expression);
    ASSERT_NE(assignment, nullptr);
    EXPECT_EQ(shape(assignment), "unary_expression(IDENTIFIER:x) assignment_operator(ASSIGN) "
                                 "assignment_expression(CONSTANT:0x1)");
    EXPECT_EQ(assignment->first->child->kind, static_cast<uint32_t>(ID_primary_expression));
    EXPECT_EQ(assignment->last->child->kind, static_cast<uint32_t>(ID_primary_expression));
    // The statement's expression is the call's list; lists outside the
    // expression levels carry no level.
    accept(body("f(1);"));
    tree_element* statement = find_first(tree, ID_expression_statement);
    ASSERT_NE(statement, nullptr);
    EXPECT_EQ(statement->child->kind, kNoKind);
    EXPECT_EQ(statement->child->first->child->kind, static_cast<uint32_t>(ID_postfix_expression));
}

TEST(ParserTree, MemoryAccessExpression) {
    accept(body("x = *(unsigned short*)0x10@data + *0x4@io;"));
    tree_element* at = find_first(tree, ID_at_expression);
    ASSERT_NE(at, nullptr);
    ASSERT_EQ(at->child->count, 1u);
    EXPECT_EQ(at->child->first->id, ID_AT_FIRST + 17u);  // @data unsigned 16 bit
    EXPECT_STREQ(at->child->first->txt, "0x10");
}

TEST(ParserTree, DanglingElseBelongsToTheInnerIf) {
    accept(body("if (a) if (b) x=1; else x=2;"));
    std::vector<tree_element*> outer = elements(first_list(ID_selection_statement));
    ASSERT_EQ(outer.size(), 2u);
    EXPECT_EQ(outer[0]->id, ID_expression);
    tree_element* inner = find_first(outer[1]->child, ID_selection_statement);
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->child->count, 3u);
}

TEST(ParserTree, LoopsAndJumps) {
    accept(body("for (;;) x;"));
    std::vector<tree_element*> e = elements(first_list(ID_iteration_statement));
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0]->id, ID_FOR);
    EXPECT_EQ(shape(e[1]), "expression_statement()");
    accept(body("for (i=0; i<3; i++) ;"));
    e = elements(first_list(ID_iteration_statement));
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[3]->id, ID_expression);
    accept(body("do x; while (y);"));
    e = elements(first_list(ID_iteration_statement));
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0]->id, ID_DO);
    EXPECT_EQ(e[2]->id, ID_expression);
    accept(body("L: goto L; break; return; return 1;"));
    EXPECT_EQ(shape(first_list(ID_jump_statement)), "GOTO IDENTIFIER:L");
    tree_element* label = find_first(tree, ID_labeled_statement);
    ASSERT_NE(label, nullptr);
    EXPECT_STREQ(label->child->first->txt, "L");
}

TEST(ParserTree, StatementListsNestAndQuernaLinesAreStatements) {
    accept(body("a;\n//! QUERNA(B::Go)\nb;"));
    List* outer = first_list(ID_statement_list);
    std::vector<tree_element*> e = elements(outer);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0]->id, ID_statement_list);
    EXPECT_EQ(e[1]->id, ID_statement);
    std::vector<tree_element*> middle = elements(e[0]->child);
    ASSERT_EQ(middle.size(), 2u);
    EXPECT_EQ(shape(middle[1]), "QUERNA_CALL:B::Go");
    EXPECT_EQ(middle[0]->id, ID_statement_list);
    EXPECT_EQ(middle[0]->child->count, 1u);  // the first statement sits deepest
}

TEST(ParserTree, CommentsAroundConstructs) {
    // A comment after an expression statement belongs to it and is dropped.
    accept(body("x = 1; // -- one"));
    EXPECT_EQ(elements(first_list(ID_expression_statement)).size(), 1u);
    // A leading comment block is kept by a function definition.
    accept("// -- about F\n// -- more\nF() {}\n");
    std::vector<tree_element*> e = elements(first_list(ID_function_definition));
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(shape(e[0]), "dts_comment(dts_comment(COMMENT:// -- about F) COMMENT:// -- more)");
    // Two comment lines between an if and its statement form one block, and
    // the statement stays the body of the if.
    accept(body("if (a) // -- one\n// -- two\ny = 1;\nz = 2;"));
    std::vector<tree_element*> sel = elements(first_list(ID_selection_statement));
    ASSERT_EQ(sel.size(), 2u);
    EXPECT_EQ(sel[1]->child->first->id, ID_expression_statement);
    // A comment as a statement of its own.
    accept(body("// -- alone\nx;"));
    EXPECT_NE(find_first(tree, ID_dts_comment), nullptr);
}

TEST(ParserTree, CommentsWithoutAPlaceAreDroppedAndNeverABody) {
    // Between the operands of any operator, before an else, in a declaration.
    accept(body("x = a && // -- one\n b || // -- two\n c < // -- three\n 3;"));
    accept(body("if (a) { x; } // -- done\nelse { y; }"));
    EXPECT_EQ(elements(first_list(ID_selection_statement)).size(), 3u);
    accept("int a, // -- first\n b;\n");
    // The statement of a loop, an else or a label is the one after the
    // comment, never the comment.
    for (const char* s : {"while (a) // -- w\n x;", "for (;;) // -- f\n x;", "do // -- d\n x; while (a);",
                          "if (a) y; else // -- e\n x;", "L: // -- l\n x;"}) {
        accept(body(s));
        tree_element* e = find_first(tree, ID_expression_statement);
        ASSERT_NE(e, nullptr) << s;
        EXPECT_EQ(find_first(tree, ID_dts_comment), nullptr) << s;
    }
    // Where the grammar keeps a comment, it still does.
    accept(body("while (a) // -- kept\n{ x; }"));
    EXPECT_NE(find_first(tree, ID_dts_comment), nullptr);
    // A fault after a comment is named on its own line.
    ParseResult r = parse_text(body("x = // -- c\n// -- d\n\n;"));
    EXPECT_EQ(r.errors, "line 6: Error: syntax error, unexpected ';'\n");
    r = parse_text(body("while (a) // -- c\n}"));
    EXPECT_EQ(r.errors, "line 4: Error: syntax error, unexpected '}'\n");
}

TEST(ParserTree, ParameterDescriptions) {
    accept("F(int a \"first\", b \"second\", *p) {}");
    std::vector<tree_element*> p = elements(first_list(ID_function_parameter_list));
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(shape(p[0]), "function_parameter(specifier_qualifier_list(type_specifier(INT)) IDENTIFIER:a)");
    EXPECT_EQ(shape(p[1]), "function_parameter(IDENTIFIER:b)");
    EXPECT_EQ(shape(p[2]), "function_parameter(pointer() IDENTIFIER:p)");

    accept("slider S(0, 10, 1, 1, v \"value\") {}");
    EXPECT_EQ(shape(first_list(ID_slider_parameter_list)),
              "CONSTANT:0x0 CONSTANT:0xA CONSTANT:0x1 CONSTANT:0x1 IDENTIFIER:v");

    // A dialog keeps the description; an empty item is an empty list.
    accept("dialog D(a \"A\", b, ) {}");
    EXPECT_EQ(shape(first_list(ID_dialog_parameter_list)),
              "dialog_parameter_list_item(IDENTIFIER:a STRING:\"A\") "
              "dialog_parameter_list_item(IDENTIFIER:b) dialog_parameter_list_item()");
}

TEST(ParserTree, MenusAndDeclarations) {
    accept("menuitem \"Tools\"\nhotmenu H() {}\nhotmenu K(x) {}\n");
    ASSERT_EQ(tree->count, 3u);
    EXPECT_EQ(shape(tree->first), "external_declaration(menuitem_definition(STRING:\"Tools\"))");
    EXPECT_EQ(shape(list_at(tree, 1)), "external_declaration(hotmenu(IDENTIFIER:H compound_statement()))");
    EXPECT_EQ(list_at(tree, 2)->child->first->child->count, 3u);

    accept("static const int a = 1, *b;");
    List* decl = first_list(ID_declaration);
    EXPECT_EQ(shape(decl->first),
              "declaration_specifiers(storage_class_specifier(STATIC) "
              "declaration_specifiers(type_qualifier(CONST) declaration_specifiers(type_specifier(INT))))");
    std::vector<tree_element*> d = elements(first_list(ID_init_declarator_list));
    ASSERT_EQ(d.size(), 2u);  // a flat list
    EXPECT_EQ(shape(d[1]), "init_declarator(pointer() IDENTIFIER:b)");
}

TEST(ParserErrors, MessagesWithAndWithoutExpectedSymbols) {
    ParseResult r = parse_text("");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.errors, "line 1: Error: syntax error, unexpected $end\n");
    EXPECT_EQ(error_flag, 1);

    r = parse_text(";\n");
    EXPECT_EQ(r.errors, "line 1: Error: syntax error, unexpected ';'\n");

    r = parse_text("menuitem 5");
    EXPECT_EQ(r.errors, "line 1: Error: syntax error, unexpected \"constant\", expecting \"string\"\n");

    r = parse_text("hotmenu H {}");
    EXPECT_EQ(r.errors, "line 1: Error: syntax error, unexpected '{', expecting '('\n");

    r = parse_text("dialog D(a \"x\" \"y\") {}");
    EXPECT_EQ(r.errors,
              "line 1: Error: syntax error, unexpected \"string\", expecting ')' or ','\n");

    r = parse_text(body("x = \n//! QUERNA(Go)\n;"));
    EXPECT_EQ(r.errors, "line 4: Error: syntax error, unexpected \"QUERNA call\"\n");
}

TEST(ParserErrors, LineIsTheScannersCounter) {
    ParseResult r = parse_text("\n\nF() { x = ; }");
    EXPECT_EQ(r.errors, "line 3: Error: syntax error, unexpected ';'\n");
    r = parse_text("#line 40 \"a.gel\"\nF() {\n x = ; }");
    EXPECT_EQ(r.errors, "line 41: Error: syntax error, unexpected ';'\n");
    // The parser can run again after an error.
    accept("F() {}");
}

TEST(ParserLimits, NestingIsBoundedByTheStackLimit) {
    std::string deep = body("x = " + std::string(3000, '(') + "1" + std::string(3000, ')') + ";");
    accept(deep);

    std::string too_deep = body("x = " + std::string(10000, '(') + "1" + std::string(10000, ')') + ";");
    ParseResult r = parse_text(too_deep);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.errors, "line 3: Error: parser stack overflow\n");
    EXPECT_EQ(error_flag, 1);
}

TEST(ParserLimits, LongBodiesKeepTheStackFlat) {
    std::string statements;
    for (int i = 0; i < 50000; ++i) statements += "x = x + 1;\n";
    accept(body(statements));
    // The nested statement lists are one level per statement; releasing the
    // tree must not recurse over them.
    list_release(tree);
    tree = list_create();
}
