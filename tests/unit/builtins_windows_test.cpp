#include <gtest/gtest.h>

#include <string>

#include "builtins_test_support.h"

namespace {

using namespace builtins_test;

const char* const kMem = "GEL_OpenMemoryWindow";

TEST(Windows, CloseAndOpenWindowNamesAreChecked) {
    EXPECT_EQ(run(GEL_CloseWindow, "GEL_CloseWindow", {quoted("\"Out\"")}).out, "AREA.VIEW Out\nWINCLEAR TOP\n");
    EXPECT_EQ(run(GEL_CloseWindow, "GEL_CloseWindow", {variable("w")}).message,
              "First parameter of GEL_CloseWindow function must be quoted.");
    EXPECT_EQ(run(GEL_CloseWindow, "GEL_CloseWindow").message,
              "Too few parameters to call GEL_CloseWindow function. Expecting 1 parameters.");
    Result spaced = run(GEL_CloseWindow, "GEL_CloseWindow", {quoted("\"My Out\"")});
    EXPECT_EQ(spaced.out, "");
    EXPECT_EQ(spaced.message, "GEL_CloseWindow(): Window name with whitespaces not supported by KALDRA");

    EXPECT_EQ(run(GEL_OpenWindow, "GEL_OpenWindow").out, "AREA.view\n");
    EXPECT_EQ(run(GEL_OpenWindow, "GEL_OpenWindow", {quoted("\"Log\""), number("1"), number("2")}).out,
              "AREA.Create Log\nAREA.view Log\n");
    // Trailing blanks are kept and accepted.
    EXPECT_EQ(run(GEL_OpenWindow, "GEL_OpenWindow", {quoted("\"Log  \"")}).out,
              "AREA.Create Log  \nAREA.view Log  \n");
    EXPECT_EQ(run(GEL_OpenWindow, "GEL_OpenWindow", {quoted("\"a b\"")}).message,
              "GEL_OpenWindow(): Window name with whitespaces not supported by KALDRA");
    EXPECT_EQ(run(GEL_OpenWindow, "GEL_OpenWindow", {number("1")}).message,
              "First parameter of GEL_OpenWindow function must be quoted.");
    EXPECT_EQ(run(GEL_OpenWindow, "GEL_OpenWindow", {quoted("\"a\""), number("1"), number("2"), number("3")}).message,
              "Too many parameters to call GEL_OpenWindow function. Expecting number of parameters in range 0 to 3.");
}

TEST(Windows, DisassemblyWindow) {
    EXPECT_EQ(run(GEL_OpenDisassemblyWindow, "GEL_OpenDisassemblyWindow", {identifier("main")}).out,
              "List.Auto Var.VALUE(main)\n");
    EXPECT_EQ(run(GEL_OpenDisassemblyWindow, "GEL_OpenDisassemblyWindow").message,
              "Too few parameters to call GEL_OpenDisassemblyWindow function. Expecting 1 parameters.");
}

TEST(MemoryWindow, DumpWithAClass) {
    numbering.temp_counter = 2;
    EXPECT_EQ(run(GEL_OpenMemoryWindow, kMem, {number("0x100")}).out, "Data.DUMP p:(Var.VALUE(0x100))\n");
    EXPECT_EQ(run(GEL_OpenMemoryWindow, kMem, {number("0x100"), number("0x1")}).out,
              "Data.DUMP d:(Var.VALUE(0x100))\n");
    Result titled = run(GEL_OpenMemoryWindow, kMem, {number("0x100"), number("0x2"), quoted("\"t\"")}, 9);
    EXPECT_EQ(titled.out, "Data.DUMP io:(Var.VALUE(0x100))\n");
    EXPECT_EQ(titled.err,
              "line 9: Warning: Parameter \"title\" is not supported in GEL_OpenMemoryWindow. Memory Window with no "
              "title will be displayed.\n");
    EXPECT_EQ(run(GEL_OpenMemoryWindow, kMem, {number("0x100"), variable("pg")}).out,
              "IF Var.VALUE(\\pg)==1\n\t&__V2=\"d\"\nELSE IF Var.VALUE(\\pg)==2\n\t&__V2=\"io\"\nELSE\n\t&__V2=\"p\"\n"
              "Data.DUMP &__V2:(Var.VALUE(0x100))\n");
    EXPECT_EQ(numbering.temp_counter, 2);
    EXPECT_EQ(run(GEL_OpenMemoryWindow, kMem).message,
              "Too few parameters to call GEL_OpenMemoryWindow function. Expecting number of parameters in range 1 to "
              "13.");
    Parameters fourteen(14, number("1"));
    EXPECT_EQ(run(GEL_OpenMemoryWindow, kMem, fourteen).message,
              "Too many parameters to call GEL_OpenMemoryWindow function. Expecting number of parameters in range 1 "
              "to 13.");
    numbering.temp_counter = 0;
}

TEST(MemoryWindow, ThreeTemporariesForClassTypeAndFormat) {
    numbering.temp_counter = 3;
    Result r = run(GEL_OpenMemoryWindow, kMem,
                   {number("0x1000"), number("0x1"), quoted("\"t\""), number("0x0C"), number("2")});
    EXPECT_FALSE(r.failed);
    EXPECT_EQ(r.out,
              "&__V3=\"d\"\n&__V4=\"/BYTE\"\n&__V5=\"/DECIMAL /NOASCII\"\n"
              "DATA.DUMP &__V3:(Var.VALUE(0x1000)) &__V4 &__V5\n");
    Result four = run(GEL_OpenMemoryWindow, kMem, {variable("a"), number("0"), quoted("\"\""), number("0x18")});
    EXPECT_EQ(four.out, "&__V3=\"p\"\n&__V4=\"/QUAD\"\nDATA.DUMP &__V3:(Var.VALUE(\\a)) &__V4\n");
    EXPECT_EQ(numbering.temp_counter, 3);
    numbering.temp_counter = 0;
}

TEST(MemoryWindow, DataTypeAndFormatWarnings) {
    numbering.temp_counter = 0;
    struct Row {
        const char* code;
        const char* width;
        const char* warning;  // without the name
    };
    const Row rows[] = {
        {"0x0D", "BYTE", nullptr},
        {"0x0F", "WORD", nullptr},
        {"0x04", "LONG", "Data type 'Enum' is not supported. Using 'Long' instead."},
        {"0x07", "LONG", "Data type 'Unsigned Int' is not supported. Using 'Long' instead."},
        {"0x13", "LONG", nullptr},
        {"0x11", "TBYTE", nullptr},
        {"0x15", "TWORD", "Data type '40 bit unsigned integer' is not supported. Using '48 bit integer' instead."},
        {"0x17", "TWORD", nullptr},
        {"0x1E", "QUAD", nullptr},
        {"0x22", "LONG", "Data type '32 bit IEEE single precision format' is not supported. Using 'Long' instead."},
        {"0x28", "QUAD", "Data type 'long double' is not supported. Using 'Long long' instead."},
        {"12", "BYTE", nullptr},  // a decimal literal is read as decimal
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        Result r = run(GEL_OpenMemoryWindow, kMem, {number("0x10"), number("0x1"), quoted("\"\""), number(row.code)}, 4);
        EXPECT_EQ(r.out, std::string("&__V0=\"d\"\n&__V1=\"/") + row.width + "\"\nDATA.DUMP &__V0:(Var.VALUE(0x10)) &__V1\n");
        std::string warnings =
            "line 4: Warning: Parameter \"title\" is not supported in GEL_OpenMemoryWindow. Memory Window with no "
            "title will be displayed.\n";
        if (row.warning) warnings += std::string("line 4: Warning: GEL_OpenMemoryWindow: ") + row.warning + "\n";
        EXPECT_EQ(r.err, warnings);
    }

    struct Format {
        const char* code;
        const char* options;
        const char* warning;
    };
    const Format formats[] = {
        {"0x1", "/HEX /NOASCII", nullptr},
        {"3", "/DECIMALU /NOASCII", nullptr},
        {"4", "/ASCII /NOHEX", nullptr},
        {"5", "/ASCII /NOHEX", "Display format 'Packed character' is not supported. Using 'Character' instead."},
        {"6", "/HEX /NOASCII", "Display format 'Binary' is not supported. Using 'hex' instead."},
        {"7", "/HEX /NOASCII", "Display format 'Real or Scientific' is not supported. Using 'hex' instead."},
        {"8", "/HEX /NOASCII", "Display format 'Scientific' is not supported. Using 'hex' instead."},
        {"0x9", "/HEX /NOASCII", "Display format 'Octal' is not supported. Using 'hex' instead."},
    };
    for (const Format& f : formats) {
        SCOPED_TRACE(f.code);
        Result r = run(GEL_OpenMemoryWindow, kMem,
                       {number("0x10"), number("0x2"), quoted("\"\""), number("0x0"), number(f.code)}, 4);
        EXPECT_EQ(r.out, std::string("&__V0=\"io\"\n&__V1=\"/BYTE\"\n&__V2=\"") + f.options +
                             "\"\nDATA.DUMP &__V0:(Var.VALUE(0x10)) &__V1 &__V2\n");
        EXPECT_EQ(r.err.find("Display format") != std::string::npos, f.warning != nullptr);
        if (f.warning) {
            EXPECT_NE(r.err.find(std::string("GEL_OpenMemoryWindow: ") + f.warning), std::string::npos);
        }
    }
}

TEST(MemoryWindow, UnknownCodesStopBeforeTheDump) {
    numbering.temp_counter = 0;
    for (const char* code : {"0x05", "0x0A", "0x1A", "0x21", "0x29", "0x100000000"}) {
        SCOPED_TRACE(code);
        Result r = run(GEL_OpenMemoryWindow, kMem, {number("0x10"), number("0x1"), quoted("\"\""), number(code)});
        EXPECT_TRUE(r.failed);
        EXPECT_EQ(r.message, "Unknown data type parameter in GEL_OpenMemoryWindow.");
        EXPECT_EQ(r.out, "&__V0=\"d\"\n");
    }
    Result f = run(GEL_OpenMemoryWindow, kMem, {number("0x10"), number("0x1"), quoted("\"\""), number("0x2"), number("0xA")});
    EXPECT_TRUE(f.failed);
    EXPECT_EQ(f.message, "Unknown Display format parameter in GEL_OpenMemoryWindow.");
    EXPECT_EQ(f.out, "&__V0=\"d\"\n&__V1=\"/WORD\"\n");
}

TEST(MemoryWindow, ParametersBeyondTheFifthAreNamed) {
    numbering.temp_counter = 0;
    Parameters p = {number("0x10"), number("0x1"), quoted("\"\""), number("0"), number("0")};
    p.push_back(number("1"));
    Result six = run(GEL_OpenMemoryWindow, kMem, p, 2);
    EXPECT_NE(six.err.find("line 2: Warning: Parameter \"qValue\" is not supported in GEL_OpenMemoryWindow.\n"),
              std::string::npos);
    p.push_back(number("1"));
    Result seven = run(GEL_OpenMemoryWindow, kMem, p, 2);
    EXPECT_NE(seven.err.find("line 2: Warning: Parameters \"qValue, ref_buffer_on\" are not supported in "
                             "GEL_OpenMemoryWindow.\n"),
              std::string::npos);
    while (p.size() < 13) p.push_back(number("1"));
    Result thirteen = run(GEL_OpenMemoryWindow, kMem, p, 2);
    EXPECT_NE(thirteen.err.find("Parameters \"qValue, ref_buffer_on, ref_buffer_start, ref_buffer_end, "
                                "ref_buffer_auto_update, track_expression, bypass_cache, highlight_cache_diffs\" are "
                                "not supported in GEL_OpenMemoryWindow.\n"),
              std::string::npos);
    EXPECT_EQ(thirteen.out, "&__V0=\"d\"\n&__V1=\"/BYTE\"\n&__V2=\"/HEX /NOASCII\"\nDATA.DUMP &__V0:(Var.VALUE(0x10)) &__V1 &__V2\n");
}

}  // namespace
