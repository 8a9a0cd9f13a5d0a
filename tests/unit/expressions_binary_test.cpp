// Binary operators, the conditional expression and comma lists.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "expressions_test_support.h"

using namespace expressions_test;

namespace {

class BinaryTest : public ExpressionTest {};

ResultDescriptor with_text(const char* text, int32_t number = 0) {
    ResultDescriptor rd;
    rd.text = pool_string(text);
    rd.number = number;
    return rd;
}

std::string print(uint32_t op, int lk, ResultDescriptor l, int rk, ResultDescriptor r) {
    ResultDescriptor out;
    EXPECT_EQ(C_print_expression(op, lk, &l, rk, &r, &out), RK_EXPRESSION);
    return out.text ? out.text : "";
}

TEST_F(BinaryTest, OperatorTableCellsByOperandKinds) {
    ResultDescriptor v = with_text("0x100", 3), m = with_text("&__V4", 4), h = with_text("x"),
                     t = with_text("0x2", ID_CONSTANT), e = with_text("(a+b)");
    struct Case {
        int lk;
        ResultDescriptor l;
        int rk;
        ResultDescriptor r;
        const char* expected;
    } cases[] = {
        {RK_MEMORY_TEMP, v, RK_CORE_REGISTER_TEMP, v, "((\\__V3)+(\\__V3))"},
        {RK_PERIPHERAL_REGISTER_TEMP, v, RK_MACRO_TEMP, m, "((\\__V3)+(&__V4))"},
        {RK_MEMORY_TEMP, v, RK_HLL_VARIABLE, h, "((\\__V3)+Var.VALUE(\\x))"},
        {RK_MEMORY_TEMP, v, RK_TEXT, t, "((\\__V3)+(0x2))"},
        {RK_MEMORY_TEMP, v, RK_EXPRESSION, e, "((\\__V3)+(a+b))"},
        {RK_MACRO_TEMP, m, RK_MEMORY_TEMP, v, "(&__V4+(\\__V3))"},
        {RK_MACRO_TEMP, m, RK_MACRO_TEMP, m, "(&__V4+&__V4)"},
        {RK_MACRO_TEMP, m, RK_HLL_VARIABLE, h, "(&__V4+Var.VALUE(\\x))"},
        {RK_MACRO_TEMP, m, RK_TEXT, t, "(&__V4+0x2)"},
        {RK_MACRO_TEMP, m, RK_EXPRESSION, e, "(&__V4+(a+b))"},
        {RK_HLL_VARIABLE, h, RK_MEMORY_TEMP, v, "(Var.VALUE(\\x)+(\\__V3))"},
        {RK_HLL_VARIABLE, h, RK_MACRO_TEMP, m, "(Var.VALUE(\\x)+&__V4)"},
        {RK_HLL_VARIABLE, h, RK_HLL_VARIABLE, h, "(Var.VALUE(\\x)+Var.VALUE(\\x))"},
        {RK_HLL_VARIABLE, h, RK_TEXT, t, "(Var.VALUE(\\x)+0x2)"},
        {RK_HLL_VARIABLE, h, RK_EXPRESSION, e, "(Var.VALUE(\\x)+(a+b))"},
        {RK_TEXT, t, RK_MEMORY_TEMP, v, "(0x2+\\__V3)"},
        {RK_TEXT, t, RK_MACRO_TEMP, m, "(0x2+&__V4)"},
        {RK_TEXT, t, RK_HLL_VARIABLE, h, "(0x2+(\\x))"},
        {RK_TEXT, t, RK_TEXT, t, "(0x2+0x2)"},
        {RK_TEXT, t, RK_EXPRESSION, e, "(0x2+(a+b))"},
        {RK_EXPRESSION, e, RK_MEMORY_TEMP, v, "((a+b)+(\\__V3))"},
        {RK_EXPRESSION, e, RK_MACRO_TEMP, m, "((a+b)+(&__V4))"},
        {RK_EXPRESSION, e, RK_HLL_VARIABLE, h, "((a+b)+Var.Value(\\x))"},
        {RK_EXPRESSION, e, RK_TEXT, t, "((a+b)+0x2)"},
        {RK_EXPRESSION, e, RK_EXPRESSION, e, "((a+b)+(a+b))"},
    };
    for (const Case& c : cases) EXPECT_EQ(print(ID_PLUS, c.lk, c.l, c.rk, c.r), c.expected);
}

TEST_F(BinaryTest, PlainNamesBecomeHllVariablesButNumbersQuotesAndCharactersStay) {
    ResultDescriptor three = with_text("0x3", ID_CONSTANT);
    EXPECT_EQ(print(ID_LT, RK_TEXT, with_text("k", ID_IDENTIFIER), RK_TEXT, three), "(Var.VALUE(\\k)<0x3)");
    // Letters a to f pass the numeric test.
    EXPECT_EQ(print(ID_LT, RK_TEXT, with_text("cafe", ID_IDENTIFIER), RK_TEXT, three), "(cafe<0x3)");
    EXPECT_EQ(print(ID_EQ_OP, RK_TEXT, with_text("ch", ID_IDENTIFIER), RK_TEXT, with_text("'a'", ID_CONSTANT)),
              "(Var.VALUE(\\ch)=='a')");
    EXPECT_EQ(print(ID_EQ_OP, RK_TEXT, with_text("'z'", ID_CONSTANT), RK_TEXT, with_text("\"s\"", ID_STRING)),
              "('z'==\"s\")");
    // The right operand is reclassified too; an expression never is.
    EXPECT_EQ(print(ID_PLUS, RK_EXPRESSION, with_text("(p)"), RK_TEXT, with_text("n", ID_IDENTIFIER)),
              "((p)+Var.Value(\\n))");
    EXPECT_EQ(print(ID_PLUS, RK_TEXT, with_text("0x1"), RK_EXPRESSION, with_text("q")), "(0x1+q)");
}

TEST_F(BinaryTest, OnlyTheTrueConstantComparisonIsSimplified) {
    ResultDescriptor one = with_text("0x1", ID_CONSTANT), two = with_text("0x2", ID_CONSTANT);
    EXPECT_EQ(print(ID_EQ_OP, RK_TEXT, one, RK_TEXT, one), "(0x1)");
    EXPECT_EQ(print(ID_EQ_OP, RK_TEXT, two, RK_TEXT, two), "(0x2==0x2)");
    EXPECT_EQ(print(ID_NE_OP, RK_TEXT, one, RK_TEXT, one), "(0x1!=0x1)");
}

TEST_F(BinaryTest, EveryLevelSpellsItsOperator) {
    for (const char* op : {"*", "/", "%", "-", "<<", ">>", ">", "<=", ">=", "!=", "&", "^", "|", "&&", "||"}) {
        Converted r = convert(std::string("0x1") + op + "0x2");
        EXPECT_EQ(r.kind, RK_EXPRESSION);
        EXPECT_EQ(r.text(), std::string("(0x1") + op + "0x2)");
        EXPECT_EQ(r.out, "");
    }
    EXPECT_STREQ(binary_operator_text(ID_ASSIGN), " ");
}

TEST_F(BinaryTest, DeclaredVariablesAndChainsAssociateToTheLeft) {
    global("y");
    EXPECT_EQ(convert("y+0x1").text(), "(Var.VALUE(\\y)+0x1)");
    // a-b-c is (a-b)-c; further operations see an expression on their left.
    EXPECT_EQ(convert("y-0x1-k").text(), "((Var.VALUE(\\y)-0x1)-Var.Value(\\k))");
    // Mixed levels nest through their operands.
    EXPECT_EQ(convert("0x1+y < y*0x2").text(), "((0x1+(\\y))<(Var.VALUE(\\y)*0x2))");
}

// The chain of a long sum is built by a loop; its text must equal the one
// that pairwise formatting gives.
TEST_F(BinaryTest, LongChainsMatchPairwiseFormattingAndStayFlat) {
    global("h");
    std::string chain = "0x0";
    std::string expected = "0x0";
    const char* operands[] = {"h", "0x5", "k"};
    for (int i = 0; i < 30; ++i) {
        chain += std::string("+") + operands[i % 3];
        ResultDescriptor l = with_text(expected.c_str()), r = with_text(operands[i % 3], ID_IDENTIFIER);
        int rk = std::string(operands[i % 3]) == "h" ? RK_HLL_VARIABLE : RK_TEXT;
        expected = print(ID_PLUS, i == 0 ? RK_TEXT : RK_EXPRESSION, l, rk, r);
    }
    EXPECT_EQ(convert(chain).text(), expected);

    // 100 000 operators: one tree level each, converted without recursion.
    std::string long_chain = "0x1";
    for (int i = 0; i < 100000; ++i) long_chain += "+0x1";
    auto start = std::chrono::steady_clock::now();
    Converted big = convert(long_chain);
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(big.kind, RK_EXPRESSION);
    EXPECT_EQ(big.text().size(), 100000u + 3 + 100000u * 5);
    EXPECT_EQ(big.text().substr(0, 4), "((((");
    EXPECT_EQ(big.text().substr(big.text().size() - 10), "+0x1)+0x1)");
    EXPECT_LT(seconds, 5.0);
}

TEST_F(BinaryTest, ConditionalSpellsEachOperandByKind) {
    global("x");
    Converted r = convert("x ? 0x1 : f()");
    EXPECT_EQ(r.kind, RK_EXPRESSION);
    EXPECT_EQ(r.text(), "((\\x)?(0x1):(&__V0))");
    EXPECT_EQ(r.out, "GOSUB f\nENTRY &__V0\n");
}

TEST_F(BinaryTest, CommaListKeepsTheLastValueAndWritesEveryPart) {
    global("x");
    Converted r = convert("f(), g(), x");
    EXPECT_EQ(r.kind, RK_HLL_VARIABLE);
    EXPECT_EQ(r.text(), "x");
    EXPECT_EQ(r.out, "GOSUB f\nENTRY &__V0\nGOSUB g\nENTRY &__V1\n");

    std::string longer = "0x0";
    for (int i = 0; i < 100000; ++i) longer += ",0x1";
    EXPECT_EQ(convert(longer).text(), "0x1");
}

TEST_F(BinaryTest, NoFurtherOperandIsConvertedAfterAnError) {
    Converted r = convert("GEL_Halt(0x1) + f() + g()");
    EXPECT_EQ(r.kind, 0);
    EXPECT_EQ(error_flag, 1);
    EXPECT_EQ(r.out.find("GOSUB"), std::string::npos);
    EXPECT_NE(r.err.find("line 1: Error: Too many parameters to call GEL_Halt function."), std::string::npos);
}

}  // namespace
