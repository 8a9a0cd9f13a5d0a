#include <gtest/gtest.h>

#include <string>

#include "builtins/checks.h"
#include "builtins_test_support.h"
#include "driver/diagnostics.h"

namespace {

using namespace builtins_test;

std::string pending() {
    std::string m = error_flag ? message_buffer : std::string("<none>");
    error_flag = 0;
    message_buffer.clear();
    return m;
}

TEST(BuiltinChecks, CountMessagesInBothForms) {
    error_flag = 0;
    EXPECT_TRUE(check_exact_count("GEL_X", 1, 1));
    EXPECT_TRUE(check_count_range("GEL_X", 0, 0, 1));
    EXPECT_TRUE(check_count_range("GEL_X", 13, 1, 13));
    EXPECT_EQ(pending(), "<none>");

    EXPECT_FALSE(check_exact_count("GEL_BreakPtDel", 0, 1));
    EXPECT_EQ(pending(), "Too few parameters to call GEL_BreakPtDel function. Expecting 1 parameters.");
    EXPECT_FALSE(check_exact_count("GEL_Halt", 1, 0));
    EXPECT_EQ(pending(), "Too many parameters to call GEL_Halt function. Expecting 0 parameters.");
    EXPECT_FALSE(check_count_range("GEL_BreakPtAdd", 0, 1, 2));
    EXPECT_EQ(pending(),
              "Too few parameters to call GEL_BreakPtAdd function. Expecting number of parameters in range 1 to 2.");
    EXPECT_FALSE(check_count_range("GEL_Go", 2, 0, 1));
    EXPECT_EQ(pending(),
              "Too many parameters to call GEL_Go function. Expecting number of parameters in range 0 to 1.");
    EXPECT_FALSE(check_min_count("GEL_TextOut", 0, 1));
    EXPECT_EQ(pending(), "Too few parameters to call GEL_TextOut function. Expecting 1 parameters.");
    EXPECT_TRUE(check_min_count("GEL_TextOut", 40, 1));
    EXPECT_FALSE(check_max_count("GEL_WatchDel", 3, 2));
    EXPECT_EQ(pending(), "Too many parameters to call GEL_WatchDel function. Expecting 2 parameters.");
}

TEST(BuiltinChecks, OmittedParametersBecomeEmptyLiteralsAndCountAsQuoted) {
    Parameters p = {omitted(), number("3"), quoted("\"a\""), omitted(), variable("v")};
    error_flag = 0;
    EXPECT_TRUE(check_quoted(p.data(), 0, "GEL_X"));
    fill_omitted_parameters(p.data(), static_cast<int>(p.size()));
    EXPECT_STREQ(p[0].rd.text, "\"\"");
    EXPECT_STREQ(p[1].rd.text, "3");
    EXPECT_STREQ(p[2].rd.text, "\"a\"");
    EXPECT_STREQ(p[3].rd.text, "\"\"");
    EXPECT_NE(p[0].rd.text, p[3].rd.text);  // each fill is its own modifiable copy
    EXPECT_TRUE(check_quoted(p.data(), 0, "GEL_X"));
    EXPECT_TRUE(check_quoted(p.data(), 3, "GEL_X"));

    EXPECT_FALSE(check_quoted(p.data(), 1, "GEL_X"));
    EXPECT_EQ(pending(), "Second parameter of GEL_X function must be quoted.");
    Parameters q = {variable("a"), expression("b"), identifier("c"), number("0x4")};
    EXPECT_FALSE(check_quoted(q.data(), 0, "GEL_Y"));
    EXPECT_EQ(pending(), "First parameter of GEL_Y function must be quoted.");
    EXPECT_FALSE(check_quoted(q.data(), 2, "GEL_Y"));
    EXPECT_EQ(pending(), "Third parameter of GEL_Y function must be quoted.");
    EXPECT_FALSE(check_quoted(q.data(), 3, "GEL_Y"));
    EXPECT_EQ(pending(), "Fourth parameter of GEL_Y function must be quoted.");
}

TEST(BuiltinChecks, QuotedTextPieces) {
    GelParameter a = quoted("\"name\"");
    EXPECT_STREQ(cut_closing_quote(a), "name");
    EXPECT_STREQ(a.rd.text, "\"name");
    GelParameter empty = quoted("\"\"");
    EXPECT_STREQ(cut_closing_quote(empty), "");
    GelParameter none = omitted();
    EXPECT_STREQ(cut_closing_quote(none), "");
    // Texts that lack a quote are not cut short.
    GelParameter odd = quoted("\"");
    EXPECT_STREQ(cut_closing_quote(odd), "");
    GelParameter bare = number("12");
    EXPECT_STREQ(cut_closing_quote(bare), "12");

    std::string out;
    {
        test_support::Capture o(stdout);
        write_unquoted(quoted("\"a b\""));
        write_unquoted(quoted("\"\""));
        write_unquoted(omitted());
        out = o.text();
    }
    EXPECT_EQ(out, "a b");
}

TEST(BuiltinChecks, WindowNameWhitespace) {
    EXPECT_FALSE(window_name_has_whitespace(""));
    EXPECT_FALSE(window_name_has_whitespace("Output"));
    EXPECT_FALSE(window_name_has_whitespace("  \tOutput"));
    EXPECT_FALSE(window_name_has_whitespace("Output \t "));
    EXPECT_FALSE(window_name_has_whitespace(" \t "));
    EXPECT_TRUE(window_name_has_whitespace("My Window"));
    EXPECT_TRUE(window_name_has_whitespace(" a\t b "));
    error_flag = 0;
    EXPECT_FALSE(check_window_name("a b", "GEL_OpenWindow"));
    EXPECT_EQ(pending(), "GEL_OpenWindow(): Window name with whitespaces not supported by KALDRA");
}

TEST(BuiltinChecks, IntegerLiterals) {
    uint64_t v = 99;
    EXPECT_TRUE(integer_literal_value("0x0C", &v));
    EXPECT_EQ(v, 12u);
    EXPECT_TRUE(integer_literal_value("0X1f", &v));
    EXPECT_EQ(v, 31u);
    EXPECT_TRUE(integer_literal_value("12", &v));
    EXPECT_EQ(v, 12u);
    EXPECT_TRUE(integer_literal_value("017", &v));
    EXPECT_EQ(v, 17u);
    EXPECT_TRUE(integer_literal_value("0", &v));
    EXPECT_EQ(v, 0u);
    EXPECT_TRUE(integer_literal_value("0x10uL", &v));
    EXPECT_EQ(v, 16u);
    EXPECT_TRUE(integer_literal_value("0xFFFFFFFFFFFFFFFF", &v));
    EXPECT_EQ(v, 0xFFFFFFFFFFFFFFFFull);
    for (const char* bad : {"", "0x", "1.5", "'a'", "&__N", "0x1g", "1e3", "x1", "0x1FFFFFFFFFFFFFFFF", "12z"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(integer_literal_value(bad, &v));
    }
    EXPECT_FALSE(integer_literal_value(nullptr, &v));
}

}  // namespace
