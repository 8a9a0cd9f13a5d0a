// Which converted macros the operator table reads through Var.VALUE: the
// table asks the preprocessor's macro table for the kind behind "&__NAME".
#include <gtest/gtest.h>

#include <string>

#include "expressions_test_support.h"
#include "preprocessor_test_run.h"

using namespace expressions_test;

namespace {

class ValueMacroTest : public ExpressionTest {
protected:
    void TearDown() override {
        preprocessor_reset();  // the definitions would reach later tests in this process
        ExpressionTest::TearDown();
    }
};

std::string plus_one(const char* macro_text) {
    ResultDescriptor left, right, out;
    left.text = pool_string(macro_text);
    left.number = ID_CONSTANT;
    right.text = pool_string("0x1");
    right.number = ID_CONSTANT;
    EXPECT_EQ(C_print_expression(ID_PLUS, RK_TEXT, &left, RK_TEXT, &right, &out), RK_EXPRESSION);
    return out.text ? out.text : "";
}

TEST_F(ValueMacroTest, ExpressionAndStatementMacrosAreReadAsValuesConstantsAreNot) {
    auto r = pp_test::run(
        "#define D 5\n#define X 0x10\n#define E (D+2)\n#define S (y+1)\n#define F(a) a+1\n#define T(a) a=1;b=2\n");
    ASSERT_EQ(r.status, 0) << r.err;
    struct Case {
        const char* name;
        MacroConversionKind kind;
        const char* expected;
    } cases[] = {
        {"&__D", MC_DECIMAL_CONSTANT, "(&__D+0x1)"},
        {"&__X", MC_HEX_CONSTANT, "(&__X+0x1)"},
        {"&__E", MC_CONSTANT_EXPRESSION, "(Var.VALUE(&__E)+0x1)"},
        {"&__S", MC_SCRIPT_EXPRESSION, "(Var.VALUE(&__S)+0x1)"},
        {"&__F", MC_FUNCTION, "(&__F+0x1)"},
        // Only a script that writes "&__T" itself reaches this; it has always
        // been read as a value.
        {"&__T", MC_STATEMENTS, "(Var.VALUE(&__T)+0x1)"},
        {"&__UNDEFINED", MC_EXPANDED, "(&__UNDEFINED+0x1)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(macro_conversion_kind(c.name + 3), c.kind) << c.name;
        EXPECT_EQ(plus_one(c.name), c.expected);
    }
}

}  // namespace
