// Parameter renderings, the size words of register accesses, the memory read
// function and the removal of Var.VALUE wrappers.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "compiler/value.h"
#include "frontend/tree.h"
#include "test_support.h"

namespace {

GelParameter parameter(int kind, const char* text, int32_t number = 0) {
    GelParameter p;
    p.kind = kind;
    p.rd.text = text ? pool_string(text) : nullptr;
    p.rd.number = number;
    return p;
}

std::string printed(GelParameter p) {
    test_support::Capture out(stdout);
    print_gel_parameter(&p);
    return out.text();
}

std::string stripped(const char* text) {
    std::string copy = text;
    strip_value_wrappers(copy.data());
    return copy.c_str();
}

TEST(ValueRendering, EachKindRendersAsItsParameterForm) {
    struct Case {
        int kind;
        const char* text;
        int32_t number;
        const char* expected;
    } cases[] = {
        {RK_EXPRESSION, "(\\a+0x1)", 0, "Var.VALUE((\\a+0x1))"},
        {RK_TEXT, "5", ID_CONSTANT, "Var.VALUE(5)"},
        {RK_MEMORY_TEMP, "0x100", 2, "Var.VALUE(\\__V2)"},
        {RK_CORE_REGISTER_TEMP, "A0", 3, "Var.VALUE(\\__V3)"},
        {RK_HLL_VARIABLE, "x", 0, "Var.VALUE(\\x)"},
        {RK_MACRO_TEMP, "&__V0", 0, "&__V0"},
        {RK_PERIPHERAL_REGISTER_TEMP, "CTL", 7, "Var.VALUE(\\__V7)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(printed(parameter(c.kind, c.text, c.number)), c.expected);
        char buffer[64];
        GelParameter p = parameter(c.kind, c.text, c.number);
        sprint_gel_parameter(buffer, sizeof buffer, &p);
        EXPECT_STREQ(buffer, c.expected);
    }
}

TEST(ValueRendering, PrintingStripsWrappersTheOtherRenderersDoNot) {
    EXPECT_EQ(printed(parameter(RK_TEXT, "Var.VALUE(\\a)+1")), "Var.VALUE(\\a+1)");

    GelParameter p = parameter(RK_EXPRESSION, "Var.VALUE(\\a)+1");
    char buffer[64];
    sprint_gel_parameter(buffer, sizeof buffer, &p);
    EXPECT_STREQ(buffer, "Var.VALUE(Var.VALUE(\\a)+1)");
    // The buffer is never overrun.
    char small[8];
    sprint_gel_parameter(small, sizeof small, &p);
    EXPECT_STREQ(small, "Var.VAL");

    test_support::Capture out(stdout);
    GelParameter h = parameter(RK_HLL_VARIABLE, "x");
    print_gel_parameter_alter_txt(&h, "y");
    GelParameter t = parameter(RK_TEXT, "Var.VALUE(1)");
    print_gel_parameter_alter_txt(&t, "\"s\"");
    GelParameter m = parameter(RK_MACRO_TEMP, "&__V4", 4);
    print_gel_parameter_alter_txt(&m, "ignored");
    EXPECT_EQ(out.text(), "Var.VALUE(\\y)Var.VALUE(\"s\")&__V4");
}

TEST(ValueRendering, AKindWithoutAValueIsAFatalInternalError) {
    GelParameter none = parameter(RK_NONE, nullptr);
    EXPECT_EXIT(print_gel_parameter(&none), ::testing::ExitedWithCode(1),
                "FATAL INTERNAL ERROR at compiler, print_gel_parameter\\(\\)");
    GelParameter unknown = parameter(3, "x");
    EXPECT_EXIT(print_gel_parameter_alter_txt(&unknown, "y"), ::testing::ExitedWithCode(1),
                "print_gel_parameter_alter_txt\\(\\)");
    char buffer[8];
    EXPECT_EXIT(sprint_gel_parameter(buffer, sizeof buffer, &none), ::testing::ExitedWithCode(1),
                "sprint_gel_parameter\\(\\)");
}

TEST(ValueSizes, WidthCodesGiveTheirWordsAndLongOtherwise) {
    struct Case {
        uint32_t width;
        const char* keyword;
        const char* format;
    } cases[] = {{1, "byte", "%BYTE"}, {2, "word", "%WORD"}, {3, "tbyte", "%TBYTE"}, {4, "long", "%LONG"},
                 {5, "long", "%LONG"}, {6, "tword", "%TWORD"}, {8, "quad", "%QUAD"}, {0, "long", "%LONG"}};
    for (const Case& c : cases) {
        ResultDescriptor rd;
        rd.reg_width = c.width;
        EXPECT_STREQ(size_keyword(&rd), c.keyword);
        EXPECT_STREQ(size_format(&rd), c.format);
    }
}

TEST(ValueSizes, MemoryReadFunctionBySizeAndClass) {
    test_support::Capture out(stdout);
    memory_read_expression(0x824, "0x1000");
    memory_read_expression(0x11, "0x2");
    memory_read_expression(0x42, "a+1");
    memory_read_expression(0x818, "0x8");
    memory_read_expression(0x4, "0x4");
    EXPECT_EQ(out.text(), "data.long(d:0x1000)data.byte(p:0x2)data.word(io:a+1)data.quad(p:0x8)data.long(0x4)");
}

TEST(StripValueWrappers, RemovesEveryWrapperInAnyLetterCase) {
    EXPECT_EQ(stripped("Var.VALUE(\\x)+Var.VALUE((\\__V2)*2)"), "\\x+(\\__V2)*2");
    EXPECT_EQ(stripped("VAR.VALUE(\\x)"), "\\x");
    EXPECT_EQ(stripped("var.value(\\x)==var.Value(1)"), "\\x==1");
    EXPECT_EQ(stripped("Var.VALUE(Var.VALUE(\\x)+1)"), "\\x+1");
    EXPECT_EQ(stripped("(\\a+0x1)"), "(\\a+0x1)");
    EXPECT_EQ(stripped("V.VALUE(\\a)"), "V.VALUE(\\a)");
    EXPECT_EQ(stripped(""), "");
}

TEST(StripValueWrappers, BrokenWrappersLoseTheWordAndOneCharacter) {
    // No opening parenthesis: the word and the character after it go.
    EXPECT_EQ(stripped("Var.VALUE x"), "x");
    EXPECT_EQ(stripped("a+Var.VALUE"), "a+");
    // No matching closing parenthesis: the word and its "(" go.
    EXPECT_EQ(stripped("Var.VALUE((\\x)"), "(\\x)");
    EXPECT_EQ(stripped("Var.VALUE(a"), "a");
}

TEST(StripValueWrappers, LongTextsStayLinear) {
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "Var.VALUE(";
    text += "\\x";
    auto start = std::chrono::steady_clock::now();
    strip_value_wrappers(text.data());
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_STREQ(text.c_str(), "\\x");
    EXPECT_LT(seconds, 5.0);
}

}  // namespace
