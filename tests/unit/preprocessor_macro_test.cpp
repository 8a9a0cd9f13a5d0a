// #define: the conversion kinds and their marker lines, the GEL functions
// of the macro file, expansion, and the limits of definitions and calls.
#include <gtest/gtest.h>

#include <chrono>

#include "preprocessor/pp_internal.h"
#include "preprocessor/preprocessor.h"
#include "preprocessor_test_run.h"

using pp_test::kHeader;
using pp_test::kStart;
using pp_test::run;

TEST(PreprocessorConstants, DecimalConstantBecomesAVariable) {
    auto r = run("#define N 5\nx = N;\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kStart + "#line 1\n\n// #dtsdefina LOCAL &__N\n// #dtsdefinb &__N=5.\n#line 2\nx = &__N;\n");
    EXPECT_EQ(macro_conversion_kind("N"), 1);
    EXPECT_EQ(macro_conversion_kind("UNDEFINED"), 0);
    EXPECT_EQ(r.macro_file, "");
}

TEST(PreprocessorConstants, DecimalFramesAndSigns) {
    auto r = run("#define A (5)\n#define B ((-12))\n");
    EXPECT_NE(r.out.find("// #dtsdefinb &__A=(5.)\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("// #dtsdefinb &__B=((-12.))\n"), std::string::npos) << r.out;
    EXPECT_EQ(macro_conversion_kind("B"), 1);
}

TEST(PreprocessorConstants, HexadecimalConstantsLoseTheirSuffix) {
    auto r = run("#define H 0x1000UL\n#define P (0X1f)\n#define Q 0FFh\n");
    EXPECT_EQ(r.out, kStart +
                         "#line 1\n\n// #dtsdefina LOCAL &__H\n// #dtsdefinb &__H=0x1000\n"
                         "#line 2\n\n// #dtsdefina LOCAL &__P\n// #dtsdefinb &__P=(0X1f)\n"
                         "#line 3\n\n// #dtsdefina LOCAL &__Q\n// #dtsdefinb &__Q=0FFh\n");
    EXPECT_EQ(macro_conversion_kind("H"), 2);
    EXPECT_EQ(macro_conversion_kind("Q"), 2);
}

TEST(PreprocessorConstants, ExpressionsOfConstantsAreKindFour) {
    auto r = run("#define N 5\n#define S (N + 02 + 0x10L)\n#define T  7\n#define C (unsigned int)(N << 2)\n");
    EXPECT_NE(r.out.find("// #dtsdefina LOCAL &__S\n// #dtsdefinb &__S=(&__N+02.+0x10)\n"), std::string::npos) << r.out;
    // more than one blank before the body: an expression, not a plain constant
    EXPECT_NE(r.out.find("\n// #dtsdefina LOCAL &__T\n// #dtsdefinb &__T=7.\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("// #dtsdefinb &__C=(unsigned int)(&__N<<2.)\n"), std::string::npos) << r.out;
    EXPECT_EQ(macro_conversion_kind("S"), 4);
    EXPECT_EQ(macro_conversion_kind("T"), 4);
    EXPECT_EQ(macro_conversion_kind("C"), 4);
}

TEST(PreprocessorConstants, ScriptVariablesMakeKindFive) {
    auto r = run("#define V (count + 1)\n#define W (V - 2)\ny = W;\n");
    EXPECT_NE(r.out.find("// #dtsdefina LOCAL &__V\n// #dtsdefinb &__V=\"(\\count+1)\"\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("// #dtsdefinb &__W=\"(&__V-2)\"\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\ny = &__W;\n"), std::string::npos);
    EXPECT_EQ(macro_conversion_kind("W"), 5);
}

TEST(PreprocessorConstants, UnconvertibleBodiesAreExpanded) {
    auto r = run("#define REG *(unsigned int*)(0x1000 + 4)\n#define SCALE (x * 10)\n#define EMPTY\n#define TYPE unsigned int\n"
                 "REG = SCALE EMPTY; TYPE t;\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("#line 1\n// -- CONVERTER INFO: REG expanded\n// #dtsdefine processed\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\n*(unsigned int*)(0x1000 + 4.) = (x * 10.) ; unsigned int t;\n"), std::string::npos) << r.out;
    for (const char* name : {"REG", "SCALE", "EMPTY", "TYPE"}) EXPECT_EQ(macro_conversion_kind(name), 0) << name;

    // parentheses that only the text around a use pairs up
    r = run("#define OPEN (1 + 2\n#define SHUT 1)\n#define TURN 1)+(2\ny = OPEN) + (SHUT;\n");
    EXPECT_NE(r.out.find("\ny = (1. + 2.) + (1.);\n"), std::string::npos) << r.out;
    for (const char* name : {"OPEN", "SHUT", "TURN"}) EXPECT_EQ(macro_conversion_kind(name), 0) << name;
}

TEST(PreprocessorConstants, DecimalPointsSpareNamesFractionsAndLiterals) {
    EXPECT_EQ(add_decimal_points("R2 + 3*(4)-x[1],0x12+1.5+\"7\"+'8'+9"), "R2 + 3.*(4.)-x[1.],0x12+1.5+\"7\"+'8'+9.");
    EXPECT_EQ(add_decimal_points("&__A2+\\B3 10UL 1e5"), "&__A2+\\B3 10UL 1e5");
}

TEST(PreprocessorConstants, RedefinitionWarnings) {
    auto r = run("#define N 5\n#define N 5\n#define K *p\n#define K *p\n#define K *q\n");
    EXPECT_EQ(r.status, 0);
    // the stored text of a converted macro is its variable, so the same body differs
    EXPECT_EQ(r.err,
              "line 2: Warning: Redefining defined variable \"N\"\n#define N 5\n"
              "line 5: Warning: Redefining defined variable \"K\"\n#define K *q\n");
}

TEST(PreprocessorConstants, CommentsOnDefineLinesFollowTheMarkers) {
    auto r = run("#define N 5 /* five */\nx;\n");
    EXPECT_EQ(r.out, kStart + "#line 1\n\n// #dtsdefina LOCAL &__N\n// #dtsdefinb &__N=5.\n// --  five \n#line 2\nx;\n");
}

TEST(PreprocessorFunctions, ExpressionMacroBecomesAGelFunction) {
    auto r = run("#define ADD(a, b) ((a) + (b))\ny = ADD(1, x);\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kStart +
                         "#line 1\n// -- CONVERTER INFO: ADD converted to the QUERNA subroutine\n"
                         "// #dtsdefine processed\n#line 2\ny = __gp_ADD(1, x);\n");
    // the statement keeps the line of its #define
    EXPECT_EQ(r.macro_file, "#line 1 \"\"\n__gp_ADD(__a,__b){\n#line 1\n\treturn(((__a) + (__b)));\n}\n");
    EXPECT_EQ(macro_conversion_kind("ADD"), 3);
}

TEST(PreprocessorFunctions, StatementMacroGetsALinePerStatement) {
    auto r = run("\n#define SET(r, v) r = v; GEL_TextOut(\"set;\\n\")\nSET(a, 1);\n#define INIT x = 1; y = 2\nINIT;\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.macro_file,
              "#line 2 \"\"\n__gp_SET(__a,__b){\n#line 2\n\t__a = __b;\n#line 2\n\t GEL_TextOut(\"set;\\n\");\n}\n"
              "#line 4 \"\"\n__gp_INIT(){\n#line 4\n\tx = 1;\n#line 4\n\t y = 2;\n}\n");
    EXPECT_NE(r.out.find("\n__gp_SET(a, 1);\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n__gp_INIT();\n"), std::string::npos) << r.out;
    EXPECT_EQ(macro_conversion_kind("SET"), 6);
    EXPECT_EQ(macro_conversion_kind("INIT"), 6);
}

TEST(PreprocessorFunctions, CastsAreRemovedAndContinuationsJoined) {
    auto r = run("#define C(x) ((uint32_t)(x) + \\\n  ( unsigned  int )x + (uint8_t )x + (int)x)\nC(1);\n");
    EXPECT_EQ(r.macro_file, "#line 1 \"\"\n__gp_C(__a){\n#line 1\n\treturn(((__a) +    __a + __a + (int)__a));\n}\n");
    // the continuation line is counted: the call is on output line 3
    EXPECT_NE(r.out.find("#line 1\n// -- CONVERTER INFO: C converted to the QUERNA subroutine\n"
                         "// #dtsdefine processed\n__gp_C(1);\n"),
              std::string::npos)
        << r.out;
}

TEST(PreprocessorFunctions, StringizingPastingAndLoneStatementsAreExpandedInPlace) {
    auto r = run("#define S(a) #a\n#define C(a, b) a ## b\n#define G(a) GEL_Go(a);\n#define H #x ## y\n"
                 "S(  one   two ); S(\"q\\\"\" '\\\\'); C(x , 1)(); G(main); H;\n");
    EXPECT_EQ(r.status, 0);
    for (const char* name : {"S", "C", "G", "H"}) EXPECT_EQ(macro_conversion_kind(name), 0) << name;
    EXPECT_NE(r.out.find("\"one two\"; \"\\\"q\\\\\\\"\\\" '\\\\\\\\'\"; x1(); GEL_Go(main);; #xy;\n"), std::string::npos)
        << r.out;
    EXPECT_EQ(r.macro_file, "");
}

TEST(PreprocessorFunctions, DereferencingMacroIsExpandedInPlace) {
    auto r = run("#define REG(n) *(int*)(0x100 + n)\nREG(4) = 1;\n");
    EXPECT_NE(r.out.find("// -- CONVERTER INFO: REG expanded\n"), std::string::npos);
    EXPECT_NE(r.out.find("\n*(int*)(0x100 + 4) = 1;\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.macro_file, "");
}

TEST(PreprocessorFunctions, CallsInAConstantExpressionBecomeResults) {
    auto r = run("#define SQ(x) ((x)*(x))\n#define S4 (SQ(4) + 1)\n");
    EXPECT_NE(r.out.find("#line 2\n// #dtsdefina LOCAL &__SQ_4_result\n// #dtsdefina GOSUB __gp_SQ 4\n"
                         "// #dtsdefinb ENTRY &__SQ_4_result\n// #dtsdefina LOCAL &__S4\n"
                         "// #dtsdefinb &__S4=(&__SQ_4_result+1.)\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(macro_conversion_kind("S4"), 4);
}

TEST(PreprocessorFunctions, ArgumentsAcrossLinesAndNestedParentheses) {
    auto r = run("#define F(a, b) ((a) - (b))\nx = F((1, 2),\n  \"a,b\");\ny;\n");
    EXPECT_NE(r.out.find("\nx = __gp_F((1, 2), \"a,b\");\n#line 4\ny;\n"), std::string::npos) << r.out;
}

TEST(PreprocessorFunctions, ArgumentCountWarnings) {
    auto r = run("#define F(a, b) ((a) - (b))\nx = F(1);\ny = F;\n#define G(a) (a)\nz = G\n#ifdef X\n#endif\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
              "line 2: Warning: Wrong number of macro arguments for \"F\"\nx = F(1);\n"
              "line 3: Warning: Macro \"F\" needs arguments\ny = F;\n"
              "line 6: Warning: Macro \"G\" needs arguments\n#ifdef X\n");
    EXPECT_NE(r.out.find("\nx = __gp_F(1,);\ny = F;\n"), std::string::npos) << r.out;
    // a directive on the line after a name without arguments is still one
    EXPECT_NE(r.out.find("z = G\n"), std::string::npos) << r.out;
}

TEST(PreprocessorFunctions, SecondRunReadsTheMacroFileWithTheDefinitionsInForce) {
    const std::string macro_path = test_support::private_path("pp_test_second_run.dts");
    auto first = run("#define INC(a) ((a) + ONE)\n#define ONE 1\nx = INC(2);\n", true, macro_path);
    ASSERT_EQ(first.status, 0);
    ASSERT_EQ(first.macro_file, "#line 1 \"\"\n__gp_INC(__a){\n#line 1\n\treturn(((__a) + ONE));\n}\n");
    auto second = run(first.macro_file, false, macro_path);
    EXPECT_EQ(second.status, 0);
    // no header lines the second time; ONE is still defined
    EXPECT_EQ(second.out, "#line 1\n\n#line 1\n__gp_INC(__a){\n#line 1\nreturn(((__a) + &__ONE));\n}\n");
    std::remove(macro_path.c_str());
}

TEST(PreprocessorFunctions, OwnNameInTheBodyIsNotExpandedAgain) {
    auto r = run("#define P(x) *P(x)\nP(1);\n#define Q *Q\nQ;\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\n*P(1);\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n*Q;\n"), std::string::npos) << r.out;
}

TEST(PreprocessorExpansion, MutualRecursionIsStopped) {
    auto r = run("#define A *B\n#define B *A\nA;\nok;\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "line 3: Error: Recursive macro definition of \"B\"\nA;\n(Defined by \"A\")\n"
                     "1 error in preprocessor\n");
    EXPECT_NE(r.out.find("\n" + std::string(999, '*') + ";\nok;\n"), std::string::npos);
}

TEST(PreprocessorExpansion, ExponentialMacrosAreBounded) {
    std::string text = "#define A0 *x\n";
    for (int i = 1; i <= 30; ++i)
        text += "#define A" + std::to_string(i) + " *A" + std::to_string(i - 1) + " A" + std::to_string(i - 1) + "\n";
    text += "A30;\n";
    auto start = std::chrono::steady_clock::now();
    auto r = run(text);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Recursive macro definition"), std::string::npos);
}

TEST(PreprocessorExpansion, TokenPasting) {
    auto r = run(std::string("#define AB *ab\nx = A\x1E" "B;\n"));
    EXPECT_NE(r.out.find("\nx = *ab;\n"), std::string::npos) << r.out;
}

TEST(PreprocessorExpansion, UnterminatedCallIsAnError) {
    auto r = run("#define F(a) (a)\nF(1,\n(2");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Error: end of file within macro argument\n"), std::string::npos) << r.err;
}

TEST(PreprocessorDefinitions, SyntaxErrors) {
    auto r = run("#define 1x\n#define F(a b) a\n#define G(a,) a\n#define\nok;\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "line 1: Error: #define syntax error\n#define 1x\n"
              "line 2: Error: #define syntax error\n#define F(a b) a\n"
              "line 3: Error: #define syntax error\n#define G(a,) a\n"
              "line 4: Error: #define syntax error\n#define\n"
              "4 errors in preprocessor\n");
    EXPECT_NE(r.out.find("\nok;\n"), std::string::npos);
}

TEST(PreprocessorDefinitions, FixedLimitsAreFatal) {
    std::string params, args;
    for (int i = 0; i < 32; ++i) {
        params += (i ? ",p" : "p") + std::to_string(i);
        args += i ? ",1" : "1";
    }
    auto r = run("#define F(" + params + ") x\n");
    EXPECT_TRUE(r.fatal);
    EXPECT_NE(r.err.find("Fatal error: Too many arguments for macro\n"), std::string::npos) << r.err;

    r = run("#define G(a) (a)\nG(" + args + ");\n");
    EXPECT_TRUE(r.fatal);
    EXPECT_NE(r.err.find("Fatal error: Too many arguments in macro expansion\n"), std::string::npos) << r.err;

    r = run("#define H(a) *a a a a a\nH(" + std::string(1000, 'z') + ");\n");
    EXPECT_TRUE(r.fatal);
    EXPECT_NE(r.err.find("Fatal error: Out of space in macro \"H\" arg expansion\n"), std::string::npos) << r.err;

    r = run("#define L(a) a\nL(" + std::string(9000, 'z') + ");\n");
    EXPECT_TRUE(r.fatal);
    EXPECT_NE(r.err.find("Fatal error: Macro work area overflow\n"), std::string::npos);

    r = run("#define B " + std::string(5000, '1') + "\n");
    EXPECT_TRUE(r.fatal);
    EXPECT_NE(r.err.find("Fatal error: Work buffer overflow:  B\n"), std::string::npos);

    r = run("#include \"" + std::string(5000, 'f') + "\"\n");
    EXPECT_TRUE(r.fatal);
    EXPECT_NE(r.err.find("Fatal error: Work buffer overflow:  "), std::string::npos);
}

TEST(PreprocessorDefinitions, ManyDefinitionsStayFast) {
    std::string text;
    for (int i = 0; i < 10000; ++i) text += "#define NAME_" + std::to_string(i) + " (NAME_" + std::to_string(i / 2) + " + 1)\n";
    text += "x = NAME_9999;\n";
    auto start = std::chrono::steady_clock::now();
    auto r = run(text);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\nx = &__NAME_9999;\n"), std::string::npos);
    EXPECT_EQ(macro_conversion_kind("NAME_5000"), 5);
}

TEST(PreprocessorDefinitions, ResetForgetsEverything) {
    run("#define KEEP 1\n");
    EXPECT_EQ(macro_conversion_kind("KEEP"), 1);
    preprocessor_reset();
    EXPECT_EQ(macro_conversion_kind("KEEP"), 0);
    free_macro_table();
    EXPECT_EQ(macro_conversion_kind("__LINE__"), 0);
}
