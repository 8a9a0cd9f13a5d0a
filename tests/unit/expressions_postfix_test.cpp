// Primary expressions, subscripts, member access, postfix increments and
// calls of script functions and built-ins.
#include <gtest/gtest.h>

#include <string>

#include "driver/targets.h"
#include "expressions_test_support.h"

using namespace expressions_test;

namespace {

class PostfixTest : public ExpressionTest {};

TEST_F(PostfixTest, PrimariesByWhatTheNameIs) {
    global("g");
    declare(function_state.scope_names, "local");
    Converted r = convert("g");
    EXPECT_EQ(r.kind, RK_HLL_VARIABLE);
    EXPECT_EQ(r.text(), "g");
    EXPECT_EQ(convert("local").kind, RK_HLL_VARIABLE);
    r = convert("undeclared");
    EXPECT_EQ(r.kind, RK_TEXT);
    EXPECT_EQ(r.rd.number, static_cast<int32_t>(ID_IDENTIFIER));
    r = convert("\"abc\"");
    EXPECT_EQ(r.kind, RK_TEXT);
    EXPECT_EQ(r.rd.number, static_cast<int32_t>(ID_STRING));
    EXPECT_EQ(r.text(), "\"abc\"");
    // A parenthesised expression adds no parentheses of its own.
    EXPECT_EQ(convert("(g)").kind, RK_HLL_VARIABLE);
    EXPECT_EQ(r.out, "");
}

TEST_F(PostfixTest, NameLookupFollowsTheGrowingLists) {
    // Many globals: every one is found, also those declared after the first
    // lookup, and a name that is not declared stays text.
    for (int i = 0; i < 5000; ++i) global(std::string("g").append(std::to_string(i)).c_str());
    EXPECT_EQ(convert("g4999").kind, RK_HLL_VARIABLE);
    EXPECT_EQ(convert("late").kind, RK_TEXT);
    global("late");
    EXPECT_EQ(convert("late").kind, RK_HLL_VARIABLE);
    EXPECT_EQ(convert("g0").kind, RK_HLL_VARIABLE);
    // The first entry of a function decides whether it returns a value.
    function("twice", true);
    function("twice", false);
    EXPECT_EQ(convert("twice()").out, "GOSUB twice\n");
    // A new run starts with fresh lists.
    fresh(program_state.global_names);
    reset_expression_state();
    EXPECT_EQ(convert("g1").kind, RK_TEXT);
}

TEST_F(PostfixTest, SubscriptAndMemberChainsNestTheirTexts) {
    global("a");
    EXPECT_EQ(convert("a[0x1]").text(), "((\\a)[0x1])");
    EXPECT_EQ(convert("s[a].f").text(), "((((s)[\\a])).f)");
    EXPECT_EQ(convert("s->b.c").text(), "((((s)->b)).c)");

    // A chain of 100 000 member accesses is one tree level each.
    std::string chain = "s";
    for (int i = 0; i < 100000; ++i) chain += ".m";
    Converted big = convert(chain);
    EXPECT_EQ(big.text().size(), 100000u * 2 + 1 + 100000u * 4);
    EXPECT_EQ(big.text().substr(big.text().size() - 7), ".m)).m)");
}

TEST_F(PostfixTest, PostfixStepOfTextSavesTheOldValue) {
    Converted r = convert("t[0x0]++");
    EXPECT_EQ(r.kind, RK_MACRO_TEMP);
    EXPECT_EQ(r.rd.number, 0);
    EXPECT_EQ(r.text(), "((t)[0x0])");
    EXPECT_EQ(r.out, "&__V0=Var.VALUE(((t)[0x0]))\nVar.Assign (((t)[0x0]))=(((t)[0x0]))+1\n");
    EXPECT_EQ(numbering.temp_counter, 1);
}

TEST_F(PostfixTest, PostfixStepOfAVariableYieldsTheOldValue) {
    global("i");
    // A value that is read: the old value is kept in a macro of its own.
    Converted r = convert("i++");
    EXPECT_EQ(r.kind, RK_MACRO_TEMP);
    EXPECT_EQ(r.rd.number, 0);
    EXPECT_EQ(r.text(), "&__V0");
    EXPECT_EQ(r.out, "&__V0=Var.VALUE(\\i)\nVar.Assign \\i=\\i+1\n");
    EXPECT_EQ(numbering.temp_counter, 1);

    // A dropped value (a statement i--;, also inside parentheses or a comma
    // list) keeps nothing and gives its number back; an operand of a call
    // in such a statement is still read.
    expression_state.postfix_value_unused = true;
    r = convert("(i--)");
    EXPECT_EQ(r.out, "Var.Assign \\i=\\i-1\n");
    EXPECT_EQ(numbering.temp_counter, 1);
    EXPECT_FALSE(expression_state.postfix_value_unused);
    expression_state.postfix_value_unused = true;
    r = convert("f(i++)");
    EXPECT_EQ(r.out, "&__V1=Var.VALUE(\\i)\nVar.Assign \\i=\\i+1\nGOSUB f &__V1\nENTRY &__V2\n");
}

TEST_F(PostfixTest, PointerStepsAreRecordedInOrderWithTheirDirection) {
    pointer("p");
    pointer("q");
    // Until the statement writes the step, the pointer holds its old value.
    Converted r = convert("p++");
    EXPECT_EQ(r.kind, RK_HLL_VARIABLE);
    EXPECT_EQ(r.text(), "p");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(numbering.temp_counter, 0);
    convert("q--");
    // A plain variable leaves the recorded steps alone.
    global("n");
    convert("n++");
    ASSERT_EQ(expression_state.pending_pointer_steps.size(), 2u);
    EXPECT_STREQ(expression_state.pending_pointer_steps[0].name, "p");
    EXPECT_TRUE(expression_state.pending_pointer_steps[0].up);
    EXPECT_STREQ(expression_state.pending_pointer_steps[1].name, "q");
    EXPECT_FALSE(expression_state.pending_pointer_steps[1].up);
    EXPECT_EQ(numbering.temp_counter, 1);
}

TEST_F(PostfixTest, PostfixStepOfAMacroAndOfRegisters) {
    Converted r = convert("f()++");
    // The old value is kept in &__V0; the call's result is &__V1.
    EXPECT_EQ(r.rd.number, 0);
    EXPECT_EQ(r.out, "GOSUB f\nENTRY &__V1\n&__V0=&__V1\n&__V1=&__V1+1\n");

    architecture = 1;
    r = convert("A0--");
    EXPECT_EQ(r.kind, RK_MACRO_TEMP);
    EXPECT_EQ(r.rd.number, 2);
    EXPECT_EQ(r.out,
              "&__REGISTER_VALUE=register(A0)\n"
              "Var.NEW unsigned long \\__V3\n"
              "Var.Assign \\__V3=&__REGISTER_VALUE\n"
              "&__V2=Var.VALUE(\\__V3)\n"
              "Register.Set A0 (register(A0)-1)\n");
}

TEST_F(PostfixTest, CallsOfScriptFunctions) {
    function("f", false);
    function("v", true);
    global("x");
    Converted r = convert("f()");
    EXPECT_EQ(r.kind, RK_MACRO_TEMP);
    EXPECT_EQ(r.text(), "&__V0");
    EXPECT_EQ(r.out, "GOSUB f\nENTRY &__V0\n");
    EXPECT_EQ(r.err, "");

    r = convert("v()");
    EXPECT_EQ(r.out, "GOSUB v\n");
    EXPECT_EQ(r.rd.number, 1);
    EXPECT_EQ(numbering.temp_counter, 2);

    r = convert("f(x, 0x1, v(), k, )");
    EXPECT_EQ(r.out, "GOSUB v\nGOSUB f Var.VALUE(\\x) 0x1 &__V2 k\nENTRY &__V3\n");
    EXPECT_EQ(r.text(), "&__V3");

    r = convert("v(\"abc\")");
    EXPECT_EQ(r.out, "Var.NEWLOCAL char[128] \\strtmp = \"abc\"\nGOSUB v Var.String(\\strtmp)\n\n");
    r = convert("f(\"abc\")");
    EXPECT_EQ(r.out, "Var.NEWLOCAL char[128] \\strtmp = \"abc\"\nGOSUB f Var.String(\\strtmp)\n\nENTRY &__V5\n");
}

TEST_F(PostfixTest, UndefinedFunctionsWarnAtEveryCall) {
    Converted r = convert("g(0x1)", 7);
    EXPECT_EQ(r.err, "line 7: Warning: Call to undefined function \"g()\".\n");
    EXPECT_EQ(r.out, "GOSUB g 0x1\nENTRY &__V0\n");
    r = convert("g()", 9);
    EXPECT_EQ(r.err, "line 9: Warning: Call to undefined function \"g()\".\n");
    EXPECT_EQ(program_state.undefined_functions->count, 1u);
    EXPECT_EQ(error_flag, 0);
}

TEST_F(PostfixTest, NegativeCounterUsesTheUnderscoreSpelling) {
    numbering.temp_counter = -2;
    Converted r = convert("f()");
    EXPECT_EQ(r.out, "GOSUB f\nENTRY &__V_2\n");
    r = convert("f(0x1)");
    EXPECT_EQ(r.out, "GOSUB f 0x1\nENTRY &__V_1\n");
}

TEST_F(PostfixTest, BuiltinValueIsTheTemporaryOfItsDispatch) {
    // With and without arguments the value is &__V<n> with the counter at the
    // dispatch, and the counter ends one beyond it.
    Converted r = convert("GEL_IsInRealTimeMode()");
    EXPECT_EQ(r.kind, RK_MACRO_TEMP);
    EXPECT_EQ(r.rd.number, 0);
    EXPECT_EQ(r.text(), "&__V0");
    EXPECT_EQ(numbering.temp_counter, 1);
    r = convert("GEL_Go(GEL_IsInRealTimeMode())");
    EXPECT_EQ(r.kind, RK_MACRO_TEMP);
    EXPECT_EQ(r.rd.number, 2);
    EXPECT_EQ(r.text(), "&__V2");
    EXPECT_EQ(numbering.temp_counter, 3);
    EXPECT_NE(r.out.find("&__V1"), std::string::npos);
}

TEST_F(PostfixTest, BuiltinErrorIsReportedAtTheCall) {
    Converted r = convert("GEL_BreakPtDel()", 12);
    EXPECT_EQ(r.kind, 0);
    EXPECT_EQ(error_flag, 1);
    EXPECT_EQ(r.err, "line 12: Error: Too few parameters to call GEL_BreakPtDel function. Expecting 1 parameters.\n");
    // A name with the prefix that is not in the table is a script function.
    error_flag = 0;
    r = convert("GEL_Nothing()", 3);
    EXPECT_EQ(r.out, "GOSUB GEL_Nothing\nENTRY &__V0\n");
}

TEST_F(PostfixTest, RegistersComeBeforeVariables) {
    architecture = 5;
    global("A");
    Converted r = convert("A");
    EXPECT_EQ(r.kind, RK_CORE_REGISTER_TEMP);
    EXPECT_EQ(r.text(), "A");
    architecture = 2;
    EXPECT_EQ(convert("b12").kind, RK_TEXT);
    EXPECT_EQ(convert("B12").kind, RK_CORE_REGISTER_TEMP);
}

}  // namespace
