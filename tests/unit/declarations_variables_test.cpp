// Variable declarations: the declaration lines, the specifier checks and their
// errors, global and local names, and the comment and macro lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "compiler/codegen.h"
#include "compiler/compiler.h"
#include "declarations_tree.h"
#include "preprocessor_test_run.h"
#include "test_support.h"

using namespace decl_tree;
using test_support::Capture;

namespace {

std::string declared(const char* name, uint32_t flags, int depth, bool in_function) {
    function_state.inside_function = in_function;
    Capture out(stdout);
    emit_variable_declaration(name, flags, depth);
    std::string text = out.text();
    function_state.inside_function = false;
    return text;
}

struct Output {
    std::string out;
    std::string err;
};

Output compile_tree(std::vector<Node> top) {
    reset_run();
    std::vector<Node> externals;
    for (Node& n : top) externals.push_back(external(n));
    List* tree = build(externals);
    Output r;
    {
        Capture err(stderr);
        Capture out(stdout);
        compile(tree, "out.cmm", test_support::private_path("declarations_variables_macros.dts").c_str());
        r.out = out.text();
        r.err = err.text();
    }
    list_release(tree);
    return r;
}

Node int_declaration(std::vector<Node> declarators) {
    return declaration(specifiers({type_spec(ID_INT)}), std::move(declarators));
}

const std::string frame_head = "GLOBAL &path_out_cmm\n&path_out_cmm=OS.PPF()\n";

}  // namespace

TEST(VariableDeclaration, WordsInFixedOrderAndPointerForms) {
    EXPECT_EQ(declared("x", TF_INT, 0, false), "Var.NEW int \\x\n");
    EXPECT_EQ(declared("v", TF_UNSIGNED | TF_LONG | TF_LONG_LONG, 0, false), "Var.NEW unsigned long long \\v\n");
    EXPECT_EQ(declared("p", TF_INT, 1, true), "Var.NEWLOCAL int * \\p\n");
    EXPECT_EQ(declared("pp", TF_CHAR, 2, false), "Var.NEW char ** \\pp\n");
    EXPECT_EQ(declared("name", TF_CHAR, 1, false), "Var.NEW char[128] \\name\n");
    EXPECT_EQ(declared("u", TF_UNSIGNED, 0, false), "Var.NEW unsigned \\u\n");
    // Storage classes, qualifiers, struct and enum write nothing; signed comes first.
    EXPECT_EQ(declared("w", TF_DOUBLE | TF_SIGNED | TF_CONST | TF_STATIC | TF_STRUCT | TF_ENUM | TF_VOID, 0, false),
              "Var.NEW signed void double \\w\n");
    EXPECT_EQ(declared("s", TF_SHORT | TF_FLOAT, 3, false), "Var.NEW short float *** \\s\n");
    declaration_state.declaration_continues = true;
    EXPECT_EQ(declared("c", TF_INT, 0, true), "Var.NEWLOCAL int \\c");
    declaration_state.declaration_continues = false;
}

TEST(VariableDeclaration, PointerVariablesAreRecorded) {
    if (!program_state.pointer_variables) program_state.pointer_variables = list_create();
    declared("plain_one", TF_INT, 0, false);
    declared("pointer_one", TF_INT, 2, false);
    EXPECT_EQ(names_find(program_state.pointer_variables, "plain_one"), -1);
    EXPECT_GE(names_find(program_state.pointer_variables, "pointer_one"), 0);
}

TEST(GlobalDeclarations, DeclaredBeforeTheDispatchInSourceOrder) {
    Node uns = declaration(specifiers({type_spec(ID_UNSIGNED), type_spec(ID_LONG), type_spec(ID_LONG)}),
                           {init_declarator("v")});
    Node chars = declaration(specifiers({type_spec(ID_CHAR)}), {init_declarator("name", 1), init_declarator("pp", 2)});
    Node f = function("f", empty_parameters(), empty_body());
    Output r = compile_tree({int_declaration({init_declarator("x")}), f, uns, chars});
    EXPECT_EQ(r.out.substr(0, r.out.find("IF ")), frame_head +
                                                       "Var.NEW int \\x\n"
                                                       "Var.NEW unsigned long long \\v\n"
                                                       "Var.NEW char[128] \\name\n"
                                                       "Var.NEW char ** \\pp\n");
    ASSERT_EQ(program_state.global_names->count, 4u);
    EXPECT_STREQ(list_at(program_state.global_names, 0)->txt, "x");
    EXPECT_STREQ(list_at(program_state.global_names, 3)->txt, "pp");
    EXPECT_EQ(function_state.scope_names->count, 0u);
    EXPECT_EQ(r.err, "");
}

TEST(GlobalDeclarations, DeclarationWithoutDeclaratorsWritesNothing) {
    Output r = compile_tree({declaration(specifiers({type_spec(ID_INT)}))});
    EXPECT_EQ(r.out.substr(0, r.out.find("IF ")), frame_head);
    EXPECT_EQ(r.err, "");
}

TEST(DeclarationErrors, EachForbiddenSpecifierStopsTheConversion) {
    struct Case {
        Node specs;
        const char* message;
    };
    Case cases[] = {
        {specifiers({storage(ID_STATIC, 4), type_spec(ID_INT)}),
         "line 4: Error: Storage class \"static\" not supported in declaration of function local variables.\n"},
        {specifiers({type_spec(ID_INT), storage(ID_EXTERN, 4)}),
         "line 4: Error: Storage class \"extern\" not supported in declaration of function local variables.\n"},
        {specifiers({storage(ID_TYPEDEF, 4), type_spec(ID_INT)}),
         "line 4: Error: Storage class \"typedef\" not supported in declaration of function local variables.\n"},
        {specifiers({storage(ID_AUTO, 4), type_spec(ID_INT)}),
         "line 4: Error: Storage class \"auto\" not supported in declaration of function local variables.\n"},
        {specifiers({storage(ID_REGISTER, 4), type_spec(ID_INT)}),
         "line 4: Error: Storage class \"register\" not supported in declaration of function local variables.\n"},
        {specifiers({qualifier(ID_CONST, 4), type_spec(ID_INT)}),
         "line 4: Error: Type qualifier \"const\" not supported in declaration of function local variables.\n"},
        {specifiers({type_spec(ID_INT), qualifier(ID_VOLATILE, 4)}),
         "line 4: Error: Type qualifier \"volatile\" not supported in declaration of function local variables.\n"},
        {specifiers({nt(ID_type_specifier,
                        {nt(ID_struct_or_union_specifier, {nt(ID_struct_or_union, {tok(ID_STRUCT)}), ident("s")}, 4)},
                        4)}),
         "line 4: Error: Structures and unions not supported as local and globals variables.\n"},
        {specifiers({nt(ID_type_specifier, {nt(ID_enum_specifier, {ident("e")}, 4)}, 4)}),
         "line 4: Error: Enumerations not supported as local and globals variables.\n"},
    };
    for (Case& c : cases) {
        // A second offending declaration after the first is never reported.
        Node second = declaration(specifiers({storage(ID_STATIC, 9), type_spec(ID_INT)}), {init_declarator("y")});
        Output r = compile_tree({declaration(c.specs, {init_declarator("x")}), second,
                              function("f", empty_parameters(), empty_body())});
        EXPECT_EQ(r.err, c.message);
        EXPECT_EQ(r.out, frame_head) << c.message;
        EXPECT_EQ(error_flag, 1);
        EXPECT_FALSE(declaration_state.forbid_struct_and_enum || declaration_state.forbid_storage_and_qualifiers);
    }
    reset_run();
}

TEST(DeclarationErrors, LocalDeclarationFailsLikeAGlobalOne) {
    Node decls = nt(ID_declaration_list,
                    {int_declaration({init_declarator("i")}),
                     declaration(specifiers({storage(ID_REGISTER, 6), type_spec(ID_INT)}), {init_declarator("r")})});
    reset_run();
    if (!function_state.scope_names) function_state.scope_names = list_create();
    function_state.inside_function = true;
    List* list = build(decls.kids);
    std::string out, err;
    {
        Capture e(stderr);
        Capture o(stdout);
        C_declaration_list(list);
        out = o.text();
        err = e.text();
    }
    function_state.inside_function = false;
    EXPECT_EQ(out, "Var.NEWLOCAL int \\i\n");
    EXPECT_EQ(err, "line 6: Error: Storage class \"register\" not supported in declaration of function local variables.\n");
    EXPECT_EQ(names_find(function_state.scope_names, "i"), static_cast<long>(function_state.scope_names->count) - 1);
    while (function_state.scope_names->count) names_remove_last(function_state.scope_names);
    list_release(list);
    reset_run();
}

TEST(Specifiers, TextAndFlagsOfSpecifierLists) {
    reset_run();
    List* list = build(specifiers({qualifier(ID_CONST), type_spec(ID_UNSIGNED), type_spec(ID_LONG), type_spec(ID_LONG),
                                   storage(ID_STATIC)})
                           .kids);
    uint32_t flags = 0;
    char* text = nullptr;
    C_declaration_specifiers(list, &flags, &text);
    EXPECT_STREQ(text, "const unsigned long long static");
    EXPECT_EQ(flags, TF_CONST | TF_UNSIGNED | TF_LONG | TF_LONG_LONG | TF_STATIC);
    EXPECT_EQ(error_flag, 0);
    list_release(list);

    // Outside variable declarations struct and enum are allowed and rebuilt as text.
    Node member = nt(ID_struct_declaration,
                     {spec_quals({type_spec(ID_INT)}),
                      nt(ID_struct_declarator_list,
                         {nt(ID_struct_declarator_list, {nt(ID_struct_declarator, {nt(ID_declarator, {nt(ID_direct_declarator, {ident("a")})})})}),
                          nt(ID_struct_declarator, {nt(ID_declarator, {pointer(1), nt(ID_direct_declarator, {ident("b")})})})})});
    Node members = nt(ID_struct_declaration_list, {nt(ID_struct_declaration_list, {member}), member});
    List* s = build(spec_quals({nt(ID_type_specifier, {nt(ID_struct_or_union_specifier,
                                                           {nt(ID_struct_or_union, {tok(ID_UNION)}), ident("u"), members})})})
                        .kids);
    flags = 0;
    C_specifier_qualifier_list(s, &flags, &text);
    EXPECT_STREQ(text, "union u { int a,* b; int a,* b; }");
    EXPECT_EQ(flags, TF_STRUCT);
    list_release(s);

    Node enumerators = nt(ID_enumerator_list,
                          {nt(ID_enumerator_list, {nt(ID_enumerator, {ident("A")})}), nt(ID_enumerator, {ident("B")})});
    List* named = build({nt(ID_type_specifier, {nt(ID_enum_specifier, {ident("e"), enumerators})})});
    List* anonymous = build({nt(ID_type_specifier, {nt(ID_enum_specifier, {enumerators})})});
    List* reference = build({nt(ID_type_specifier, {nt(ID_enum_specifier, {ident("e")})})});
    flags = 0;
    C_specifier_qualifier_list(named, &flags, &text);
    EXPECT_STREQ(text, "enum e { A,B }");
    C_specifier_qualifier_list(anonymous, &flags, &text);
    EXPECT_STREQ(text, "enum { A,B }");
    C_specifier_qualifier_list(reference, &flags, &text);
    EXPECT_STREQ(text, "enum e");
    EXPECT_EQ(flags, TF_ENUM);
    list_release(named);
    list_release(anonymous);
    list_release(reference);
}

TEST(TypeNames, CastTextsAndTheirFlags) {
    reset_run();
    auto type_name = [](Node name, uint32_t* flags) {
        List* list = build(name.kids);
        char* text = nullptr;
        char* returned = C_type_name(list, &text, flags);
        EXPECT_EQ(text, returned);
        std::string s = text ? text : "";
        list_release(list);
        return s;
    };
    uint32_t flags = 0;
    EXPECT_EQ(type_name(nt(ID_type_name, {spec_quals({type_spec(ID_UNSIGNED), type_spec(ID_INT)})}), &flags),
              "unsigned int");
    EXPECT_EQ(flags, TF_UNSIGNED | TF_INT);
    flags = 0;
    EXPECT_EQ(type_name(nt(ID_type_name, {spec_quals({type_spec(ID_UNSIGNED), type_spec(ID_CHAR)}),
                                           nt(ID_abstract_declarator, {pointer(1)})}),
                        &flags),
              "unsigned char *");
    EXPECT_EQ(flags, TF_UNSIGNED | TF_CHAR);
    // Pointer to function taking (int, char **, ...), and arrays without sizes.
    Node parameters = nt(ID_parameter_type_list,
                         {nt(ID_parameter_list,
                             {nt(ID_parameter_list, {nt(ID_parameter_declaration, {specifiers({type_spec(ID_INT)})})}),
                              nt(ID_parameter_declaration, {specifiers({type_spec(ID_CHAR)}),
                                                            nt(ID_abstract_declarator, {pointer(2)})})}),
                          tok(ID_ELLIPSIS)});
    Node function_pointer = nt(ID_abstract_declarator,
                               {nt(ID_direct_abstract_declarator,
                                   {nt(ID_direct_abstract_declarator,
                                       {tok(ID_LPAREN), nt(ID_abstract_declarator, {pointer(1)}), tok(ID_RPAREN)}),
                                    tok(ID_LPAREN), parameters, tok(ID_RPAREN)})});
    EXPECT_EQ(type_name(nt(ID_type_name, {spec_quals({type_spec(ID_VOID)}), function_pointer}), nullptr),
              "void (*)(int,char **,...)");
    Node arrays = nt(ID_abstract_declarator,
                     {pointer(1), nt(ID_direct_abstract_declarator,
                                     {nt(ID_direct_abstract_declarator, {tok(ID_LBRACKET), tok(ID_RBRACKET)}),
                                      tok(ID_LPAREN), tok(ID_RPAREN)})});
    EXPECT_EQ(type_name(nt(ID_type_name, {spec_quals({type_spec(ID_INT)}), arrays}), nullptr), "int * []()");
    // Named declarators inside parameters.
    Node named = nt(ID_parameter_declaration,
                    {specifiers({type_spec(ID_INT)}),
                     nt(ID_declarator, {pointer(2), nt(ID_direct_declarator,
                                                       {nt(ID_direct_declarator, {tok(ID_LPAREN),
                                                                                  nt(ID_declarator, {nt(ID_direct_declarator, {ident("f")})}),
                                                                                  tok(ID_RPAREN)}),
                                                        tok(ID_LBRACKET), tok(ID_RBRACKET)})})});
    List* p = build(named.kids);
    EXPECT_STREQ(C_parameter_declaration(p, nullptr), "int ** (f)[]");
    list_release(p);
    EXPECT_EQ(error_flag, 0);
}

TEST(TypeNames, LongDeclaratorChainIsBuiltWithoutRecursion) {
    // a[][][]... nests one direct declarator per bracket pair.
    const int count = 100000;
    List* level = build({ident("a")});
    for (int i = 0; i < count; ++i) {
        List* outer = list_create();
        list_append(outer, ID_direct_declarator, level, nullptr, 1, 1);
        list_append(outer, ID_LBRACKET, nullptr, nullptr, 1, 1);
        list_append(outer, ID_RBRACKET, nullptr, nullptr, 1, 1);
        level = outer;
    }
    char* text = C_direct_declarator(level, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text).size(), 1u + 2u * count);
    EXPECT_EQ(std::string(text).substr(0, 5), "a[][]");
    list_release(level);
}

TEST(CommentsAndMacroLines, CommentsGoToTheTextOrTheMacroFileInSourceOrder) {
    reset_run();
    std::string macros = test_support::write_temp_file("");
    List* comments = build(comment_block({"// -- one", "// -- two", "// -- three"}).kids);
    {
        Capture out(stdout);
        C_dts_comment(comments, false, macros.c_str());
        EXPECT_EQ(out.text(), "// -- one\n// -- two\n// -- three\n");
    }
    C_dts_comment(comments, true, macros.c_str());
    EXPECT_EQ(test_support::read_file(macros), "// -- one\n// -- two\n// -- three\n");
    list_release(comments);

    Node block = macro_block({"// #dtsdefina LOCAL &function &args", "// #dtsdefine processed",
                              "// #dtsdefinb ENTRY &function %LINE &args", "// #dtsdefina", "// #dtsdefin"});
    // A leading comment block sits in the innermost level.
    Node* inner = &block;
    while (inner->kids[0].id == ID_dts_define) inner = &inner->kids[0];
    inner->kids.insert(inner->kids.begin(), comment_block({"// -- about the macros"}));
    List* lines = build(block.kids);
    std::remove(macros.c_str());
    {
        Capture out(stdout);
        C_dts_define(lines, macros.c_str());
        EXPECT_EQ(out.text(), "");
    }
    EXPECT_EQ(test_support::read_file(macros),
              "// -- about the macros\nLOCAL &function &args\nENTRY &function %LINE &args\n\n");
    list_release(lines);
    std::remove(macros.c_str());
}

TEST(CommentsAndMacroLines, TopLevelMacroBlocksAreWrittenInPassFour) {
    std::string macros = test_support::private_path("declarations_variables_macros.dts");
    std::remove(macros.c_str());
    Output r = compile_tree({macro_block({"// #dtsdefina LOCAL &__N", "// #dtsdefinb &__N=0x5"}),
                          int_declaration({init_declarator("x")})});
    EXPECT_EQ(test_support::read_file(macros), "LOCAL &__N\n&__N=0x5\n");
    EXPECT_EQ(r.out.find("LOCAL"), std::string::npos);
    std::remove(macros.c_str());
}

TEST(GlobalDeclarations, InitialisersByResultKindRunBeforeTheDispatch) {
    pp_test::run("#define MAXCNT 0x10\n");
    Output r = compile_tree({
        int_declaration({init_declarator("g", initializer(txt(ID_CONSTANT, "0x5")))}),
        int_declaration({init_declarator("h", initializer(ident("g")))}),
        int_declaration({init_declarator("c", initializer(call("value")))}),
        declaration(specifiers({type_spec(ID_CHAR)}),
                    {nt(ID_init_declarator, {pointer(1), ident("s"), initializer(ident("MAXCNT"))})}),
        function("value", empty_parameters(), block({return_value()})),
    });
    EXPECT_EQ(r.out.substr(0, r.out.find("IF ")), frame_head +
                                                       "Var.NEW int \\g\nVar.Assign \\g=0x5\n"
                                                       "Var.NEW int \\h\nVar.Assign \\h=\\g\n"
                                                       "Var.NEW int \\c\nGOSUB value\nENTRY &__V0\nVar.Assign \\c=&__V0\n"
                                                       "Var.NEW char[128] \\s\nVar.Assign \\s=&__MAXCNT\n");
    preprocessor_reset();
    // The function table exists before the globals: no undefined-function warning.
    EXPECT_EQ(r.err, "");
}
