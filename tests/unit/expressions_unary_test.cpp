// Casts, unary operators, sizeof and prefix increments.
#include <gtest/gtest.h>

#include <string>

#include "expressions_test_support.h"

using namespace expressions_test;

namespace {

class UnaryTest : public ExpressionTest {};

TEST_F(UnaryTest, CastSpellsItsOperandAndCarriesTheTypeBits) {
    global("x");
    Converted r = convert("(unsigned char *)0x200");
    EXPECT_EQ(r.kind, RK_EXPRESSION);
    EXPECT_EQ(r.text(), "((unsigned char *)0x200)");
    EXPECT_EQ(r.rd.type_flags, TF_UNSIGNED | TF_CHAR);

    EXPECT_EQ(convert("(int)x").text(), "((int)\\x)");
    EXPECT_EQ(convert("(int)f()").text(), "((int)&__V0)");
    architecture = 2;
    EXPECT_EQ(convert("(long)B12").text(), "((long)\\__V1)");
}

TEST_F(UnaryTest, CastOfAKeptDereferenceIsDropped) {
    global("p");
    // *p with no deref_mode bit stays text and carries the kept-dereference bit;
    // the cast around it vanishes and the bit stays.
    Converted r = convert("(int)(*p)");
    EXPECT_EQ(r.text(), "Var.Value(*\\p)");
    EXPECT_TRUE(r.rd.type_flags & TF_DEREF_AS_TEXT);

    // A pending drop removes the next cast of text without marking it.
    expression_state.drop_next_cast = true;
    r = convert("(char)k");
    EXPECT_EQ(r.text(), "k");
    EXPECT_FALSE(r.rd.type_flags & TF_DEREF_AS_TEXT);
    EXPECT_FALSE(expression_state.drop_next_cast);
}

TEST_F(UnaryTest, UnaryOperatorsByOperandKind) {
    global("x");
    EXPECT_EQ(convert("-0x1").text(), "(-0x1)");
    EXPECT_EQ(convert("!x").text(), "Var.Value(!\\x)");
    EXPECT_EQ(convert("~(0x1+0x2)").text(), "(~(0x1+0x2))");
    // A macro temporary with a text goes through the macro-operator pass.
    Converted m = convert("!f()");
    EXPECT_EQ(m.kind, RK_EXPRESSION);
    EXPECT_EQ(m.text(), "!\\&__V0");
    architecture = 5;
    EXPECT_EQ(convert("-A").text(), "(-\\__V1)");
    EXPECT_EQ(convert("&" + at(5, "0x10")).text(), "(&\\__V2)");
}

TEST_F(UnaryTest, StarWithoutDerefModeKeepsTheDereferenceAsText) {
    global("p");
    Converted r = convert("*(short *)p");
    EXPECT_EQ(r.text(), "(*((short *)\\p))");
    EXPECT_EQ(r.rd.type_flags, TF_SHORT | TF_DEREF_AS_TEXT);
    // Other operators carry the operand's bits but do not mark them.
    r = convert("-(short)p");
    EXPECT_EQ(r.rd.type_flags, TF_SHORT);
}

TEST_F(UnaryTest, SizeofByOperandKindAndOfATypeName) {
    global("x");
    EXPECT_EQ(convert("sizeof x").text(), "sizeof \\x");
    EXPECT_EQ(convert("sizeof k").text(), "sizeof(k)");
    EXPECT_EQ(convert("sizeof(k+0x1)").text(), "sizeof(Var.VALUE(\\k)+0x1)");
    EXPECT_EQ(convert("sizeof f()").text(), "sizeof &__V0");
    EXPECT_EQ(convert("sizeof " + at(4, "0x4")).text(), "sizeof \\__V1");
    EXPECT_EQ(convert("sizeof(unsigned long)").text(), "sizeof(unsigned long)");
}

TEST_F(UnaryTest, PrefixStepsByOperandKind) {
    global("x");
    Converted r = convert("++k");
    EXPECT_EQ(r.text(), "(++k)");
    EXPECT_EQ(r.out, "");
    r = convert("--f()");
    EXPECT_EQ(r.text(), "(--(&__V0))");
    // An HLL variable is stepped at once; its value is the variable, so that
    // using it does not step it again.
    r = convert("++x");
    EXPECT_EQ(r.kind, RK_HLL_VARIABLE);
    EXPECT_EQ(r.out, "Var.Assign (++(\\x))\n");
    EXPECT_EQ(r.text(), "x");
    r = convert("x = --x");
    EXPECT_EQ(r.out, "Var.Assign (--(\\x))\nVar.Assign \\x=\\x\n");
}

TEST_F(UnaryTest, PrefixStepOfATemporaryWritesBackAndRereads) {
    architecture = 2;
    Converted r = convert("++B12");
    EXPECT_EQ(r.kind, RK_CORE_REGISTER_TEMP);
    EXPECT_EQ(r.rd.number, 0);
    EXPECT_EQ(r.out,
              "&__REGISTER_VALUE=register(B12)\n"
              "Var.NEW unsigned long \\__V0\n"
              "Var.Assign \\__V0=&__REGISTER_VALUE\n"
              "Register.Set B12 (register(B12)+1)\n"
              "&__REGISTER_VALUE=register(B12)\n"
              "VAR.ASSIGN \\__V0=&__REGISTER_VALUE\n");
    r = convert("--" + at(17, "0x100"));  // @data unsigned 16 bit
    EXPECT_EQ(r.kind, RK_MEMORY_TEMP);
    EXPECT_EQ(r.out,
              "&__MEMORY_VALUE=data.word(d:0x100)\n"
              "Var.NEW unsigned short \\__V1\n"
              "Var.Assign \\__V1=&__MEMORY_VALUE\n"
              "Data.Set d:(0x100) %WORD (data.word(d:0x100)-1)\n"
              "&__MEMORY_VALUE=data.word(d:0x100)\n"
              "Var.Assign \\__V1=&__MEMORY_VALUE\n");
}

}  // namespace
