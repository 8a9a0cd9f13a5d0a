// Variable declarations: the declaration lines, the specifier checks and their
// errors, global and local names, and the comment and macro lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "compile_test_support.h"
#include "preprocessor_test_run.h"
#include "test_support.h"

using compile_test::compile_text;
using compile_test::first_list;
using compile_test::Output;
using compile_test::parse_accepted;
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
    Output r = compile_text("int x;\nf(){}\nunsigned long long v;\nchar *name, **pp;\n");
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

    // A declaration without declarators writes nothing.
    r = compile_text("int;");
    EXPECT_EQ(r.out.substr(0, r.out.find("IF ")), frame_head);
    EXPECT_EQ(r.err, "");
}

TEST(GlobalDeclarations, InitialisersByResultKindRunBeforeTheDispatch) {
    pp_test::run("#define MAXCNT 0x10\n");
    Output r = compile_text("int g = 0x5;\nint h = g;\nint c = value();\nchar *s = MAXCNT;\nvalue(){ return 1; }\n");
    EXPECT_EQ(r.out.substr(0, r.out.find("IF ")), frame_head +
                                                       "Var.NEW int \\g\nVar.Assign \\g=0x5\n"
                                                       "Var.NEW int \\h\nVar.Assign \\h=\\g\n"
                                                       "Var.NEW int \\c\nGOSUB value\nENTRY &__V0\nVar.Assign \\c=&__V0\n"
                                                       "Var.NEW char[128] \\s\nVar.Assign \\s=&__MAXCNT\n");
    preprocessor_reset();
    // The function table exists before the globals: no undefined-function warning.
    EXPECT_EQ(r.err, "");
}

TEST(DeclarationErrors, EachForbiddenSpecifierStopsTheConversion) {
    struct Case {
        const char* declaration;
        const char* message;
    } cases[] = {
        {"static int x;", "Storage class \"static\" not supported in declaration of function local variables."},
        {"int extern x;", "Storage class \"extern\" not supported in declaration of function local variables."},
        {"typedef int x;", "Storage class \"typedef\" not supported in declaration of function local variables."},
        {"auto int x;", "Storage class \"auto\" not supported in declaration of function local variables."},
        {"register int x;", "Storage class \"register\" not supported in declaration of function local variables."},
        {"const int x;", "Type qualifier \"const\" not supported in declaration of function local variables."},
        {"int volatile x;", "Type qualifier \"volatile\" not supported in declaration of function local variables."},
        {"struct s x;", "Structures and unions not supported as local and globals variables."},
        {"enum e x;", "Enumerations not supported as local and globals variables."},
    };
    for (const Case& c : cases) {
        // A second offending declaration after the first is never reported.
        Output r = compile_text(std::string("\n\n\n") + c.declaration + "\n\n\n\n\nstatic int y;\nf(){}\n");
        EXPECT_EQ(r.err, std::string("line 4: Error: ") + c.message + "\n");
        EXPECT_EQ(r.out, frame_head) << c.message;
        EXPECT_EQ(error_flag, 1);
        EXPECT_FALSE(declaration_state.forbid_struct_and_enum || declaration_state.forbid_storage_and_qualifiers);
    }
    error_flag = 0;
}

TEST(DeclarationErrors, LocalDeclarationFailsLikeAGlobalOne) {
    parse_accepted("t(){\nint i;\n\n\n\nregister int r;\n}\n");
    List* declarations = first_list(ID_declaration_list);
    if (!function_state.scope_names) function_state.scope_names = list_create();
    function_state.inside_function = true;
    std::string out, err;
    {
        Capture e(stderr);
        Capture o(stdout);
        C_declaration_list(declarations);
        out = o.text();
        err = e.text();
    }
    function_state.inside_function = false;
    EXPECT_EQ(out, "Var.NEWLOCAL int \\i\n");
    EXPECT_EQ(err, "line 6: Error: Storage class \"register\" not supported in declaration of function local variables.\n");
    EXPECT_EQ(names_find(function_state.scope_names, "i"), static_cast<long>(function_state.scope_names->count) - 1);
    while (function_state.scope_names->count) names_remove_last(function_state.scope_names);
    error_flag = 0;
}

TEST(Specifiers, TextAndFlagsOfSpecifierLists) {
    parse_accepted("const unsigned long long static x;");
    uint32_t flags = 0;
    char* text = nullptr;
    C_declaration_specifiers(first_list(ID_declaration_specifiers), &flags, &text);
    EXPECT_STREQ(text, "const unsigned long long static");
    EXPECT_EQ(flags, TF_CONST | TF_UNSIGNED | TF_LONG | TF_LONG_LONG | TF_STATIC);
    EXPECT_EQ(error_flag, 0);

    // Outside variable declarations struct and enum are allowed and rebuilt as text.
    struct Case {
        const char* specifiers;
        const char* text;
        uint32_t flags;
    } cases[] = {
        {"union u { int a, *b; char c; }", "union u { int a,* b; char c; }", TF_STRUCT},
        {"enum e { A, B }", "enum e { A,B }", TF_ENUM},
        {"enum { A, B }", "enum { A,B }", TF_ENUM},
        {"enum e", "enum e", TF_ENUM},
    };
    for (const Case& c : cases) {
        parse_accepted(std::string("f(") + c.specifiers + " p){}");
        flags = 0;
        C_specifier_qualifier_list(first_list(ID_specifier_qualifier_list), &flags, &text);
        EXPECT_STREQ(text, c.text);
        EXPECT_EQ(flags, c.flags) << c.specifiers;
    }
}

TEST(TypeNames, CastTextsAndTheirFlags) {
    struct Case {
        const char* type;
        const char* text;
        uint32_t flags;
    } cases[] = {
        {"unsigned int", "unsigned int", TF_UNSIGNED | TF_INT},
        {"unsigned char *", "unsigned char *", TF_UNSIGNED | TF_CHAR},
        // Pointer to function taking (int, char **, ...), and arrays without sizes.
        {"void (*)(int, char **, ...)", "void (*)(int,char **,...)", TF_VOID},
        {"int *[]()", "int * []()", TF_INT},
    };
    for (const Case& c : cases) {
        parse_accepted(std::string("t(){ (") + c.type + ")x; }");
        uint32_t flags = 0;
        char* text = nullptr;
        char* returned = C_type_name(first_list(ID_type_name), &text, &flags);
        EXPECT_EQ(text, returned);
        EXPECT_STREQ(text, c.text);
        EXPECT_EQ(flags, c.flags) << c.type;
    }
    // Named declarators inside parameters.
    parse_accepted("t(){ (void (*)(int **(f)[]))x; }");
    EXPECT_STREQ(C_parameter_declaration(first_list(ID_parameter_declaration), nullptr), "int ** (f)[]");
    EXPECT_EQ(error_flag, 0);
}

TEST(TypeNames, LongDeclaratorChainIsBuiltWithoutRecursion) {
    // a[][][]... nests one direct declarator per bracket pair.
    const int count = 100000;
    std::string brackets;
    for (int i = 0; i < count; ++i) brackets += "[]";
    parse_accepted("t(){ (void (*)(int a" + brackets + "))x; }");
    char* text = C_direct_declarator(first_list(ID_direct_declarator), nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text).size(), 1u + 2u * count);
    EXPECT_EQ(std::string(text).substr(0, 5), "a[][]");
}

TEST(CommentsAndMacroLines, CommentsGoToTheTextOrTheMacroFileInSourceOrder) {
    std::string macros = test_support::write_temp_file("");
    parse_accepted("// -- one\n// -- two\n// -- three\nf(){}\n");
    List* comments = first_list(ID_dts_comment);
    {
        Capture out(stdout);
        C_dts_comment(comments, false, macros.c_str());
        EXPECT_EQ(out.text(), "// -- one\n// -- two\n// -- three\n");
    }
    C_dts_comment(comments, true, macros.c_str());
    EXPECT_EQ(test_support::read_file(macros), "// -- one\n// -- two\n// -- three\n");

    // A leading comment block sits in the innermost level.
    parse_accepted("// -- about the macros\n// #dtsdefina LOCAL &function &args\n// #dtsdefine processed\n"
                   "// #dtsdefinb ENTRY &function %LINE &args\n// #dtsdefina\n// #dtsdefin\n");
    std::remove(macros.c_str());
    {
        Capture out(stdout);
        C_dts_define(first_list(ID_dts_define), macros.c_str());
        EXPECT_EQ(out.text(), "");
    }
    EXPECT_EQ(test_support::read_file(macros),
              "// -- about the macros\nLOCAL &function &args\nENTRY &function %LINE &args\n\n");
    std::remove(macros.c_str());
}

TEST(CommentsAndMacroLines, TopLevelMacroBlocksAreWrittenInPassFour) {
    std::string macros = test_support::private_path("compile_test_macros.dts");
    std::remove(macros.c_str());
    Output r = compile_text("// #dtsdefina LOCAL &__N\n// #dtsdefinb &__N=0x5\nint x;\n");
    EXPECT_EQ(test_support::read_file(macros), "LOCAL &__N\n&__N=0x5\n");
    EXPECT_EQ(r.out.find("LOCAL"), std::string::npos);
    std::remove(macros.c_str());
}
