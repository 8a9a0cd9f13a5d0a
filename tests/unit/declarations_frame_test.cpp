// The program frame of compile: path macro, event hooks, dispatch, function
// subroutines with their parameter blocks, the function table and the return
// analysis behind it.
#include <gtest/gtest.h>

#include <string>

#include "compile_test_support.h"

using compile_test::compile_text;
using compile_test::Output;

namespace {

const std::string dispatch = "IF \"&function\"!=\"\"\n(\nGOSUB &function &args\n)\n";

// The subroutines after the frame.
std::string subroutines(const Output& r) { return r.out.substr(r.out.find("ENDDO\n") + 6); }

}  // namespace

TEST(ProgramFrame, DispatchAndTheStartUpElseBlock) {
    Output r = compile_text("f(){}");
    EXPECT_EQ(r.out, "GLOBAL &path_out_cmm\n&path_out_cmm=OS.PPF()\n" + dispatch + "ENDDO\n\nf:\n(\nRETURN\n)\n");
    EXPECT_EQ(r.err, "");

    r = compile_text("StartUp(){}");
    EXPECT_EQ(r.out, "GLOBAL &path_out_cmm\n&path_out_cmm=OS.PPF()\n" + dispatch +
                         "ELSE\n(\nGOSUB StartUp\n)\nENDDO\n\nStartUp:\n(\nRETURN\n)\n");
    // Names compare whole and case-sensitively.
    EXPECT_EQ(compile_text("startup(){}\nStartUpX(){}").out.find("ELSE"), std::string::npos);
}

TEST(ProgramFrame, PathMacroTakesTheLastPathPartWithUnderscores) {
    EXPECT_EQ(compile_text("f(){}", "/some/dir/my-script.cmm").out.substr(0, 27), "GLOBAL &path_my_script_cmm\n");
    EXPECT_EQ(compile_text("f(){}", "C:\\work\\a b+c.cmm").out.substr(0, 23), "GLOBAL &path_a_b_c_cmm\n");
    EXPECT_EQ(compile_text("f(){}", "dir\\sub/x.y").out.substr(0, 17), "GLOBAL &path_x_y\n");
}

TEST(ProgramFrame, EventFunctionsWriteHooksBeforeGlobalsAndWarnForUnsupportedOnes) {
    Output r = compile_text("\n\nOnHalt(){}\n\nOnFileLoaded(){}\nint g;\nOnReset(){}\n\nOnPreFileLoaded(){}\n\n"
                            "OnRestart(){}\n\nOnTargetConnect(){}\n");
    std::string head = "GLOBAL &path_out_cmm\n&path_out_cmm=OS.PPF()\n"
                       "ON HALT GOSUB OnHalt\nON RESET GOSUB OnReset\nGOSUB OnTargetConnect\n"
                       "Var.NEW int \\g\n" +
                       dispatch + "ENDDO\n";
    EXPECT_EQ(r.out.substr(0, head.size()), head);
    // Every event function is still converted as a subroutine, in source order.
    std::string subs = "\nOnHalt:\n(\nRETURN\n)\n\nOnFileLoaded:\n(\nRETURN\n)\n\nOnReset:\n(\nRETURN\n)\n"
                       "\nOnPreFileLoaded:\n(\nRETURN\n)\n\nOnRestart:\n(\nRETURN\n)\n\nOnTargetConnect:\n(\nRETURN\n)\n";
    EXPECT_EQ(r.out.substr(head.size()), subs);
    EXPECT_EQ(r.err,
              "line 5: Warning: \"OnFileLoaded\" - This callback function is not supported\n"
              "line 9: Warning: \"OnPreFileLoaded\" - This callback function is not supported\n"
              "line 11: Warning: \"OnRestart\" - This callback function is not supported\n");
}

TEST(ProgramFrame, CommentBeforeAFunctionPrecedesItsLabelAndAStandaloneOneIsDropped) {
    Output r = compile_text("// -- first\n// -- second\nf(){}\n// -- alone\n");
    EXPECT_EQ(tree->last->child->first->id, ID_dts_comment);
    EXPECT_EQ(subroutines(r), "// -- first\n// -- second\n\nf:\n(\nRETURN\n)\n");
    EXPECT_EQ(r.out.find("alone"), std::string::npos);
}

TEST(ParameterBlock, TypedUntypedQualifiedAndPointerParameters) {
    Output r = compile_text("add(int a, char *s){}");
    EXPECT_EQ(subroutines(r),
              "\nadd:\n(\nPRIVATE &__VF0 &__VF1\nENTRY &__VF0 &__VF1\n\n"
              "&__VF0=&__VF0 // evaluation of passed expressions \n&__VF1=&__VF1\n\n"
              "Var.NEWLOCAL int \\a=&__VF0\nVar.NEWLOCAL char[128] \\s=\"&__VF1\"\nRETURN\n)\n");

    r = compile_text("f(x){}");
    EXPECT_EQ(subroutines(r),
              "\nf:\n(\nPRIVATE &__VF0\nENTRY &__VF0\n\n&__VF0=&__VF0 // evaluation of passed expression \n\n"
              "Var.NEWLOCAL int \\x=&__VF0\nRETURN\n)\n");

    r = compile_text("g(unsigned u, **pp, const char *c, char **cc, long long ll){}");
    EXPECT_EQ(r.out.substr(r.out.find("\n\nVar.NEWLOCAL") + 2),
              "Var.NEWLOCAL unsigned int \\u=&__VF0\n"
              "Var.NEWLOCAL int ** \\pp=&__VF1\n"
              "Var.NEWLOCAL char[128] \\c=\"&__VF2\"\n"
              "Var.NEWLOCAL char ** \\cc=&__VF3\n"
              "Var.NEWLOCAL long long \\ll=&__VF4\n"
              "RETURN\n)\n");
    EXPECT_EQ(r.err, "");

    // An empty parameter among others keeps its number but declares nothing.
    r = compile_text("f(a, , b){}");
    EXPECT_NE(r.out.find("PRIVATE &__VF0 &__VF1 &__VF2\nENTRY &__VF0 &__VF1 &__VF2\n\n"
                         "&__VF0=&__VF0 // evaluation of passed expressions \n&__VF1=&__VF1\n&__VF2=&__VF2\n\n"
                         "Var.NEWLOCAL int \\a=&__VF0\nVar.NEWLOCAL int \\b=&__VF2\nRETURN\n"),
              std::string::npos);
}

TEST(FunctionTable, FlagsFollowTheReturnAnalysisAndScopeIsEmptyAfterwards) {
    compile_text("value(){ ; return 1; }\nbare(x){ return; }\nempty(){}");
    ASSERT_EQ(program_state.function_table->count, 3u);
    EXPECT_STREQ(list_at(program_state.function_table, 0)->txt, "value");
    EXPECT_EQ(list_at(program_state.function_table, 0)->flags, 0);
    EXPECT_STREQ(list_at(program_state.function_table, 1)->txt, "bare");
    EXPECT_EQ(list_at(program_state.function_table, 1)->flags, 1);
    EXPECT_EQ(list_at(program_state.function_table, 2)->flags, 1);
    EXPECT_EQ(function_state.scope_names->count, 0u);
    EXPECT_FALSE(function_state.inside_function);
}

TEST(FunctionTable, CompileResetsTheRunState) {
    compile_text("a(){}");
    numbering.temp_counter = 7;
    numbering.label_counter = 3;
    compile_text("b(){}");
    ASSERT_EQ(program_state.function_table->count, 1u);
    EXPECT_STREQ(list_at(program_state.function_table, 0)->txt, "b");
    EXPECT_EQ(numbering.temp_counter, 0);
    EXPECT_EQ(numbering.label_counter, -1);
    EXPECT_EQ(program_state.global_names->count, 0u);
    EXPECT_EQ(program_state.undefined_functions->count, 0u);
}

TEST(ReturnAnalysis, BranchesLoopsLabelsAndBlocks) {
    // True when the statement yields no value.
    struct Case {
        const char* statement;
        bool nothing;
    } statements[] = {
        {"if (c) return 1;", false},
        {"if (c) return; else ;", true},
        {"if (c) return; else return 1;", false},
        {"while (c) { return 1; }", false},
        {"do return; while (c);", true},
        {"for (;;) return 1;", false},
        {"outer: inner: return 1;", false},
        {"break;", true},
    };
    for (const Case& c : statements) {
        compile_test::parse_accepted(std::string("t(){") + c.statement + "}");
        EXPECT_EQ(returns_value(compile_test::first_list(ID_statement)), c.nothing) << c.statement;
    }
    // Bodies by the compound rule: the statement list is judged wherever it
    // stands, after a comment block and declarations too.
    Case bodies[] = {
        {"{ return;\n//! QUERNA(PRINT 1)\n}", true},
        {"{ ; return 1; ; }", false},
        {"{}", true},
        {"{ int i; return 1; }", false},
        {"\n// -- c\n{ return 1; }", false},
        {"\n// -- c\n{ int i; return 1; }", false},
        {"{ int i; }", true},
    };
    for (const Case& c : bodies) {
        compile_test::parse_accepted(std::string("t()") + c.statement);
        if (c.statement[0] == '\n') {
            EXPECT_EQ(compile_test::first_list(ID_compound_statement)->first->id, ID_dts_comment);
        }
        EXPECT_EQ(returns_value(compile_test::first_list(ID_compound_statement)), c.nothing) << c.statement;
    }
}

TEST(ReturnAnalysis, LongBodyIsWalkedWithoutRecursion) {
    // 200 000 statements nest one level each; the return is the first, deepest one.
    compile_test::parse_accepted("t(){ return 1;" + std::string(199999, ';') + "}");
    EXPECT_FALSE(returns_value(compile_test::first_list(ID_compound_statement)));
}

TEST(NameLookups, IndexesAnswerLikeTheListsEvenAfterDirectAppends) {
    compile_text("int *gp, g;\nf(){}\nv(){ return 1; }\nf(){ return 1; }");
    EXPECT_EQ(find_function("f"), 0);
    EXPECT_EQ(find_function("v"), 1);
    EXPECT_EQ(find_function("F"), -1);
    // A second definition of f does not change what a call finds.
    EXPECT_EQ(list_at(program_state.function_table, find_function("f"))->flags, 1);
    EXPECT_TRUE(is_global_variable("g"));
    EXPECT_TRUE(is_global_variable("gp"));
    EXPECT_FALSE(is_global_variable("f"));
    EXPECT_TRUE(is_pointer_variable("gp"));
    EXPECT_FALSE(is_pointer_variable("g"));
    // A name appended to the list itself is still found.
    names_append(program_state.global_names, "direct");
    names_append(program_state.function_table, "direct_f", 1);
    EXPECT_TRUE(is_global_variable("direct"));
    EXPECT_EQ(find_function("direct_f"), static_cast<long>(program_state.function_table->count) - 1);
    // The next conversion starts with empty tables.
    compile_text("h(){}");
    EXPECT_FALSE(is_global_variable("g"));
    EXPECT_EQ(find_function("f"), -1);
}
