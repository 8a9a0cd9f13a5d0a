// Directives: conditional groups and their messages, #if evaluation,
// #pragma, #assert, #undef and unknown names.
#include <gtest/gtest.h>

#include "preprocessor_test_run.h"

using pp_test::kHeader;
using pp_test::kStart;
using pp_test::run;

namespace {

// Whether `#if expr` takes its first branch; messages go to *err.
bool condition(const std::string& expr, std::string* err = nullptr, const std::string& prelude = "") {
    auto r = run(prelude + "#if " + expr + "\nyes\n#else\nno\n#endif\n");
    if (err) *err = r.err;
    bool yes = r.out.find("\nyes\n") != std::string::npos;
    bool no = r.out.find("\nno\n") != std::string::npos;
    EXPECT_NE(yes, no) << expr << "\n" << r.out;
    return yes;
}

}  // namespace

TEST(PreprocessorConditionals, BranchSelection) {
    auto r = run("#if 0\na\n#elif 1\nb\n#elif 1\nc\n#else\nd\n#endif\n#ifdef __LINE__\ne\n#endif\n#ifndef NOPE\nf\n#else\ng\n#endif\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kStart + "#line 4\nb\n#line 11\ne\n\n\nf\n");
    EXPECT_EQ(r.err, "");
}

TEST(PreprocessorConditionals, NestedGroupsInsideASkippedOneStaySkipped) {
    auto r = run("#if 0\n#if 1\nx\n#else\ny\n#endif\n#bogus\n#endif\nz\n");
    EXPECT_EQ(r.out, kStart + "#line 9\nz\n");
    // an unknown name is reported even in a skipped group
    EXPECT_EQ(r.err, "line 7: Error: Illegal # command \"bogus\"\n#bogus\n1 error in preprocessor\n");
}

TEST(PreprocessorConditionals, ElseAfterATakenBranchSkips) {
    auto r = run("#if 1\na\n#else\nb\n#endif\n#if 0\nc\n#else\nd\n#endif\n");
    EXPECT_EQ(r.out, kStart + "#line 2\na\n#line 9\nd\n");
}

TEST(PreprocessorConditionals, MisplacedGroupDirectives) {
    auto r = run("#else\n#endif\n#elif 1\n#if 1\n#else\n#else\n#elif 1\n#endif\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "line 1: Error: #else must be in an #if\n#else\n"
              "line 2: Error: #endif must be in an #if\n#endif\n"
              "line 3: Error: #elif must be in an #if\n#elif 1\n"
              "line 6: Error: #else may not follow #else\n#else\n"
              "line 7: Error: #elif may not follow #else\n#elif 1\n"
              "5 errors in preprocessor\n");
}

TEST(PreprocessorConditionals, OpenGroupAtTheEndOfInput) {
    auto r = run("#if 1\nx\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "line 3: Error: Inside #ifdef block at end of input, depth = 1\nx\n1 error in preprocessor\n");
}

TEST(PreprocessorConditionals, MissingArguments) {
    auto r = run("#ifdef\n#endif\n#if\n#endif\n#ifndef 12\n#endif\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "line 1: Error: #if, #ifdef, or #ifndef without an argument\n#ifdef\n"
              "line 3: Error: #if, #ifdef, or #ifndef without an argument\n#if\n"
              "line 5: Error: #if, #ifdef, or #ifndef without an argument\n#ifndef 12\n"
              "3 errors in preprocessor\n");
}

TEST(PreprocessorConditionals, ThirtyTwoOpenGroupsAreFatal) {
    std::string text;
    for (int i = 0; i < 31; ++i) text += "#if 1\n";
    for (int i = 0; i < 31; ++i) text += "#endif\n";
    auto ok = run(text);
    EXPECT_EQ(ok.status, 0);
    EXPECT_FALSE(ok.fatal);
    std::string deep;
    for (int i = 0; i < 31; ++i) deep += "#if 1\n";
    deep += "#ifdef X\n";
    auto r = run(deep);
    EXPECT_TRUE(r.fatal);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "line 32: Fatal error: Too many nested #ifdef statements\n#ifdef X\n");
    // in a skipped group as well
    auto skipped = run("#if 0\n" + deep);
    EXPECT_TRUE(skipped.fatal);
}

TEST(PreprocessorConditionals, TextAfterADirectiveIsWarnedAbout) {
    auto r = run("#ifdef A B\n#endif junk\n#endif // a comment is no text\n");
    EXPECT_EQ(r.err,
              "line 1: Warning: Unexpected text in #control line ignored\n#ifdef A B\n"
              "line 2: Warning: Unexpected text in #control line ignored\n#endif junk\n"
              "line 3: Error: #endif must be in an #if\n#endif // a comment is no text\n"
              "1 error in preprocessor\n");
}

TEST(PreprocessorIf, Arithmetic) {
    const char* true_expressions[] = {
        "1 + 2 * 3 == 7", "(1 + 2) * 3 == 9", "-1 < 0", "~0 == -1", "!0", "!5 == 0", "7 / 2 == 3",
        "-7 / 2 == -3", "-7 % 3 == -1", "1 << 4 == 16", "-16 >> 2 == -4", "1 << 33 == 2", "0x1F == 31",
        "010 == 8", "10u == 10", "0xFFFFFFFF == -1", "4294967297 == 1", "2147483647 + 1 < 0",
        "1 ? 2 : 3 == 2", "(0 ? 2 : 3) == 3", "(1 ? 0 ? 5 : 6 : 7) == 6", "(0 ? 1 : 0 ? 2 : 3) == 3",
        "(1 && 0) == 0", "(0 || 2) == 1", "5 > 3 && 3 >= 3 && 2 <= 2 && 1 != 2", "(6 & 3) == 2",
        "(6 | 3) == 7", "(6 ^ 3) == 5", "'a' == 97", "'\\n' == 10", "'\\x41' == 65", "'\\101' == 65",
        "'\\'' == 39", "'\\q' == 'q'", "+3 == 3", "- -3 == 3", "1 == 1 == 1",
    };
    for (const char* e : true_expressions) {
        std::string err;
        EXPECT_TRUE(condition(e, &err)) << e;
        EXPECT_EQ(err, "") << e;
    }
    EXPECT_FALSE(condition("2 - 2"));
    EXPECT_FALSE(condition("1 > 2 || 3 < 1"));
}

TEST(PreprocessorIf, DefinedAndMacros) {
    std::string macros = "#define A 4\n#define B (A + 1)\n#define F(x) ((x) * 2)\n#define E\n";
    EXPECT_TRUE(condition("defined(A) && defined B && !defined(C)", nullptr, macros));
    // converted macros stand for their C bodies here
    EXPECT_TRUE(condition("A == 4 && B == 5 && F(B) == 10", nullptr, macros));
    EXPECT_TRUE(condition("UNDEFINED_NAME == 0", nullptr, macros));
    EXPECT_TRUE(condition("defined E", nullptr, macros));
    std::string err;
    EXPECT_TRUE(condition("defined(", &err));
    EXPECT_NE(err.find("Error: Bad #if ... defined() syntax\n"), std::string::npos) << err;
    EXPECT_TRUE(condition("defined(A", &err, macros));
    EXPECT_NE(err.find("Error: Bad #if ... defined() syntax\n"), std::string::npos) << err;
}

TEST(PreprocessorIf, DivisionByZeroWarnsOutsideSkippedOperands) {
    std::string err;
    EXPECT_FALSE(condition("1 / 0", &err));
    EXPECT_EQ(err, "line 1: Warning: divide by zero in #if, zero result assumed\n#if 1 / 0\n");
    EXPECT_FALSE(condition("5 % 0", &err));
    EXPECT_EQ(err, "line 1: Warning: mod by zero in #if, zero result assumed\n#if 5 % 0\n");
    EXPECT_FALSE(condition("0 && 1 / 0", &err));
    EXPECT_EQ(err, "");
    EXPECT_TRUE(condition("1 || 1 / 0", &err));
    EXPECT_EQ(err, "");
    EXPECT_TRUE(condition("1 ? 1 : 1 / 0", &err));
    EXPECT_EQ(err, "");
    EXPECT_TRUE(condition("0 ? 1 / 0 : 1", &err));
    EXPECT_EQ(err, "");
    EXPECT_TRUE(condition("(0 && (1 / 0)) || 1", &err));
    EXPECT_EQ(err, "");
    EXPECT_FALSE(condition("0 && 'ab'", &err));
    EXPECT_EQ(err, "");
    EXPECT_TRUE(condition("'ab' == 0x6162", &err));
    EXPECT_EQ(err, "line 1: Warning: multi-byte constant 'b' isn't portable\n#if 'ab' == 0x6162\n");
    // in skipping mode an illegal character ends the evaluation quietly
    EXPECT_TRUE(condition("0 && ,", &err));
    EXPECT_EQ(err, "");
}

TEST(PreprocessorIf, Sizeof) {
    EXPECT_TRUE(condition("sizeof(long) == 4 && sizeof(char *) == 8 && sizeof(short int) == 2"));
    EXPECT_TRUE(condition("sizeof(unsigned char) == 1 && sizeof(double) == 8 && sizeof(int (*)()) == 8"));
    EXPECT_TRUE(condition("sizeof(float) == 4 && sizeof(signed int) == 4 && sizeof(long *) == 8"));
    struct {
        const char* expr;
        const char* message;
    } bad[] = {
        {"sizeof(unsigned) == 4", "#if sizeof() error, no type specified"},
        {"sizeof(signed unsigned) == 4", "#if ... sizeof: illegal type combination"},
        {"sizeof(short long) == 4", "#if ... sizeof: illegal type combination"},
        {"sizeof(char int) == 4", "#if ... sizeof: illegal type combination"},
        {"sizeof(thing) == 4", "#if sizeof, unknown type \"thing\""},
        {"sizeof long == 4", "#if ... sizeof() syntax error"},
        {"sizeof(int", "#if ... sizeof() syntax error"},
        {"sizeof(int (*])", "#if ... sizeof() syntax error"},
    };
    for (const auto& b : bad) {
        std::string err;
        // every error makes the condition true
        EXPECT_TRUE(condition(b.expr, &err)) << b.expr;
        EXPECT_EQ(err, std::string("line 1: Error: ") + b.message + "\n#if " + b.expr + "\n1 error in preprocessor\n");
    }
}

TEST(PreprocessorIf, ErrorsMakeTheConditionTrue) {
    struct {
        const char* expr;
        const char* message;
    } bad[] = {
        {"1L", "misplaced constant in #if"},
        {"1 2", "misplaced constant in #if"},
        {"1 = 1", "= not allowed in #if"},
        {"\"s\"", "Can't use a string in an #if"},
        {"1 , 0", "illegal character ',' in #if"},
        {"1.5", "illegal character '.' in #if"},
        {"\xC8", "illegal character (200 decimal) in #if"},
        {"1 \\ 0", "Unexpected \\ in #if"},
        {"(1", "unbalanced paren's, op is \"end of expression\""},
        {"1)", "unbalanced paren's, op is \")\""},
        {"1 +", "Operator end of expression in incorrect context"},
        {"* 1", "Operator * in incorrect context"},
        {"1 ~", "Operator ~ in incorrect context"},
        {"1 (", "Operator ( in incorrect context"},
        {"1 : 0", "Misplaced '?' or ':', previous operator is end of expression"},
        {"1 ? 0", "Misplaced '?' or ':', previous operator is ?"},
        {"(1 ? 0) : 0", "Misplaced '?' or ':', previous operator is ?"},
    };
    for (const auto& b : bad) {
        std::string err;
        EXPECT_TRUE(condition(b.expr, &err)) << b.expr;
        EXPECT_EQ(err, std::string("line 1: Error: ") + b.message + "\n#if " + b.expr + "\n1 error in preprocessor\n")
            << b.expr;
    }
}

TEST(PreprocessorIf, StackLimits) {
    std::string parens(128, '(');
    std::string ok = std::string(126, '(') + "1" + std::string(126, ')');
    std::string err;
    EXPECT_TRUE(condition(ok, &err));
    EXPECT_EQ(err, "");
    EXPECT_TRUE(condition(parens + "1", &err));
    EXPECT_NE(err.find("Error: expression stack overflow at op \"(\"\n"), std::string::npos) << err;
    // right-nested conditionals keep two values per open ":"
    std::string chain;
    for (int i = 0; i < 64; ++i) chain += "1 ? 1 : ";
    chain += "1";
    EXPECT_TRUE(condition(chain, &err));
    EXPECT_NE(err.find("Error: #if value stack overflow\n"), std::string::npos) << err;
}

TEST(PreprocessorIf, ContinuedExpressionAndComments) {
    EXPECT_TRUE(condition("1 + /* two */ 2 == \\\n 3"));
    EXPECT_FALSE(condition("0 // comment"));
}

TEST(PreprocessorDirectives, PragmaAssertUndefAndUnknown) {
    auto r = run("#pragma once\nx;\n#assert 1 == 2\n#assert 2 == 2\n#define A 1\n#undef A\n#ifdef A\nno\n#endif\n"
                 "#undef 9\n#foo bar\n#\n");
    EXPECT_EQ(r.status, 1);
    // a pragma line is dropped
    EXPECT_EQ(r.out.find(kStart + "#line 2\nx;\n"), 0u) << r.out;
    EXPECT_EQ(r.err,
              "line 3: Error: Preprocessor assertion failure\n#assert 1 == 2\n"
              "line 10: Error: Illegal #undef argument\n#undef 9\n"
              "line 11: Error: Illegal # command \"foo\"\n#foo bar\n"
              "line 11: Warning: Unexpected text in #control line ignored\n#foo bar\n"
              "3 errors in preprocessor\n");
}

TEST(PreprocessorDirectives, DirectiveAtTheEndOfInputWithoutNewline) {
    for (const char* text : {"#define X 1", "#if 1", "#include", "#include \"x", "#undef", "#line 5 \"a", "#",
                             "#pragma", "#if 1 +", "#define F(a", "#if 'a"}) {
        auto r = run(text);
        EXPECT_FALSE(r.fatal) << text;
        EXPECT_EQ(r.out.find('\0'), std::string::npos);
    }
}
