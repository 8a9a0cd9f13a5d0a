#include <gtest/gtest.h>

#include <string>

#include "compiler/codegen.h"
#include "compiler/statements_internal.h"
#include "driver/diagnostics.h"
#include "test_support.h"

using test_support::Capture;

namespace {

ResultDescriptor descriptor(const char* text, int32_t number = 0) {
    ResultDescriptor rd;
    rd.text = text ? pool_string(text) : nullptr;
    rd.number = number;
    return rd;
}

std::string if_line(int kind, const char* text, int32_t number = 0) {
    ResultDescriptor rd = descriptor(text, number);
    Capture out(stdout);
    generate_if(kind, &rd);
    return out.text();
}

TEST(GenerateIf, ValueKindsGiveTheirFixedLines) {
    EXPECT_EQ(if_line(RK_MEMORY_TEMP, "0x100", 3), "IF (\\__V3!=0)\n");
    EXPECT_EQ(if_line(RK_CORE_REGISTER_TEMP, "PC", 4), "IF (\\__V4!=0)\n");
    EXPECT_EQ(if_line(RK_PERIPHERAL_REGISTER_TEMP, "CTRL", 5), "IF (\\__V5!=0)\n");
    EXPECT_EQ(if_line(RK_MACRO_TEMP, "&__V2", 2), "IF (&__V2!=0)\n");
    EXPECT_EQ(if_line(RK_HLL_VARIABLE, "x"), "Var.IF (\\x!=0)\n");
    EXPECT_EQ(if_line(RK_TEXT, "0x1"), "IF (0x1!=0)\n");
}

TEST(GenerateIf, NoValueIsAFatalInternalError) {
    ResultDescriptor rd;
    EXPECT_EXIT(generate_if(RK_NONE, &rd), ::testing::ExitedWithCode(1), "FATAL INTERNAL ERROR");
    EXPECT_EXIT(generate_if(3, &rd), ::testing::ExitedWithCode(1), "generate_if");
}

TEST(GenerateIf, ExpressionConditionsChooseScriptOrHllIf) {
    // An HLL name: Var.IF, converted, names parenthesised.
    EXPECT_EQ(if_line(RK_EXPRESSION, "(Var.VALUE(\\x)<0x3)"), "Var.IF ((\\x)<0x3)\n");
    // Numbers used as truth values under a logical operator get "!=0".
    EXPECT_EQ(if_line(RK_EXPRESSION, "((\\a&0x1)&&\\b)"), "Var.IF ((((\\a)&0x1)!=0)&&((\\b)!=0))\n");
    // A subroutine result and no data access: Var.IF.
    EXPECT_EQ(if_line(RK_EXPRESSION, "(&__V2==0x1)"), "Var.IF (&__V2==0x1)\n");
    // A data access and no type word: plain IF.
    EXPECT_EQ(if_line(RK_EXPRESSION, "(data.long(d:0x100)==0x5)"), "IF (data.long(d:0x100)==0x5)\n");
    // A name containing "int" skips the conversion and forces Var.IF.
    EXPECT_EQ(if_line(RK_EXPRESSION, "(Var.VALUE(\\print)!=0x0)"), "Var.IF ((\\print)!=0x0)\n");
    // A negated macro: the backslash the unary operator left is undone.
    EXPECT_EQ(if_line(RK_EXPRESSION, "!\\&__V4"), "Var.IF !&__V4\n");
}

TEST(ReturnText, ConditionalPatternTakesGreedyGroupsOnOneLine) {
    ConditionalMatch m = match_conditional("((\\c)?(\\a):(0x2))");
    ASSERT_TRUE(m.found);
    EXPECT_EQ(m.condition, "\\c");
    EXPECT_EQ(m.value_true, "\\a");
    EXPECT_EQ(m.value_false, "0x2");

    // Greedy groups reach into a second conditional on the same line.
    m = match_conditional("((x)?(y):(z))+((p)?(q):(r))");
    ASSERT_TRUE(m.found);
    EXPECT_EQ(m.condition, "x)?(y):(z))+((p");
    EXPECT_EQ(m.value_true, "q");
    EXPECT_EQ(m.value_false, "r");

    // The last value may be empty; the others may not.
    m = match_conditional("((c)?(a):())");
    ASSERT_TRUE(m.found);
    EXPECT_EQ(m.value_false, "");
    EXPECT_FALSE(match_conditional("(()?(a):(b))").found);
    EXPECT_FALSE(match_conditional("((c)?():(b))").found);

    // No match across a line break, but a later line can match.
    EXPECT_FALSE(match_conditional("((c)?\n(a):(b))").found);
    m = match_conditional("x\n((c)?(a):(b))");
    ASSERT_TRUE(m.found);
    EXPECT_EQ(m.condition, "c");
    EXPECT_FALSE(match_conditional(nullptr).found);
    EXPECT_FALSE(match_conditional("(\\a+0x1)").found);
}

TEST(ReturnText, LongTextsAreMatchedWithoutDeepRecursion) {
    std::string long_value(1 << 20, 'a');
    ConditionalMatch m = match_conditional(("((c)?(" + long_value + "):(b))").c_str());
    ASSERT_TRUE(m.found);
    EXPECT_EQ(m.value_true.size(), long_value.size());
    EXPECT_FALSE(match_return_dereference(("(*((unsigned int *)(" + long_value).c_str()));
}

TEST(ReturnText, DereferencePatternAlternatives) {
    EXPECT_TRUE(match_return_dereference("(*((unsigned int *)(\\__V1+0x4)))"));
    EXPECT_TRUE(match_return_dereference("x+(*((UNSIGNED INT *)(\\p)))"));
    EXPECT_TRUE(match_return_dereference("(*((unsigned int *)\\__ab_1))"));
    // Temporaries named \__V<n> are outside the character class.
    EXPECT_FALSE(match_return_dereference("(*((unsigned int *)\\__V1))"));
    EXPECT_FALSE(match_return_dereference("(*((unsigned int *)()))"));  // the group needs a character
    EXPECT_TRUE(match_return_dereference("(*((unsigned int *)())))"));
    EXPECT_FALSE(match_return_dereference("(*((unsigned int *)(\\p)\n))"));
    EXPECT_FALSE(match_return_dereference("(*((int *)(\\p)))"));
}

TEST(ReturnText, ReturnDereferenceRewritesOnlyMatchingTexts) {
    ResultDescriptor rd = descriptor("(*((unsigned int *)(\\__V1+0x4)))");
    EXPECT_EQ(return_dereference(&rd), 1);
    EXPECT_STREQ(rd.text, "Var.VALUE(*((unsigned int *)(\\__V1+0x4)))");
    rd = descriptor("(\\a+0x1)");
    EXPECT_EQ(return_dereference(&rd), 0);
    EXPECT_STREQ(rd.text, "(\\a+0x1)");
}

TEST(ReturnText, ReturnConditionalBuildsTheIfLines) {
    ResultDescriptor rd = descriptor("((\\c)?(\\a):(0x2))");
    return_conditional(&rd);
    EXPECT_STREQ(rd.text, "0x2\nIF \\c\n(\n&__FUNCTION_RETURN_VALUE=Var.VALUE(\\a)\n)\n");
    rd = descriptor("(\\a+0x1)");
    return_conditional(&rd);
    EXPECT_STREQ(rd.text, "(\\a+0x1)");
}

TEST(ReturnText, TemporaryReference) {
    EXPECT_TRUE(contains_temporary_reference("(\\__V1+0x2)"));
    EXPECT_TRUE(contains_temporary_reference("\\__x"));
    EXPECT_FALSE(contains_temporary_reference("\\__1"));
    EXPECT_FALSE(contains_temporary_reference("&__V1"));
    EXPECT_FALSE(contains_temporary_reference("\\__"));
}

}  // namespace
