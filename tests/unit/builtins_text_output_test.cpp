#include <gtest/gtest.h>

#include <string>

#include "builtins_test_support.h"
#include "preprocessor_test_run.h"

namespace {

using namespace builtins_test;

// GEL_TextOut with a format, a window and the format arguments from the sixth on.
Result text_out(const char* format, GelParameter window, Parameters arguments = {}) {
    Parameters p = {quoted(format), window, number("0"), number("0"), number("0")};
    p.insert(p.end(), arguments.begin(), arguments.end());
    return run(GEL_TextOut, "GEL_TextOut", p);
}

TEST(TextOut, WindowSelection) {
    bool saved = textout_window_disabled;
    textout_window_disabled = false;
    EXPECT_EQ(run(GEL_TextOut, "GEL_TextOut", {quoted("\"hi\""), quoted("\"Out\"")}).out,
              "IF (!AREA.Exist(Out))\nAREA.Create Out\nAREA.Select Out\nPRINT \"hi\"\n");
    EXPECT_EQ(run(GEL_TextOut, "GEL_TextOut", {quoted("\"hi\""), omitted()}).out, "AREA.Select\nPRINT \"hi\"\n");
    // One parameter or a numeric window: no area line at all.
    EXPECT_EQ(run(GEL_TextOut, "GEL_TextOut", {quoted("\"hi\"")}).out, "PRINT \"hi\"\n");
    EXPECT_EQ(run(GEL_TextOut, "GEL_TextOut", {quoted("\"hi\""), number("1")}).out, "PRINT \"hi\"\n");
    textout_window_disabled = true;
    EXPECT_EQ(run(GEL_TextOut, "GEL_TextOut", {quoted("\"hi\""), quoted("\"Out\"")}).out,
              "AREA.Select\nPRINT \"hi\"\n");
    textout_window_disabled = saved;

    EXPECT_EQ(run(GEL_TextOut, "GEL_TextOut", {quoted("\"hi\""), quoted("\"A B\"")}).message,
              "GEL_TextOut(): Window name with whitespaces not supported by KALDRA");
    EXPECT_EQ(run(GEL_TextOut, "GEL_TextOut", {quoted("\"hi\""), variable("w")}).message,
              "Second parameter must be quoted or empty");
    EXPECT_EQ(run(GEL_TextOut, "GEL_TextOut", {variable("v"), quoted("\"Out\"")}).message,
              "First parameter of GEL_TextOut function must be quoted.");
    EXPECT_EQ(run(GEL_TextOut, "GEL_TextOut").message,
              "Too few parameters to call GEL_TextOut function. Expecting 1 parameters.");
}

TEST(TextOut, SingleVariableIsPrintedAsAString) {
    EXPECT_EQ(run(GEL_TextOut, "GEL_TextOut", {variable("msg")}).out, "var.print %string \\msg\n");
    // Only a declared variable is a GEL string; any other value is printed as a value.
    EXPECT_EQ(run(GEL_TextOut, "GEL_TextOut", {identifier("buf")}).out, "PRINT Var.VALUE(buf)\n");
    EXPECT_EQ(run(GEL_TextOut, "GEL_TextOut", {macro_temp(3)}).out, "PRINT &__V3\n");
    EXPECT_EQ(run(GEL_TextOut, "GEL_TextOut", {omitted()}).out, "PRINT \"\"\n");
}

TEST(TextOut, ConversionsTakeTheArgumentsFromTheSixthOn) {
    bool saved = textout_window_disabled;
    textout_window_disabled = false;
    EXPECT_EQ(text_out("\"v=%d\\n\"", number("1"), {variable("x")}).out,
              "PRINT \"v=\" %DECIMAL Var.VALUE(\\x) \"\"\nPRINT \"\"\n");
    // Names of converted macros get their prefix; HLL variables and other names keep their text.
    pp_test::run("#define MAXCNT 5\n");
    EXPECT_EQ(text_out("\"%e %f %u\"", number("0x1"), {number("0x1"), identifier("MAXCNT"), expression("\\a+0x2")}).out,
              "PRINT \"\" %DECIMAL Var.VALUE(0x1) \" \" %DECIMAL Var.VALUE(&__MAXCNT) \" \" %DECIMAL Var.VALUE(\\a+0x2) "
              "\"\"\n");
    preprocessor_reset();
    EXPECT_EQ(text_out("\"%u\"", number("0x1"), {identifier("MAXCNT")}).out, "PRINT \"\" %DECIMAL Var.VALUE(MAXCNT) \"\"\n");
    EXPECT_EQ(text_out("\"%x\"", number("0x1"), {variable("cnt")}).out, "PRINT \"\" %HEX Var.VALUE(\\cnt) \"\"\n");
    EXPECT_EQ(text_out("\"0x%x!\"", number("1"), {macro_temp(2)}).out, "PRINT \"0x\" %HEX &__V2 \"!\"\n");
    // "%s" prints a string's text, and any other argument's value.
    EXPECT_EQ(text_out("\"[%s|%s]\"", number("1"), {quoted("\"a\\tbc\""), variable("s")}).out,
              "PRINT \"[a bc|\" Var.VALUE(\\s) \"]\"\n");
    // Every conversion takes the next argument, whatever its flags, width,
    // precision and length; "%c" prints a character, "%%" a percent sign.
    Result adorned = text_out("\"%08x|%-5.2ld|%lu|%c|%o|%%|%X\"", number("1"),
                              {variable("a"), variable("b"), variable("c"), variable("d"), variable("e"), variable("f")});
    EXPECT_EQ(adorned.out, "PRINT \"\" %HEX Var.VALUE(\\a) \"|\" %DECIMAL Var.VALUE(\\b) \"|\" %DECIMAL Var.VALUE(\\c) "
                           "\"|\" %ASCII Var.VALUE(\\d) \"|\" %DECIMAL Var.VALUE(\\e) \"|%|\" %HEX Var.VALUE(\\f) \"\"\n");
    EXPECT_EQ(adorned.err,
              "line 7: Warning: GEL_TextOut(): Flags, width and precision of \"%08x\" not supported by KALDRA. Printed as \"%x\".\n"
              "line 7: Warning: GEL_TextOut(): Flags, width and precision of \"%-5.2d\" not supported by KALDRA. Printed as \"%d\".\n"
              "line 7: Warning: GEL_TextOut(): Conversion \"%o\" not supported by KALDRA. Printed in decimal.\n");
    // Conversions without an argument left, and unknown ones, stay as written.
    EXPECT_EQ(text_out("\"%d %q %\"", number("1")).out, "PRINT \"%d %q %\"\n");
    EXPECT_EQ(text_out("\"%%d %*d %1234d\"", number("1"), {number("0x4")}).out, "PRINT \"%d %*d %1234d\"\n");
    textout_window_disabled = saved;
}

TEST(TextOut, Escapes) {
    EXPECT_EQ(text_out("\"a\\tb\\\\c\\qd\\\"\"", number("1")).out, "PRINT \"a b\\c\\qd\\\"\"\n");
    EXPECT_EQ(text_out("\"a\\\\nb\"", number("1")).out, "PRINT \"a\\nb\"\n");
    EXPECT_EQ(text_out("\"x\\n\\ny\"", number("1")).out, "PRINT \"x\"\nPRINT \"\"\nPRINT \"y\"\n");
    EXPECT_EQ(text_out("\"end\\\"", number("1")).out, "PRINT \"end\\\"\n");
}

TEST(TargetTextOut, ClassesAndWindow) {
    bool saved = textout_window_disabled;
    textout_window_disabled = false;
    numbering.temp_counter = 1;
    EXPECT_EQ(run(GEL_TargetTextOut, "GEL_TargetTextOut", {number("0x100")}).out,
              "PRINT Data.STRING(d:(Var.VALUE(0x100)))\n");
    EXPECT_EQ(run(GEL_TargetTextOut, "GEL_TargetTextOut", {number("0x100"), number("0")}).out,
              "PRINT Data.STRING(p:(Var.VALUE(0x100)))\n");
    EXPECT_EQ(run(GEL_TargetTextOut, "GEL_TargetTextOut", {variable("s"), variable("pg")}).out,
              "IF Var.VALUE(\\pg)==1\n\t&__V1=\"d\"\nELSE IF Var.VALUE(\\pg)==2\n\t&__V1=\"io\"\nELSE\n\t&__V1=\"p\"\n"
              "PRINT Data.STRING(&__V1:(Var.VALUE(\\s)))\n");
    Result windowed = run(GEL_TargetTextOut, "GEL_TargetTextOut",
                          {number("0x10"), number("0x2"), number("0"), number("0"), quoted("\"Out\"")}, 8);
    EXPECT_EQ(windowed.out,
              "IF (!AREA.Exist(Out))\nAREA.Create Out\nAREA.Select Out\nPRINT Data.STRING(io:(Var.VALUE(0x10)))\n");
    EXPECT_EQ(windowed.err,
              "line 8: Warning: GEL_TargetTextOut(): Only startAddress, page and windowName parameters supported.\n");
    textout_window_disabled = true;
    EXPECT_EQ(run(GEL_TargetTextOut, "GEL_TargetTextOut",
                  {number("0x10"), number("0x1"), number("0"), number("0"), quoted("\"Out\"")})
                  .out,
              "AREA.Select\nPRINT Data.STRING(d:(Var.VALUE(0x10)))\n");
    textout_window_disabled = saved;

    // The fifth parameter is checked before the warning is given.
    Result bad = run(GEL_TargetTextOut, "GEL_TargetTextOut",
                     {number("0x10"), number("0x1"), number("0"), number("0"), variable("w")});
    EXPECT_EQ(bad.message, "Fifth parameter must be quoted or empty");
    EXPECT_EQ(bad.err, "");
    EXPECT_EQ(bad.out, "");
    Result spaced = run(GEL_TargetTextOut, "GEL_TargetTextOut",
                        {number("0x10"), number("0x1"), number("0"), number("0"), quoted("\"a b\"")});
    EXPECT_EQ(spaced.message, "GEL_TargetTextOut(): Window name with whitespaces not supported by KALDRA");
    EXPECT_EQ(spaced.out, "");
    Parameters ten(10, number("1"));
    EXPECT_EQ(run(GEL_TargetTextOut, "GEL_TargetTextOut", ten).message,
              "Too many parameters to call GEL_TargetTextOut function. Expecting number of parameters in range 1 to 9.");
    numbering.temp_counter = 0;
}

TEST(System, CommandWithConversions) {
    EXPECT_EQ(run(GEL_System, "GEL_System", {quoted("\"dir /w\"")}).out, "OS dir /w\n");
    EXPECT_EQ(run(GEL_System, "GEL_System", {quoted("\"a\\tb\\nc\\\\d\\q\"")}).out, "OS a bc\\d\\q\n");
    EXPECT_EQ(run(GEL_System, "GEL_System",
                  {quoted("\"cp %s %d %u %x %e %q\""), quoted("\"f.txt\""), number("0x10"), number("0xFFFFFFFF"),
                   number("0x1F")})
                  .out,
              "OS cp f.txt 16 4294967295 1f %e %q\n");
    EXPECT_EQ(run(GEL_System, "GEL_System", {quoted("\"%d %d\""), number("0xFFFFFFFF"), number("12")}).out,
              "OS -1 12\n");
    // Constants are written as the C library writes them, flags and widths included.
    EXPECT_EQ(run(GEL_System, "GEL_System", {quoted("\"%f\""), number("1.5")}).out, "OS 1.500000\n");
    EXPECT_EQ(run(GEL_System, "GEL_System",
                  {quoted("\"%08X|%-4s|%.1s|%c|%5.1e|%%|%i\""), number("0x1f"), quoted("\"ab\""), quoted("\"xyz\""),
                   number("0x41")})
                  .out,
              "OS 0000001F|ab  |x|A|%5.1e|%|%i\n");
    EXPECT_EQ(run(GEL_System, "GEL_System", {quoted("\"%5.1e %ld\""), number("2"), number("0x10")}).out,
              "OS 2.0e+00 16\n");
}

TEST(System, ParameterErrors) {
    EXPECT_EQ(run(GEL_System, "GEL_System", {variable("c")}).message,
              "First parameter of GEL_System function must be quoted.");
    EXPECT_EQ(run(GEL_System, "GEL_System", {quoted("\"%d %d\""), number("1"), variable("n")}).message,
              "GEL_System() parameter 3: Only non-negative constants or quoted strings supported as parameters.");
    Result s = run(GEL_System, "GEL_System", {quoted("\"run %s\""), number("4")});
    EXPECT_EQ(s.message, "GEL_System(): Wrong parameter 2 type for %s.");
    EXPECT_EQ(s.out, "OS run ");
    EXPECT_EQ(run(GEL_System, "GEL_System", {quoted("\"%s %u\""), quoted("\"a\""), quoted("\"b\"")}).message,
              "GEL_System(): Wrong parameter 3 type for %u.");
    EXPECT_EQ(run(GEL_System, "GEL_System", {quoted("\"%x\""), quoted("\"b\"")}).message,
              "GEL_System(): Wrong parameter 2 type for %x.");
    EXPECT_EQ(run(GEL_System, "GEL_System", {quoted("\"%e\""), quoted("\"b\"")}).message,
              "GEL_System(): Wrong parameter 2 type for %e.");
    Parameters six(6, quoted("\"a\""));
    EXPECT_EQ(run(GEL_System, "GEL_System", six).message,
              "Too many parameters to call GEL_System function. Expecting number of parameters in range 1 to 5.");
}

TEST(Trace, PrintsTheTextAndTakesATemporary) {
    numbering.temp_counter = 4;
    EXPECT_EQ(run(GEL_Trace, "GEL_Trace", {quoted("\"hi\"")}).out, "PRINT \"GEL_Trace \" \"hi\"\nENTRY &__V4\n");
    EXPECT_EQ(numbering.temp_counter, 5);
    EXPECT_EQ(run(GEL_Trace, "GEL_Trace", {variable("x"), number("9")}).out, "PRINT \"GEL_Trace \" x\nENTRY &__V5\n");
    EXPECT_EQ(run(GEL_Trace, "GEL_Trace", {macro_temp(1)}).out, "PRINT \"GEL_Trace \" &__V1\nENTRY &__V6\n");
    EXPECT_EQ(run(GEL_Trace, "GEL_Trace").out, "PRINT \"GEL_Trace \"\nENTRY &__V7\n");
    numbering.temp_counter = -2;
    EXPECT_EQ(run(GEL_Trace, "GEL_Trace", {quoted("\"a\"")}).out, "PRINT \"GEL_Trace \" \"a\"\nENTRY &__V_2\n");
    EXPECT_EQ(numbering.temp_counter, -1);
    numbering.temp_counter = 0;
}

}  // namespace
