// Text lines, comments, literals, line markers and the layout of the output.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "preprocessor_test_run.h"

using pp_test::kHeader;
using pp_test::kStart;
using pp_test::run;

TEST(PreprocessorComments, BlockCommentBetweenStatementsFollowsTheLine) {
    auto r = run("a = 1; /* c */ b = 2;\nx;\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kHeader + "a = 1; b = 2;// --  c \n\n#line 2\nx;\n");
    EXPECT_EQ(r.err, "");
}

TEST(PreprocessorComments, LineCommentAloneComesBeforeItsEmptyLine) {
    auto r = run("// hello\nx;\n");
    EXPECT_EQ(r.out, kStart + "// --  hello\n\n#line 2\nx;\n");
}

TEST(PreprocessorComments, MultiLineBlockCommentBecomesOneLinePerLine) {
    auto r = run("/* a\n   b */\nx;\n");
    EXPECT_EQ(r.out, kStart + "// --  a\n// --    b \n\n#line 3\nx;\n");
}

TEST(PreprocessorComments, SeveralCommentsOnOneLineAndOneClosingIt) {
    auto r = run("a /* one */ b // two\nx = 1; /* end */\ny;\n");
    EXPECT_EQ(r.out, kHeader + "a b // --  one \n// --  two\n\n#line 2\nx = 1; // --  end \n\n#line 3\ny;\n");
}

TEST(PreprocessorComments, CommentInsideALineLeavesOneBlank) {
    // also where the reader steps back over it, after a name or a number
    auto r = run("a/**/b = 1/* c */2;\n#define X/**/5\n#if defined/**/X\nX;\n#endif\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("a b = 1 2;// -- \n// --  c \n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("// #dtsdefina LOCAL &__X\n// #dtsdefinb &__X=5.\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n&__X;\n"), std::string::npos) << r.out;
}

TEST(PreprocessorComments, CommentDelimitersInsideLiteralsAreText) {
    auto r = run("s = \"a /* no */ b // c\"; c = '/';\n");
    EXPECT_EQ(r.out, kHeader + "s = \"a /* no */ b // c\"; c = '/';\n");
}

TEST(PreprocessorComments, UnterminatedBlockCommentIsAnError) {
    auto r = run("x;\n/* open\nstill\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("line 4: Error: EOF in comment\n"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("1 error in preprocessor\n"), std::string::npos);
}

TEST(PreprocessorComments, PassThroughLineIsWrittenAsItStands) {
    auto r = run("x;\n   //! QUERNA(PRINT \"a /* b */\")\ny; //! not at the start\n");
    EXPECT_EQ(r.out, kHeader + "x;\n//! QUERNA(PRINT \"a /* b */\")\ny; // -- ! not at the start\n\n");
    // a //! line that is not written in QUERNA is a comment
    // nor is one whose own text does not pair its parentheses (strings aside)
    r = run("//! QUERNA(PRINT \"(\" B::B(0)\")\n");
    EXPECT_NE(r.out.find("//! QUERNA(PRINT \"(\" B::B(0)\")\n"), std::string::npos) << r.out;
    for (const char* line : {"//! note", "//! QUERNA", "//!QUERNA(x) y", "//! querna(x)", "//! QUERNA(B::B()",
                             "//! QUERNA(B::B))"}) {
        r = run(std::string(line) + "\nx;\n");
        EXPECT_EQ(r.out, kStart + "// -- " + (line + 2) + "\n\n#line 2\nx;\n") << line;
    }
}

TEST(PreprocessorLayout, BlankLinesAreWrittenAndSkippedLinesCaughtUp) {
    // up to four missing lines are written as newlines, more need a marker;
    // the end of a skipped group always has one
    auto r = run("a;\n\n#undef A\n#undef B\n#undef C\nb;\n#undef A\n#undef B\n#undef C\n#undef D\n#undef E\nc;\n"
                 "#if 0\nx\n#endif\nd;\n");
    EXPECT_EQ(r.out, kHeader + "a;\n\n\n\n\nb;\n#line 12\nc;\n#line 16\nd;\n");
}

TEST(PreprocessorLayout, RunsOfBlanksBecomeOneAndLeadingBlanksGo) {
    auto r = run("   a  =\t\tb\f+ c  ;  \n");
    EXPECT_EQ(r.out, kHeader + "a = b + c ; \n");
}

TEST(PreprocessorLayout, ContinuationJoinsLinesAndMarksTheNext) {
    auto r = run("a = 1 + \\\n  2;\nb;\n");
    EXPECT_EQ(r.out, kHeader + "a = 1 + 2;\n#line 3\nb;\n");
}

TEST(PreprocessorLayout, DoubleQuotedLiteralEndsAtTheEndOfItsLine) {
    auto r = run("s = \"abc\n  x;\ny;\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kHeader + "s = \"abc\n x;\ny;\n");
}

TEST(PreprocessorLayout, UnterminatedCharacterLiteralIsAnError) {
    auto r = run("c = 'abc");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "line 1: Error: Unterminated string\nc = 'abc\n1 error in preprocessor\n");
}

TEST(PreprocessorLayout, NumbersAreCopiedAndBadOctalIsWarned) {
    auto r = run("a = 0x1FUL + 1.5e-3f + .5 + 017 + 10L;\nb = 019\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kHeader + "a = 0x1FUL + 1.5e-3f + .5 + 017 + 10L;\nb = 019\n");
    EXPECT_EQ(r.err, "line 2: Warning: Illegal digit in octal number\nb = 019\n");
    // fractions and exponents are not octal, whatever digits they begin with
    r = run("a = .08 + 0.09 + 08.5 + 09e1 + 1.e08;\n");
    EXPECT_EQ(r.out, kHeader + "a = .08 + 0.09 + 08.5 + 09e1 + 1.e08;\n");
    EXPECT_EQ(r.err, "");
}

TEST(PreprocessorLayout, LastLineWithoutNewlineIsEnded) {
    auto r = run("x;\ny;");
    EXPECT_EQ(r.out, kHeader + "x;\ny;\n");
}

TEST(PreprocessorLayout, SpecialBytesAreNeverWritten) {
    auto r = run(std::string("a\x1F b\x1D c\x1E;\n"));
    EXPECT_EQ(r.out, kHeader + "a b c;\n");
}

TEST(PreprocessorLayout, NulBytesAreDropped) {
    auto r = run(std::string("a\0b;\nc;\n", 9));
    EXPECT_EQ(r.out, kHeader + "ab;\nc;\n");
}

TEST(PreprocessorLayout, CrLfInputGivesTheSameOutputAsLf) {
    std::string lf =
        "/* block\n   comment */\n#define N 5\n#define F(a) \\\n  ((a) + N)\n"
        "x = F(1); // note\ns = \"q\\\"\";\n#if N\nyes;\n#endif\n";
    std::string crlf;
    for (char c : lf) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    auto a = run(lf);
    auto b = run(crlf);
    EXPECT_EQ(a.status, 0);
    EXPECT_EQ(a.out, b.out);
    EXPECT_EQ(a.err, b.err);
    EXPECT_EQ(a.macro_file, b.macro_file);
    EXPECT_EQ(a.out.find('\r'), std::string::npos);
}

TEST(PreprocessorLayout, PredefinedMacros) {
    auto r = run("a = __LINE__;\nb = __FILE__;\nc = __DATE__;\n");
    ASSERT_EQ(r.status, 0);
    std::string expect = kHeader + "a = 1;\nb = \"\";\nc = \"";
    ASSERT_EQ(r.out.substr(0, expect.size()), expect);
    // ctime text: 24 characters, then the closing quote
    EXPECT_EQ(r.out.substr(expect.size() + 24), "\";\n");
}

TEST(PreprocessorLayout, LineDirectiveRenumbersAndRenames) {
    auto r = run("#line 100 \"foo.gel\"\nx = __LINE__;\ny = __FILE__;\n# 7\nz;\n#pragma bad here\n");
    EXPECT_EQ(r.out, kStart + "#line 100 \"foo.gel\"\nx = 100;\ny = \"foo.gel\";\n#line 7\nz;\n");
}

TEST(PreprocessorLayout, MessagesNameTheLineAfterALineDirective) {
    auto r = run("#line 40\n#bogus\n");
    EXPECT_EQ(r.err, "line 40: Error: Illegal # command \"bogus\"\n#bogus\n1 error in preprocessor\n");
}

TEST(PreprocessorLayout, VeryLongLineIsCopiedWhole) {
    std::string line;
    for (int i = 0; i < 200000; ++i) line += "ab+ ";
    line += "c;\n";
    auto r = run(line);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kHeader + line);
}

TEST(PreprocessorLayout, LongIdentifierIsKeptWhole) {
    std::string name(300, 'n');
    auto r = run(name + " = 1;\n");
    EXPECT_EQ(r.out, kHeader + name + " = 1;\n");
}

class PreprocessorIncludes : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("pp_inc_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_ / "sub");
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string write(const std::string& name, const std::string& text) {
        std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    std::filesystem::path dir_;
};

TEST_F(PreprocessorIncludes, IncludedFileIsMarkedAndTheParentResumes) {
    std::string inc = write("inc.h", "y;\n");
    auto r = run("#include \"" + inc + "\"\nx;\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kStart + "#line 1 \"" + inc + "\"\ny;\n#line 2 \"\"\nx;\n");
}

TEST_F(PreprocessorIncludes, QuotedNameIsTriedBesideTheIncludingFile) {
    std::string b = write("sub/b.h", "bee;\n");
    std::string a = write("sub/a.h", "#include \"b.h\"\n");
    auto r = run("#include \"" + a + "\"\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("#line 1 \"" + b + "\"\nbee;\n"), std::string::npos) << r.out;
}

TEST_F(PreprocessorIncludes, MessagesInAnIncludedFileNameTheChain) {
    std::string inc = write("bad.h", "ok;\n#bogus\n");
    auto r = run("a;\n#include \"" + inc + "\"\n");
    EXPECT_EQ(r.err, "line 2: Error: Illegal # command \"bogus\"\n#bogus\nfrom file , line 2:\n#include \"" + inc +
                         "\"\n1 error in preprocessor\n");
}

TEST_F(PreprocessorIncludes, MissingIncludeIsFatal) {
    auto r = run("#include \"no_such_file_here.h\"\n");
    EXPECT_TRUE(r.fatal);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "line 1: Fatal error: Cannot open include file \"no_such_file_here.h\"\n#include \"no_such_file_here.h\"\n");
}

// A directory, a device that never ends and a FIFO that nobody writes are no
// include files: each is fatal at once instead of blocking the run.
TEST_F(PreprocessorIncludes, OnlyARegularFileIsAnIncludeFile) {
    std::string fifo = (dir_ / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& name : {dir_.string(), std::string("/dev/zero"), fifo}) {
        auto r = run("#include \"" + name + "\"\n");
        EXPECT_TRUE(r.fatal) << name;
        EXPECT_EQ(r.err, "line 1: Fatal error: Cannot open include file \"" + name + "\"\n#include \"" + name + "\"\n");
    }
}

TEST_F(PreprocessorIncludes, SyntaxErrors) {
    auto r = run("#include nothing\n#include \"open\n#include\nx;\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "line 1: Error: #include syntax error\n#include nothing\n"
              "line 2: Error: #include syntax error\n#include \"open\n"
              "line 3: Error: #include syntax error\n#include\n"
              "3 errors in preprocessor\n");
    EXPECT_EQ(r.out, kStart + "#line 4\nx;\n");
}

TEST_F(PreprocessorIncludes, MacroNamesTheFile) {
    std::string inc = write("m.h", "m;\n");
    auto r = run("#define HDR \"" + inc + "\"\n#include HDR\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\nm;\n"), std::string::npos) << r.out;
}
