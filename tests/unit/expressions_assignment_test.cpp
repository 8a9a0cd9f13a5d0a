// Simple and compound assignments to variables, macros, text and kept
// dereferences.
#include <gtest/gtest.h>

#include <string>

#include "expressions_test_support.h"
#include "preprocessor_test_run.h"

using namespace expressions_test;

namespace {

class AssignmentTest : public ExpressionTest {};

TEST_F(AssignmentTest, ToAVariableByRightKind) {
    global("x");
    global("y");
    EXPECT_EQ(convert("x = 0x1").out, "Var.Assign \\x=0x1\n");
    EXPECT_EQ(convert("x = y + 0x1").out, "Var.Assign \\x=(\\y+0x1)\n");
    EXPECT_EQ(convert("x = y").out, "Var.Assign \\x=\\y\n");
    EXPECT_EQ(convert("x = f()").out, "GOSUB f\nENTRY &__V0\nVar.Assign \\x=&__V0\n");
    // Names of converted macros on the right are marked, other names not.
    pp_test::run("#define MAXCNT 0x10\n");
    EXPECT_EQ(convert("x = MAXCNT + 0x1").out, "Var.Assign \\x=(\\MAXCNT+0x1)\n");
    EXPECT_EQ(convert("x = MAXCNT").out, "Var.Assign \\x=&__MAXCNT\n");
    EXPECT_EQ(convert("x = target_count").out, "Var.Assign \\x=target_count\n");
    preprocessor_reset();
    architecture = 2;
    Converted r = convert("x = B12");
    EXPECT_EQ(r.out.substr(r.out.rfind("Var.Assign \\x")), "Var.Assign \\x=\\__V1\n");
    // The value of an assignment is its target.
    EXPECT_EQ(r.kind, RK_HLL_VARIABLE);
    EXPECT_EQ(r.text(), "x");
}

TEST_F(AssignmentTest, ToAMacroTemporaryByRightKind) {
    global("x");
    Converted r = convert("f() = 0x1");
    EXPECT_EQ(r.kind, RK_MACRO_TEMP);
    EXPECT_EQ(r.out, "GOSUB f\nENTRY &__V0\n&__V0=Var.VALUE(0x1)\n");
    EXPECT_EQ(convert("f() = x").out, "GOSUB f\nENTRY &__V1\n&__V1=Var.VALUE(\\x)\n");
    EXPECT_EQ(convert("f() = (x + 0x2)").out, "GOSUB f\nENTRY &__V2\n&__V2=Var.VALUE(\\x+0x2)\n");
    EXPECT_EQ(convert("f() = g()").out, "GOSUB f\nENTRY &__V3\nGOSUB g\nENTRY &__V4\n&__V3=&__V4\n");
    std::string out = convert("f() = " + at(8, "0x4")).out;
    EXPECT_EQ(out.substr(out.rfind('\n', out.size() - 2) + 1), "&__V5=Var.VALUE(\\__V6)\n");
}

TEST_F(AssignmentTest, ToTextAndExpressionsWithTheRightTextRule) {
    global("x");
    EXPECT_EQ(convert("k = 0x1").out, "Var.Assign k=Var.VALUE(0x1)\n");
    EXPECT_EQ(convert("t[0x0] = x").out, "Var.Assign ((t)[0x0])=Var.VALUE(\\x)\n");
    EXPECT_EQ(convert("k = f()").out, "GOSUB f\nENTRY &__V0\nVar.Assign k=(&__V0)\n");
    // Operator characters: both value-call passes.
    EXPECT_EQ(convert("k = x + 0x1").out, "Var.Assign k=(Var.VALUE(\\x)+0x1)\n");
    // A cast on the right is blanked out; a parenthesised text gets no extra pair.
    EXPECT_EQ(convert("k = (char)x").out, "Var.Assign k=Var.VALUE(\\x)\n");
    // Text with an asterisk is written as it stands.
    EXPECT_EQ(convert("k = \"a*b\"").out, "Var.Assign k=\"a*b\"\n");
    EXPECT_EQ(convert("k = \"ab\"").out, "Var.Assign k=Var.VALUE(\"ab\")\n");
}

TEST_F(AssignmentTest, DereferenceOnTheRightFollowsTheLeftSide) {
    global("x");
    // HLL variable on the left: the HLL form, and the cast around it vanishes.
    Converted r = convert("x = (unsigned char)*(unsigned char *)0x200");
    EXPECT_EQ(r.out, "Var.Assign \\x=\\Data_Byte((0x200))\n");
    EXPECT_FALSE(expression_state.drop_next_cast);
    EXPECT_EQ(expression_state.deref_mode, DEREF_NONE);
    // Other left sides: the function form.
    r = convert("k = *(short *)0x10");
    EXPECT_EQ(r.out, "Var.Assign k=Data.Word(D:(0x10))\n");
}

TEST_F(AssignmentTest, PointerWriteThroughAKeptDereference) {
    global("p");
    Converted r = convert("*(char *)p = 0x1");
    EXPECT_EQ(r.out, "Data.Set D:(((Var.VALUE(\\p)))) %Byte Var.VALUE(0x1)\n");
    EXPECT_TRUE(r.rd.type_flags & TF_DEREF_AS_TEXT);

    r = convert("*(long long *)p = p");
    EXPECT_EQ(r.out, "Data.Set D:(((Var.VALUE(\\p)))) %Quad Var.VALUE(\\p)\n");

    // Without a cast the size is Long and nothing is blanked.
    r = convert("*p = f()");
    EXPECT_EQ(r.out, "GOSUB f\nENTRY &__V0\nData.Set D:( Var.VALUE(\\p)) %Long (&__V0)\n");
}

TEST_F(AssignmentTest, CompoundAssignmentsByRowAndColumn) {
    global("x");
    global("y");
    EXPECT_EQ(convert("x += 0x2").out, "Var.Assign (\\x+=(0x2))\n");
    EXPECT_EQ(convert("x *= y").out, "Var.Assign (\\x*=\\y)\n");
    EXPECT_EQ(convert("x -= f()").out, "GOSUB f\nENTRY &__V0\nVar.Assign (\\x-=(&__V0))\n");
    EXPECT_EQ(convert("x <<= (y + 0x1)").out, "Var.Assign (\\x<<=(\\y+0x1))\n");
    EXPECT_EQ(convert("k ^= 0x1").out, "Var.Assign (k^=0x1)\n");
    EXPECT_EQ(convert("k >>= x").out, "Var.Assign (k>>=\\x)\n");
    EXPECT_EQ(convert("t[0x0] |= x").out, "Var.Assign (((t)[0x0])|=\\x)\n");
    EXPECT_EQ(convert("t[0x0] &= (y + 0x1)").out, "Var.Assign (((t)[0x0])&=(\\y+0x1))\n");
    Converted r = convert("f() %= x");
    EXPECT_EQ(r.out, "GOSUB f\nENTRY &__V1\n&__V1=&__V1%Var.VALUE(\\x)\n");
    r = convert("f() /= g()");
    EXPECT_EQ(r.out, "GOSUB f\nENTRY &__V2\nGOSUB g\nENTRY &__V3\n&__V2=&__V2/&__V3\n");
}

TEST_F(AssignmentTest, CompoundAssignmentWithANegativeTemporary) {
    global("x");
    numbering.temp_counter = -3;
    EXPECT_EQ(convert("x += f()").out, "GOSUB f\nENTRY &__V_3\nVar.Assign (\\x+=(&__V_3))\n");
    EXPECT_EQ(convert("k += f()").out, "GOSUB f\nENTRY &__V_2\nVar.Assign (k+=&__V_2)\n");
}

TEST_F(AssignmentTest, NothingIsWrittenAfterAnErrorOnTheRight) {
    global("x");
    Converted r = convert("x = GEL_Halt(0x1)", 4);
    EXPECT_EQ(r.kind, 0);
    EXPECT_EQ(r.out.find("Var.Assign"), std::string::npos);
    EXPECT_EQ(expression_state.deref_mode, DEREF_NONE);
}

}  // namespace
