#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <string>

#include "frontend/token_text.h"
#include "frontend_test_support.h"

using frontend_test::scan;
using frontend_test::Token;

namespace {

// The text of the single token of `source` with code `code`.
std::string only_text(const std::string& source, int code) {
    std::vector<Token> t = scan(source);
    EXPECT_EQ(t.size(), 1u) << source;
    if (t.size() != 1) return "<" + std::to_string(t.size()) + " tokens>";
    EXPECT_EQ(t[0].code, code) << source;
    return t[0].text;
}

std::vector<int> codes(const std::string& source) {
    std::vector<int> out;
    for (const Token& t : scan(source)) out.push_back(t.code);
    return out;
}

}  // namespace

TEST(ScannerConstants, IntegersBecomeUpperCaseHexadecimal) {
    EXPECT_EQ(only_text("017", CONSTANT), "0x11");  // a leading zero is not octal
    EXPECT_EQ(only_text("0x1fu", CONSTANT), "0x1F");
    EXPECT_EQ(only_text("10", CONSTANT), "0xA");
    EXPECT_EQ(only_text("0", CONSTANT), "0x0");
    EXPECT_EQ(only_text("000", CONSTANT), "0x0");
    EXPECT_EQ(only_text("09", CONSTANT), "0x9");
    EXPECT_EQ(only_text("0X00aBcUL", CONSTANT), "0x00ABC");  // hex digits kept as written
    EXPECT_EQ(only_text("4294967296ul", CONSTANT), "0x100000000");
    EXPECT_EQ(only_text("18446744073709551615", CONSTANT), "0xFFFFFFFFFFFFFFFF");
    // Values beyond 64 bits wrap around as unsigned 64-bit arithmetic does.
    EXPECT_EQ(only_text("18446744073709551617", CONSTANT), "0x1");
    EXPECT_EQ(only_text("&__V12", CONSTANT), "&__V12");
}

TEST(ScannerConstants, NormalisersCutAtTheFirstForeignCharacter) {
    EXPECT_EQ(normalise_hex_constant("0x10a@data", 10), "0x10A");
    EXPECT_EQ(normalise_decimal_constant("256@io", 6), "0x100");
    EXPECT_EQ(normalise_decimal_constant("0000000000000000000000012", 25), "0xC");
}

TEST(ScannerConstants, FloatsAndCharacterConstantsKeepTheirText) {
    EXPECT_EQ(only_text("1e5f", CONSTANT), "1e5");  // one trailing suffix dropped
    EXPECT_EQ(only_text("1E+5L", CONSTANT), "1E+5");
    EXPECT_EQ(only_text("3.14", CONSTANT), "3.14");
    EXPECT_EQ(only_text(".5", CONSTANT), ".5");
    EXPECT_EQ(only_text("1.5e-3f", CONSTANT), "1.5e-3f");
    EXPECT_EQ(only_text("5.", CONSTANT), "5.");
    EXPECT_EQ(only_text("1.e5", CONSTANT), "1.e5");
    EXPECT_EQ(only_text("'a'", CONSTANT), "'a'");
    EXPECT_EQ(only_text("'\\n'", CONSTANT), "'\\n'");
    EXPECT_EQ(only_text("'\\''", CONSTANT), "'\\''");
    std::vector<Token> t = scan("L'a'");
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].code, IDENTIFIER);
    EXPECT_EQ(t[0].text, "L");
    EXPECT_EQ(t[1].text, "'a'");
}

TEST(ScannerStrings, EscapedQuotesDoubleAndOtherEscapesStay) {
    EXPECT_EQ(only_text("\"a\\\"b\"", STRING), "\"a\"\"b\"");
    // The pair before the closing quote is an escaped backslash.
    EXPECT_EQ(only_text("\"C:\\\\dir\\\\\"", STRING), "\"C:\\\\dir\\\\\"");
    EXPECT_EQ(only_text("\"\\\\\\\"\"", STRING), "\"\\\\\"\"\"");
    EXPECT_EQ(only_text("\"tab\\there\\n\"", STRING), "\"tab\\there\\n\"");
    EXPECT_EQ(only_text("\"\"", STRING), "\"\"");
    // Adjacent literals stay separate tokens.
    EXPECT_EQ(codes("\"a\" \"b\""), (std::vector<int>{STRING, STRING}));
}

TEST(ScannerStrings, NewlinesInsideLiterals) {
    // A backslash-newline is removed, a bare newline becomes the escape "\n"
    // (the literal stays on one line of the script); both are counted.
    std::vector<Token> t = scan("\"ab\\\ncd\" x\n\"ef\ngh\" y");
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].text, "\"abcd\"");
    EXPECT_EQ(t[0].line, 1);
    EXPECT_EQ(t[1].line, 2);
    EXPECT_EQ(t[2].text, "\"ef\\ngh\"");
    EXPECT_EQ(t[2].line, 3);
    EXPECT_EQ(t[3].line, 4);
}

TEST(ScannerStrings, UnterminatedQuotesAreDroppedAndTheRestScanned) {
    EXPECT_EQ(codes("\"abc"), (std::vector<int>{IDENTIFIER}));
    EXPECT_EQ(codes("'ab\nc'd'"), (std::vector<int>{IDENTIFIER, IDENTIFIER, CONSTANT}));
    // After an unterminated literal, a later literal on a new line still scans.
    std::vector<Token> t = scan("'\\' x\n'y'");
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].text, "x");
    EXPECT_EQ(t[1].text, "'y'");
    // Escaped quotes after an unterminated string are not literals either.
    EXPECT_EQ(codes("\"a \\\" b"), (std::vector<int>{IDENTIFIER, IDENTIFIER}));
}

TEST(ScannerStrings, NulBytesAreDroppedFromTexts) {
    EXPECT_EQ(only_text(std::string("\"a\0b\"", 5), STRING), "\"ab\"");
    EXPECT_EQ(codes(std::string("a\0b", 3)), (std::vector<int>{IDENTIFIER, IDENTIFIER}));
}

TEST(ScannerMemoryAccess, CastForms) {
    EXPECT_EQ(only_text("*(unsigned char *)0x100@prog", AT_PROG_U8), "0x100");
    EXPECT_EQ(only_text("*(unsigned char *)0x100@PROG", AT_PROG_U8), "0x100");
    EXPECT_EQ(only_text("*(unsigned short*)0x10a@data", AT_DATA_U16), "0x10A");
    EXPECT_EQ(only_text("*(int*)256@io", AT_IO_S32), "0x100");
    EXPECT_EQ(only_text("*( signed  long\tlong * )0x8@Data", AT_DATA_S64), "0x8");
    EXPECT_EQ(only_text("*(unsigned long long*)1@prog", AT_PROG_U64), "0x1");
    EXPECT_EQ(only_text("*(long*)0X1f@io", AT_IO_S32), "0x1F");
    EXPECT_EQ(only_text("*(char*)7@data", AT_DATA_S8), "0x7");
    EXPECT_EQ(only_text("*(unsigned int*)0@io", AT_IO_U32), "0x0");
}

TEST(ScannerMemoryAccess, FormsThatAreNotOneToken) {
    // A blank after the closing parenthesis.
    EXPECT_EQ(codes("*(unsigned char *) 0x100@prog"),
              (std::vector<int>{'*', '(', UNSIGNED, CHAR, '*', ')', CONSTANT, IDENTIFIER}));
    // short int is not one of the types.
    EXPECT_EQ(codes("*(short int*)0x10@data"),
              (std::vector<int>{'*', '(', SHORT, INT, '*', ')', CONSTANT, IDENTIFIER}));
    // A blank around the @.
    EXPECT_EQ(codes("*0x20 @io"), (std::vector<int>{'*', CONSTANT, IDENTIFIER}));
}

TEST(ScannerMemoryAccess, UncastAndConverterVariableForms) {
    EXPECT_EQ(only_text("*0x20@io", AT_IO_S8), "0x20");
    EXPECT_EQ(only_text("*12@prog", AT_PROG_S8), "0xC");
    EXPECT_EQ(only_text("*&__V3@DATA", AT_DATA_S32), "&__V3");
    // In the other spaces a converted macro is an address as a literal is.
    EXPECT_EQ(only_text("*&__PSRCR@io", AT_IO_S8), "&__PSRCR");
    EXPECT_EQ(only_text("*&__P@Prog", AT_PROG_S8), "&__P");
}

TEST(ScannerMemoryAccess, ConvertedMacrosAndSumsAsCastAddresses) {
    EXPECT_EQ(only_text("*(short *)&__PSRCR@IO", AT_IO_S16), "&__PSRCR");
    EXPECT_EQ(only_text("*(unsigned char*)&__R1@data", AT_DATA_U8), "&__R1");
    // blanks go, literals are normalised, macros stay as written
    EXPECT_EQ(only_text("*(int *)( &__BASE + 16 | 0x1fu )@prog", AT_PROG_S32), "(&__BASE+0x10|0x1F)");
    // no blank before the @, and no other operators or nesting
    EXPECT_EQ(codes("*(short *)&__A @io"), (std::vector<int>{'*', '(', SHORT, '*', ')', CONSTANT, IDENTIFIER}));
    EXPECT_EQ(codes("*(short *)(&__A*2)@io")[0], '*');
    EXPECT_EQ(codes("*(short *)((&__A))@io")[0], '*');
}

TEST(ScannerMarkerLines, ConvertedCommentsAndMacros) {
    EXPECT_EQ(only_text("// -- some text", COMMENT), "// -- some text");
    EXPECT_EQ(codes("x // -- after code\n"), (std::vector<int>{IDENTIFIER, COMMENT}));
    EXPECT_TRUE(scan("// --   \n").empty());
    EXPECT_TRUE(scan("// -- /*\n").empty());
    EXPECT_EQ(only_text("// -- /* more", COMMENT), "// -- /* more");
    EXPECT_EQ(only_text("// -- text\r\n", COMMENT), "// -- text");
    EXPECT_EQ(only_text("// #dtsdefine processed\n", MACRO), "// #dtsdefine processed");
    // A plain C++ comment is not a marker line.
    EXPECT_EQ(codes("// x"), (std::vector<int>{'/', '/', IDENTIFIER}));
}

TEST(ScannerMarkerLines, QuernaPassThroughLines) {
    EXPECT_EQ(only_text("  //! QUERNA (B::Step(1))  \n", QUERNA_CALL), "B::Step(1)");
    EXPECT_EQ(only_text("//!QUERNA(Go)\r\n", QUERNA_CALL), "Go");
    // Not at the start of the line, or text after the closing parenthesis.
    EXPECT_NE(codes("x; //! QUERNA(Go)\n")[0], QUERNA_CALL);
    for (int code : codes("x; //! QUERNA(Go)\n")) EXPECT_NE(code, QUERNA_CALL);
    for (int code : codes("//! QUERNA(Go) x\n")) EXPECT_NE(code, QUERNA_CALL);
    // NUL bytes inside the line (they are dropped from the text, and used to
    // hide the closing parenthesis from the scan for it).
    const char with_nul[] = "//! QUERNA(B::G\0\0o)\n";
    EXPECT_EQ(only_text(std::string(with_nul, sizeof with_nul - 1), QUERNA_CALL), "B::Go");
}

TEST(ScannerMarkerLines, LineMarkersSetTheLineCounter) {
    std::vector<Token> t = scan("a\n#line 40 \"f.gel\"\nb\nc");
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].line, 1);
    EXPECT_EQ(t[1].line, 40);
    EXPECT_EQ(t[2].line, 41);
    // Not at the start of a line: '#' is dropped and the rest scanned.
    t = scan("x #line 7\ny");
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[3].line, 2);
    // A huge number saturates instead of overflowing.
    t = scan("#line 99999999999999999999\nz\nw");
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].line, INT_MAX);
    EXPECT_EQ(t[1].line, INT_MAX);
}

TEST(ScannerMarkerLines, UnexpectedCharactersOfAMarkerGoToStandardOutput) {
    test_support::Capture out(stdout);
    std::vector<Token> t = scan("#line x12 \"f\"\nv");
    std::string echoed = out.text();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].line, 12);
    EXPECT_EQ(echoed, "x");
}

TEST(ScannerWords, KeywordsIdentifiersOperatorsAndDroppedCharacters) {
    EXPECT_EQ(codes("switch case default continue"),
              (std::vector<int>{IDENTIFIER, IDENTIFIER, IDENTIFIER, IDENTIFIER}));
    EXPECT_EQ(codes("if else while dialog hotmenu sizeof"),
              (std::vector<int>{IF, ELSE, WHILE, DIALOG, HOTMENU, SIZEOF}));
    EXPECT_EQ(codes("iff _if"), (std::vector<int>{IDENTIFIER, IDENTIFIER}));
    EXPECT_EQ(codes(">>= <<= >> ... -> && || != |="),
              (std::vector<int>{RIGHT_ASSIGN, LEFT_ASSIGN, RIGHT_OP, ELLIPSIS, PTR_OP, AND_OP, OR_OP,
                                NE_OP, OR_ASSIGN}));
    EXPECT_EQ(codes("<% %> <: :>"), (std::vector<int>{'{', '}', '[', ']'}));
    EXPECT_EQ(codes("a @ # $ ` \\ \r b"), (std::vector<int>{IDENTIFIER, IDENTIFIER}));
    std::vector<Token> t = scan("a\r\nb");
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[1].line, 2);
}

TEST(ScannerLimits, LongTokensAndPathologicalQuotesStayLinear) {
    std::string identifier(100000, 'q');
    EXPECT_EQ(only_text(identifier, IDENTIFIER).size(), 100000u);
    std::string literal = "\"" + std::string(1 << 20, 's') + "\"";
    EXPECT_EQ(only_text(literal, STRING).size(), literal.size());

    // Each quote would otherwise start a scan to the end of the line or of the
    // input: a quadratic number of steps.
    auto started = std::chrono::steady_clock::now();
    std::string chars;
    for (int i = 0; i < 200000; ++i) chars += "'\\";
    std::string strings;
    for (int i = 0; i < 200000; ++i) strings += "\"\\";
    EXPECT_TRUE(scan(chars).empty());
    EXPECT_TRUE(scan(strings).empty());
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_LT(seconds, 5.0);
}

TEST(ScannerFailures, UnreadableInputEndsTheProcessWithStatusTwo) {
    // Reading a directory fails: the scanner's internal failure message and
    // exit status 2.
    EXPECT_EXIT(
        {
            frontend_test::start_run("");
            if (!std::freopen("/", "r", stdin)) std::exit(3);
            scanner_reset();
            gellex();
            std::exit(0);
        },
        ::testing::ExitedWithCode(2), "^input in flex scanner failed\n$");
}
