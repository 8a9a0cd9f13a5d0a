// Primary expressions, subscripts, member access, postfix increments and
// calls of script functions and built-ins.
#include <gtest/gtest.h>

#include <string>

#include "driver/targets.h"
#include "expressions_test_tree.h"

using namespace expressions_tree;

namespace {

class PostfixTest : public ExpressionTest {};

TEST_F(PostfixTest, PrimariesByWhatTheNameIs) {
    global("g");
    declare(function_state.scope_names, "local");
    Converted r = convert(id("g"));
    EXPECT_EQ(r.kind, RK_HLL_VARIABLE);
    EXPECT_EQ(r.text(), "g");
    EXPECT_EQ(convert(id("local")).kind, RK_HLL_VARIABLE);
    r = convert(id("undeclared"));
    EXPECT_EQ(r.kind, RK_TEXT);
    EXPECT_EQ(r.rd.number, static_cast<int32_t>(ID_IDENTIFIER));
    r = convert(str("\"abc\""));
    EXPECT_EQ(r.kind, RK_TEXT);
    EXPECT_EQ(r.rd.number, ID_STRING);
    EXPECT_EQ(r.text(), "\"abc\"");
    // A parenthesised expression adds no parentheses of its own.
    EXPECT_EQ(convert(paren(id("g"))).kind, RK_HLL_VARIABLE);
    EXPECT_EQ(r.out, "");
}

TEST_F(PostfixTest, NameLookupFollowsTheGrowingLists) {
    // Many globals: every one is found, also those declared after the first
    // lookup, and a name that is not declared stays text.
    for (int i = 0; i < 5000; ++i) global(("g" + std::to_string(i)).c_str());
    EXPECT_EQ(convert(id("g4999")).kind, RK_HLL_VARIABLE);
    EXPECT_EQ(convert(id("late")).kind, RK_TEXT);
    global("late");
    EXPECT_EQ(convert(id("late")).kind, RK_HLL_VARIABLE);
    EXPECT_EQ(convert(id("g0")).kind, RK_HLL_VARIABLE);
    // The first entry of a function decides whether it returns a value.
    function("twice", true);
    function("twice", false);
    EXPECT_EQ(convert(call("twice", {})).out, "GOSUB twice\n");
    // A new run starts with fresh lists.
    fresh(program_state.global_names);
    reset_expression_state();
    EXPECT_EQ(convert(id("g1")).kind, RK_TEXT);
}

TEST_F(PostfixTest, SubscriptAndMemberChainsNestTheirTexts) {
    global("a");
    EXPECT_EQ(convert(subscript(id("a"), num("0x1"))).text(), "((\\a)[0x1])");
    EXPECT_EQ(convert(member(subscript(id("s"), id("a")), "f")).text(), "((((s)[\\a])).f)");
    EXPECT_EQ(convert(member(member(id("s"), "b", true), "c")).text(), "((((s)->b)).c)");

    // A chain of 100 000 member accesses is one tree level each.
    Node chain = id("s");
    for (int i = 0; i < 100000; ++i) chain = member(chain, "m");
    Converted big = convert(chain);
    EXPECT_EQ(big.text().size(), 100000u * 2 + 1 + 100000u * 4);
    EXPECT_EQ(big.text().substr(big.text().size() - 7), ".m)).m)");
}

TEST_F(PostfixTest, PostfixStepOfTextSavesTheOldValue) {
    Converted r = convert(postfix(ID_INC_OP, subscript(id("t"), num("0x0"))));
    EXPECT_EQ(r.kind, RK_MACRO_TEMP);
    EXPECT_EQ(r.rd.number, 0);
    EXPECT_EQ(r.text(), "((t)[0x0])");
    EXPECT_EQ(r.out, "&__V0=Var.VALUE(((t)[0x0]))\nVar.Assign (((t)[0x0]))=(((t)[0x0]))+1\n");
    EXPECT_EQ(numbering.temp_counter, 1);
}

TEST_F(PostfixTest, PostfixStepOfAVariableYieldsTheOldValue) {
    global("i");
    // A value that is read: the old value is kept in a macro of its own.
    Converted r = convert(postfix(ID_INC_OP, id("i")));
    EXPECT_EQ(r.kind, RK_MACRO_TEMP);
    EXPECT_EQ(r.rd.number, 0);
    EXPECT_EQ(r.text(), "&__V0");
    EXPECT_EQ(r.out, "&__V0=Var.VALUE(\\i)\nVar.Assign \\i=\\i+1\n");
    EXPECT_EQ(numbering.temp_counter, 1);

    // A dropped value (a statement i--;, also inside parentheses or a comma
    // list) keeps nothing and gives its number back; an operand of a call
    // in such a statement is still read.
    expression_state.postfix_value_unused = true;
    r = convert(paren(postfix(ID_DEC_OP, id("i"))));
    EXPECT_EQ(r.out, "Var.Assign \\i=\\i-1\n");
    EXPECT_EQ(numbering.temp_counter, 1);
    EXPECT_FALSE(expression_state.postfix_value_unused);
    expression_state.postfix_value_unused = true;
    r = convert(call("f", {postfix(ID_INC_OP, id("i"))}));
    EXPECT_EQ(r.out, "&__V1=Var.VALUE(\\i)\nVar.Assign \\i=\\i+1\nGOSUB f &__V1\nENTRY &__V2\n");
}

TEST_F(PostfixTest, PointerStepsAreRecordedInOrderWithTheirDirection) {
    pointer("p");
    pointer("q");
    // Until the statement writes the step, the pointer holds its old value.
    Converted r = convert(postfix(ID_INC_OP, id("p")));
    EXPECT_EQ(r.kind, RK_HLL_VARIABLE);
    EXPECT_EQ(r.text(), "p");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(numbering.temp_counter, 0);
    convert(postfix(ID_DEC_OP, id("q")));
    // A plain variable leaves the recorded steps alone.
    global("n");
    convert(postfix(ID_INC_OP, id("n")));
    ASSERT_EQ(expression_state.pending_pointer_steps.size(), 2u);
    EXPECT_STREQ(expression_state.pending_pointer_steps[0].name, "p");
    EXPECT_TRUE(expression_state.pending_pointer_steps[0].up);
    EXPECT_STREQ(expression_state.pending_pointer_steps[1].name, "q");
    EXPECT_FALSE(expression_state.pending_pointer_steps[1].up);
    EXPECT_EQ(numbering.temp_counter, 1);
}

TEST_F(PostfixTest, PostfixStepOfAMacroAndOfRegisters) {
    Converted r = convert(postfix(ID_INC_OP, call("f", {})));
    // The old value is kept in &__V0; the call's result is &__V1.
    EXPECT_EQ(r.rd.number, 0);
    EXPECT_EQ(r.out, "GOSUB f\nENTRY &__V1\n&__V0=&__V1\n&__V1=&__V1+1\n");

    architecture = 1;
    r = convert(postfix(ID_DEC_OP, id("A0")));
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
    Converted r = convert(call("f", {}));
    EXPECT_EQ(r.kind, RK_MACRO_TEMP);
    EXPECT_EQ(r.text(), "&__V0");
    EXPECT_EQ(r.out, "GOSUB f\nENTRY &__V0\n");
    EXPECT_EQ(r.err, "");

    r = convert(call("v", {}));
    EXPECT_EQ(r.out, "GOSUB v\n");
    EXPECT_EQ(r.rd.number, 1);
    EXPECT_EQ(numbering.temp_counter, 2);

    r = convert(call("f", {id("x"), num("0x1"), call("v", {}), id("k"), empty_argument()}));
    EXPECT_EQ(r.out, "GOSUB v\nGOSUB f Var.VALUE(\\x) 0x1 &__V2 k\nENTRY &__V3\n");
    EXPECT_EQ(r.text(), "&__V3");

    r = convert(call("v", {str("\"abc\"")}));
    EXPECT_EQ(r.out, "Var.NEWLOCAL char[128] \\strtmp = \"abc\"\nGOSUB v Var.String(\\strtmp)\n\n");
    r = convert(call("f", {str("\"abc\"")}));
    EXPECT_EQ(r.out, "Var.NEWLOCAL char[128] \\strtmp = \"abc\"\nGOSUB f Var.String(\\strtmp)\n\nENTRY &__V5\n");
}

TEST_F(PostfixTest, UndefinedFunctionsWarnAtEveryCall) {
    Converted r = convert(call("g", {num("0x1")}, 7));
    EXPECT_EQ(r.err, "line 7: Warning: Call to undefined function \"g()\".\n");
    EXPECT_EQ(r.out, "GOSUB g 0x1\nENTRY &__V0\n");
    r = convert(call("g", {}, 9));
    EXPECT_EQ(r.err, "line 9: Warning: Call to undefined function \"g()\".\n");
    EXPECT_EQ(program_state.undefined_functions->count, 1u);
    EXPECT_EQ(error_flag, 0);
}

TEST_F(PostfixTest, NegativeCounterUsesTheUnderscoreSpelling) {
    numbering.temp_counter = -2;
    Converted r = convert(call("f", {}));
    EXPECT_EQ(r.out, "GOSUB f\nENTRY &__V_2\n");
    r = convert(call("f", {num("0x1")}));
    EXPECT_EQ(r.out, "GOSUB f 0x1\nENTRY &__V_1\n");
}

TEST_F(PostfixTest, BuiltinValueIsTheTemporaryOfItsDispatch) {
    // With and without arguments the value is &__V<n> with the counter at the
    // dispatch, and the counter ends one beyond it.
    Converted r = convert(call("GEL_IsInRealTimeMode", {}));
    EXPECT_EQ(r.kind, RK_MACRO_TEMP);
    EXPECT_EQ(r.rd.number, 0);
    EXPECT_EQ(r.text(), "&__V0");
    EXPECT_EQ(numbering.temp_counter, 1);
    r = convert(call("GEL_Go", {call("GEL_IsInRealTimeMode", {})}));
    EXPECT_EQ(r.kind, RK_MACRO_TEMP);
    EXPECT_EQ(r.rd.number, 2);
    EXPECT_EQ(r.text(), "&__V2");
    EXPECT_EQ(numbering.temp_counter, 3);
    EXPECT_NE(r.out.find("&__V1"), std::string::npos);
}

TEST_F(PostfixTest, BuiltinErrorIsReportedAtTheCall) {
    Converted r = convert(call("GEL_BreakPtDel", {}, 12));
    EXPECT_EQ(r.kind, 0);
    EXPECT_EQ(error_flag, 1);
    EXPECT_EQ(r.err, "line 12: Error: Too few parameters to call GEL_BreakPtDel function. Expecting 1 parameters.\n");
    // A name with the prefix that is not in the table is a script function.
    error_flag = 0;
    r = convert(call("GEL_Nothing", {}, 3));
    EXPECT_EQ(r.out, "GOSUB GEL_Nothing\nENTRY &__V0\n");
}

TEST_F(PostfixTest, RegistersComeBeforeVariables) {
    architecture = 5;
    global("A");
    Converted r = convert(id("A"));
    EXPECT_EQ(r.kind, RK_CORE_REGISTER_TEMP);
    EXPECT_EQ(r.text(), "A");
    architecture = 2;
    EXPECT_EQ(convert(id("b12")).kind, RK_TEXT);
    EXPECT_EQ(convert(id("B12")).kind, RK_CORE_REGISTER_TEMP);
}

}  // namespace
