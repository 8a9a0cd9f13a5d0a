// Simple and compound assignments to variables, macros, text and kept
// dereferences.
#include <gtest/gtest.h>

#include <string>

#include "expressions_test_tree.h"
#include "preprocessor_test_run.h"

using namespace expressions_tree;

namespace {

class AssignmentTest : public ExpressionTest {};

Node set(Node left, Node right) { return assign(ID_ASSIGN, left, right); }

TEST_F(AssignmentTest, ToAVariableByRightKind) {
    global("x");
    global("y");
    EXPECT_EQ(convert(set(id("x"), num("0x1"))).out, "Var.Assign \\x=0x1\n");
    EXPECT_EQ(convert(set(id("x"), add(id("y"), num("0x1")))).out, "Var.Assign \\x=(\\y+0x1)\n");
    EXPECT_EQ(convert(set(id("x"), id("y"))).out, "Var.Assign \\x=\\y\n");
    EXPECT_EQ(convert(set(id("x"), call("f", {}))).out, "GOSUB f\nENTRY &__V0\nVar.Assign \\x=&__V0\n");
    // Names of converted macros on the right are marked, other names not.
    pp_test::run("#define MAXCNT 0x10\n");
    EXPECT_EQ(convert(set(id("x"), add(id("MAXCNT"), num("0x1")))).out, "Var.Assign \\x=(\\MAXCNT+0x1)\n");
    EXPECT_EQ(convert(set(id("x"), id("MAXCNT"))).out, "Var.Assign \\x=&__MAXCNT\n");
    EXPECT_EQ(convert(set(id("x"), id("target_count"))).out, "Var.Assign \\x=target_count\n");
    preprocessor_reset();
    architecture = 2;
    Converted r = convert(set(id("x"), id("B12")));
    EXPECT_EQ(r.out.substr(r.out.rfind("Var.Assign \\x")), "Var.Assign \\x=\\__V1\n");
    // The value of an assignment is its target.
    EXPECT_EQ(r.kind, RK_HLL_VARIABLE);
    EXPECT_EQ(r.text(), "x");
}

TEST_F(AssignmentTest, ToAMacroTemporaryByRightKind) {
    global("x");
    Converted r = convert(set(call("f", {}), num("0x1")));
    EXPECT_EQ(r.kind, RK_MACRO_TEMP);
    EXPECT_EQ(r.out, "GOSUB f\nENTRY &__V0\n&__V0=Var.VALUE(0x1)\n");
    EXPECT_EQ(convert(set(call("f", {}), id("x"))).out, "GOSUB f\nENTRY &__V1\n&__V1=Var.VALUE(\\x)\n");
    EXPECT_EQ(convert(set(call("f", {}), paren(add(id("x"), num("0x2"))))).out,
              "GOSUB f\nENTRY &__V2\n&__V2=Var.VALUE(\\x+0x2)\n");
    EXPECT_EQ(convert(set(call("f", {}), call("g", {}))).out, "GOSUB f\nENTRY &__V3\nGOSUB g\nENTRY &__V4\n&__V3=&__V4\n");
    std::string out = convert(set(call("f", {}), at(8, "0x4"))).out;
    EXPECT_EQ(out.substr(out.rfind('\n', out.size() - 2) + 1), "&__V5=Var.VALUE(\\__V6)\n");
}

TEST_F(AssignmentTest, ToTextAndExpressionsWithTheRightTextRule) {
    global("x");
    EXPECT_EQ(convert(set(id("k"), num("0x1"))).out, "Var.Assign k=Var.VALUE(0x1)\n");
    EXPECT_EQ(convert(set(subscript(id("t"), num("0x0")), id("x"))).out,
              "Var.Assign ((t)[0x0])=Var.VALUE(\\x)\n");
    EXPECT_EQ(convert(set(id("k"), call("f", {}))).out, "GOSUB f\nENTRY &__V0\nVar.Assign k=(&__V0)\n");
    // Operator characters: both value-call passes.
    EXPECT_EQ(convert(set(id("k"), add(id("x"), num("0x1")))).out, "Var.Assign k=(Var.VALUE(\\x)+0x1)\n");
    // A cast on the right is blanked out; a parenthesised text gets no extra pair.
    EXPECT_EQ(convert(set(id("k"), cast(type_name({ID_CHAR}, 0), id("x")))).out, "Var.Assign k=Var.VALUE(\\x)\n");
    // Text with an asterisk is written as it stands.
    EXPECT_EQ(convert(set(id("k"), str("\"a*b\""))).out, "Var.Assign k=\"a*b\"\n");
    EXPECT_EQ(convert(set(id("k"), str("\"ab\""))).out, "Var.Assign k=Var.VALUE(\"ab\")\n");
}

TEST_F(AssignmentTest, DereferenceOnTheRightFollowsTheLeftSide) {
    global("x");
    // HLL variable on the left: the HLL form, and the cast around it vanishes.
    Node deref = unary(ID_STAR, cast(type_name({ID_UNSIGNED, ID_CHAR}, 1), num("0x200")));
    Converted r = convert(set(id("x"), cast(type_name({ID_UNSIGNED, ID_CHAR}, 0), deref)));
    EXPECT_EQ(r.out, "Var.Assign \\x=\\Data_Byte((0x200))\n");
    EXPECT_FALSE(expression_state.drop_next_cast);
    EXPECT_EQ(expression_state.deref_mode, DEREF_NONE);
    // Other left sides: the function form.
    deref = unary(ID_STAR, cast(type_name({ID_SHORT}, 1), num("0x10")));
    r = convert(set(id("k"), deref));
    EXPECT_EQ(r.out, "Var.Assign k=Data.Word(D:(0x10))\n");
}

TEST_F(AssignmentTest, PointerWriteThroughAKeptDereference) {
    global("p");
    Node left = unary(ID_STAR, cast(type_name({ID_CHAR}, 1), id("p")));
    Converted r = convert(set(left, num("0x1")));
    EXPECT_EQ(r.out, "Data.Set D:(((Var.VALUE(\\p)))) %Byte Var.VALUE(0x1)\n");
    EXPECT_TRUE(r.rd.type_flags & TF_DEREF_AS_TEXT);

    left = unary(ID_STAR, cast(type_name({ID_LONG, ID_LONG}, 1), id("p")));
    r = convert(set(left, id("p")));
    EXPECT_EQ(r.out, "Data.Set D:(((Var.VALUE(\\p)))) %TYPE_ERROR Var.VALUE(\\p)\n");

    // Without a cast the size is Long and nothing is blanked.
    r = convert(set(unary(ID_STAR, id("p")), call("f", {})));
    EXPECT_EQ(r.out, "GOSUB f\nENTRY &__V0\nData.Set D:( Var.VALUE(\\p)) %Long (&__V0)\n");
}

TEST_F(AssignmentTest, CompoundAssignmentsByRowAndColumn) {
    global("x");
    global("y");
    EXPECT_EQ(convert(assign(ID_ADD_ASSIGN, id("x"), num("0x2"))).out, "Var.Assign (\\x+=(0x2))\n");
    EXPECT_EQ(convert(assign(ID_MUL_ASSIGN, id("x"), id("y"))).out, "Var.Assign (\\x*=\\y)\n");
    EXPECT_EQ(convert(assign(ID_SUB_ASSIGN, id("x"), call("f", {}))).out,
              "GOSUB f\nENTRY &__V0\nVar.Assign (\\x-=(&__V0))\n");
    EXPECT_EQ(convert(assign(ID_LEFT_ASSIGN, id("x"), paren(add(id("y"), num("0x1"))))).out,
              "Var.Assign (\\x<<=(\\y+0x1))\n");
    EXPECT_EQ(convert(assign(ID_XOR_ASSIGN, id("k"), num("0x1"))).out, "Var.Assign (k^=0x1)\n");
    EXPECT_EQ(convert(assign(ID_RIGHT_ASSIGN, id("k"), id("x"))).out, "Var.Assign (k>>=\\x)\n");
    EXPECT_EQ(convert(assign(ID_OR_ASSIGN, subscript(id("t"), num("0x0")), id("x"))).out,
              "Var.Assign (((t)[0x0])|=\\x)\n");
    EXPECT_EQ(convert(assign(ID_AND_ASSIGN, subscript(id("t"), num("0x0")), paren(add(id("y"), num("0x1"))))).out,
              "Var.Assign (((t)[0x0])&=(\\y+0x1))\n");
    Converted r = convert(assign(ID_MOD_ASSIGN, call("f", {}), id("x")));
    EXPECT_EQ(r.out, "GOSUB f\nENTRY &__V1\n&__V1=&__V1%Var.VALUE(\\x)\n");
    r = convert(assign(ID_DIV_ASSIGN, call("f", {}), call("g", {})));
    EXPECT_EQ(r.out, "GOSUB f\nENTRY &__V2\nGOSUB g\nENTRY &__V3\n&__V2=&__V2/&__V3\n");
}

TEST_F(AssignmentTest, CompoundAssignmentWithANegativeTemporary) {
    global("x");
    numbering.temp_counter = -3;
    EXPECT_EQ(convert(assign(ID_ADD_ASSIGN, id("x"), call("f", {}))).out,
              "GOSUB f\nENTRY &__V_3\nVar.Assign (\\x+=(&__V_3))\n");
    EXPECT_EQ(convert(assign(ID_ADD_ASSIGN, id("k"), call("f", {}))).out,
              "GOSUB f\nENTRY &__V_2\nVar.Assign (k+=&__V_2)\n");
}

TEST_F(AssignmentTest, NothingIsWrittenAfterAnErrorOnTheRight) {
    global("x");
    Converted r = convert(set(id("x"), call("GEL_Halt", {num("0x1")}, 4)));
    EXPECT_EQ(r.kind, 0);
    EXPECT_EQ(r.out.find("Var.Assign"), std::string::npos);
    EXPECT_EQ(expression_state.deref_mode, DEREF_NONE);
}

}  // namespace
