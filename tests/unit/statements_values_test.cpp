#include <gtest/gtest.h>

#include <string>

#include "compiler/codegen.h"
#include "compiler/statements_internal.h"
#include "driver/diagnostics.h"
#include "rewrite/patterns.h"
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
    EXPECT_EQ(if_line(RK_MEMORY_TEMP, "0x100", 3), "Var.IF (\\__V3!=0)\n");
    EXPECT_EQ(if_line(RK_CORE_REGISTER_TEMP, "PC", 4), "Var.IF (\\__V4!=0)\n");
    EXPECT_EQ(if_line(RK_PERIPHERAL_REGISTER_TEMP, "CTRL", 5), "Var.IF (\\__V5!=0)\n");
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

TEST(ReturnText, LongTextsAreMatchedWithoutDeepRecursion) {
    std::string long_value(1 << 20, 'a');
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

std::string split(const char* text, const char** left) {
    ResultDescriptor rd = descriptor(text);
    Capture out(stdout);
    return_conditional(&rd);
    *left = rd.text;
    return out.text();
}

TEST(ReturnText, OnlyAWholeConditionalIsSplit) {
    const char* left = nullptr;
    // The condition is tested as an if tests it; HLL values are read with Var.VALUE.
    EXPECT_EQ(split("((\\c)?(\\a):(0x2))", &left),
              "&__FUNCTION_RETURN_VALUE=0x2\nVar.IF (\\c!=0)\n(\n&__FUNCTION_RETURN_VALUE=Var.VALUE(\\a)\n)\n");
    EXPECT_EQ(left, nullptr);
    EXPECT_EQ(split("((&__V3)?(\"a)\"):((0x1+(\\b))))", &left),
              "&__FUNCTION_RETURN_VALUE=Var.VALUE((0x1+(\\b)))\nIF (&__V3!=0)\n(\n&__FUNCTION_RETURN_VALUE=\"a)\"\n)\n");
    // A conditional inside a larger text, two conditionals side by side, or
    // parentheses that do not close where the parts would: left alone.
    for (const char* kept : {"(0x1+((\\x)?(0x2):(0x3)))", "((x)?(y):(z))+((p)?(q):(r))", "((c)?(a):(b)",
                             "((c)?(a)):((b))", "(\\a+0x1)"}) {
        EXPECT_EQ(split(kept, &left), "") << kept;
        EXPECT_STREQ(left, kept);
    }
}

TEST(ReturnText, TemporaryReference) {
    EXPECT_TRUE(text_contains_hll_temporary("(\\__V1+0x2)"));
    EXPECT_TRUE(text_contains_hll_temporary("\\__x"));
    EXPECT_FALSE(text_contains_hll_temporary("\\__1"));
    EXPECT_FALSE(text_contains_hll_temporary("&__V1"));
    EXPECT_FALSE(text_contains_hll_temporary("\\__"));
}

}  // namespace
