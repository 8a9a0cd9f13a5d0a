#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builtins/handlers.h"
#include "builtins/memory_class.h"
#include "driver/diagnostics.h"
#include "frontend/tree.h"
#include "test_support.h"

namespace {

using test_support::Capture;

GelParameter make(int32_t kind, int32_t number, const char* text) {
    GelParameter p;
    p.kind = kind;
    p.rd.number = number;
    p.rd.text = text ? pool_string(text) : nullptr;
    return p;
}
GelParameter C(const char* text) { return make(RK_TEXT, ID_CONSTANT, text); }  // numeric constant
GelParameter Q(const char* text) { return make(RK_TEXT, ID_STRING, text); }    // string literal
GelParameter H(const char* name) { return make(RK_HLL_VARIABLE, 0, name); }    // declared variable
GelParameter Omitted() { return make(RK_TEXT, ID_STRING, nullptr); }

struct Call {
    std::string out, err, message;
    bool error;
};

Call run(int (*handler)(GelParameter*, int, const char*, int, bool), const char* name,
        std::vector<GelParameter> parameters, int counter = 0) {
    error_flag = 0;
    message_buffer.clear();
    numbering.temp_counter = counter;
    Capture out(stdout);
    Capture err(stderr);
    handler(parameters.empty() ? nullptr : parameters.data(), static_cast<int>(parameters.size()), name, 7, false);
    Call r{out.text(), err.text(), error_flag ? message_buffer : "", error_flag != 0};
    error_flag = 0;
    return r;
}

#define RUN(fn, ...) run(fn, #fn, __VA_ARGS__)

const char* const kRange = "(Var.VALUE(0x100))--((Var.VALUE(0x100))+(((Var.VALUE(0x20))<<1)-1))";

}  // namespace

TEST(MemoryBuiltinChecks, CountAndQuotingFailuresWriteNothing) {
    struct Case {
        Call r;
        const char* message;
    } cases[] = {
        {RUN(GEL_Load, {}), "Too few parameters to call GEL_Load function. Expecting number of parameters in range 1 to 3."},
        {RUN(GEL_SymbolAdd, {Q("\"a\""), C("0x1"), C("0x1"), C("0x1")}),
         "Too many parameters to call GEL_SymbolAdd function. Expecting number of parameters in range 1 to 3."},
        {RUN(GEL_SymbolLoad, {H("file")}), "First parameter of GEL_SymbolLoad function must be quoted."},
        {RUN(GEL_SymbolRemove, {C("0x1")}), "First parameter of GEL_SymbolRemove function must be quoted."},
        {RUN(GEL_UnloadAllSymbols, {C("0x1")}),
         "Too many parameters to call GEL_UnloadAllSymbols function. Expecting 0 parameters."},
        {RUN(GEL_LoadGel, {}), "Too few parameters to call GEL_LoadGel function. Expecting 1 parameters."},
        {RUN(GEL_LoadGel, {Q("\"a\""), Q("\"b\"")}),
         "Too many parameters to call GEL_LoadGel function. Expecting 1 parameters."},
        {RUN(GEL_SrcDirAdd, {H("dir")}), "First parameter of GEL_SrcDirAdd function must be quoted."},
        {RUN(GEL_SrcDirRemoveAll, {Omitted()}),
         "Too many parameters to call GEL_SrcDirRemoveAll function. Expecting 0 parameters."},
        {RUN(GEL_MapAdd, {C("0x1"), C("0x1"), C("0x1"), C("0x1")}),
         "Too few parameters to call GEL_MapAdd function. Expecting 5 parameters."},
        {RUN(GEL_MapAddStr, {C("0x1"), C("0x1"), C("0x1"), C("0x1"), C("0x1"), C("0x1")}),
         "Too many parameters to call GEL_MapAddStr function. Expecting 5 parameters."},
        {RUN(GEL_MemoryFill, {C("0x1"), C("0x1"), C("0x1")}),
         "Too few parameters to call GEL_MemoryFill function. Expecting 4 parameters."},
        {RUN(GEL_MemoryFill, {C("0x1"), C("0x1"), C("0x1"), C("0x1"), C("0x1"), C("0x1")}),
         "Too many parameters to call GEL_MemoryFill function. Expecting 5 parameters."},
        {RUN(GEL_MemoryFill, {Q("\"a\""), C("0x1"), C("0x1"), C("0x1")}), "Numeric expression expected as parameter 1."},
        // An omitted parameter is an empty string literal, so it is quoted too.
        {RUN(GEL_MemoryFill, {C("0x1"), C("0x1"), C("0x1"), Omitted()}), "Numeric expression expected as parameter 4."},
        {RUN(GEL_MemoryLoad, {C("0x1"), C("0x1"), C("0x1"), H("f")}),
         "Fourth parameter of GEL_MemoryLoad function must be quoted."},
        {RUN(GEL_MemoryLoad, {C("0x1"), C("0x1"), C("0x1")}),
         "Too few parameters to call GEL_MemoryLoad function. Expecting 4 parameters."},
        {RUN(GEL_MemorySave, {C("0x1"), C("0x1"), C("0x1"), Q("\"f\""), C("0x1"), C("0x1"), C("0x1")}),
         "Too many parameters to call GEL_MemorySave function. Expecting number of parameters in range 4 to 6."},
        {RUN(GEL_MemorySave, {C("0x1"), C("0x1"), C("0x1"), C("0x1")}),
         "Fourth parameter of GEL_MemorySave function must be quoted."},
        {RUN(GEL_PatchAssembly, {C("0x1"), C("0x1")}),
         "Too few parameters to call GEL_PatchAssembly function. Expecting 3 parameters."},
        {RUN(GEL_PatchAssembly, {C("0x1"), C("0x1"), H("nop")}),
         "Third parameter of GEL_PatchAssembly function must be quoted."},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(c.r.error) << c.message;
        EXPECT_EQ(c.r.message, c.message);
        EXPECT_EQ(c.r.out, "") << c.message;
        EXPECT_EQ(c.r.err, "") << c.message;
    }
}

TEST(MemoryBuiltinChecks, MapAddStrNeedsAHexadecimalLength) {
    for (GelParameter length : {H("len"), Omitted(), C("0x0"), C("0x100000001"), C("0x"), C("0x1G"), C("16")}) {
        Call r = RUN(GEL_MapAddStr, {C("0x8000"), C("0x0"), length, Q("\"RW\""), C("0x0")});
        EXPECT_TRUE(r.error);
        EXPECT_EQ(r.message, "Third parameter of GEL_MapAddStr function must be a hexadecimal length from 0x1 to "
                             "0x100000000.");
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(RUN(GEL_MapAddStr, {C("0x8000"), C("0x0"), C("0x1000"), Q("\"RW\""), C("0x0")}).out,
              "MAP.Bus32 0x8000++00000FFF\n");
    EXPECT_EQ(RUN(GEL_MapAddStr, {C("0x0"), C("0x0"), C("0x100000000"), Q("\"RW\""), C("0x0")}).out,
              "MAP.Bus32 0x0++FFFFFFFF\n");
    EXPECT_EQ(RUN(GEL_MapAddStr, {C("0x0"), C("0x0"), C("0x1"), Q("\"RW\""), C("0x0")}).out,
              "MAP.Bus32 0x0++00000000\n");
}

TEST(MemoryBuiltinLoads, FileNamesAreUnescapedAndKeepTheirQuotes) {
    EXPECT_EQ(RUN(GEL_Load, {Q("\"C:\\\\app\\\\x.out\"")}).out, "DATA.LOAD.AUTO \"C:\\app\\x.out\"\n");
    // Pairs are taken from the left: three backslashes leave two.
    EXPECT_EQ(RUN(GEL_Load, {Q("\"a\\\\\\b\""), C("0x1"), Omitted()}).out, "DATA.LOAD.AUTO \"a\\\\b\"\n");
    EXPECT_EQ(RUN(GEL_Load, {Omitted()}).out, "DATA.LOAD.AUTO \"\"\n");
    EXPECT_EQ(RUN(GEL_SymbolAdd, {Q("\"s.out\"")}).out,
              "Data.LOAD.AUTO \"s.out\" /NOCODE /NOREG /NOBREAK /NOCLEAR\n");
    EXPECT_EQ(RUN(GEL_SymbolLoad, {Q("\"d:\\\\s.out\""), C("0x0")}).out,
              "Data.LOAD.AUTO \"d:\\s.out\" /NOCODE /NOREG /NOBREAK\n");
    EXPECT_EQ(RUN(GEL_SrcDirAdd, {Q("\"C:\\\\src\"")}).out, "sYmbol.SourcePATH.SetDir \"C:\\src\"\n");
    EXPECT_EQ(RUN(GEL_SrcDirRemoveAll, {}).out, "SYMBOL.SourcePATH.RESet\n");
    EXPECT_EQ(RUN(GEL_UnloadAllSymbols, {}).out, "sYmbol.Delete\n");
}

TEST(MemoryBuiltinLoads, SymbolRemoveNamesTheModule) {
    struct {
        const char* file;
        const char* module;
    } cases[] = {
        {"\"C:\\\\dir\\\\app.v2.out\"", "app"},
        {"\"lib/sub.dir/core.out\"", "core"},
        {"\"mixed\\\\a/b\\\\last\"", "last"},
        {"\"plain.out\"", "plain"},
        {"\"\"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RUN(GEL_SymbolRemove, {Q(c.file)}).out, std::string("sYmbol.Delete \\\\") + c.module + "\n")
            << c.file;
    }
    EXPECT_EQ(RUN(GEL_SymbolRemove, {Omitted()}).out, "sYmbol.Delete \\\\\n");
}

TEST(MemoryBuiltinLoads, LoadGelRewritesScriptRelativePaths) {
    struct {
        const char* file;
        const char* command;
    } cases[] = {
        {"\"$(GEL_file_dir)/init.gel\"", "DO ~~~~/init.cmm\n"},
        {"\"$(GEL_file_dir)\\\\sub\\\\board.gel\"", "DO ~~~~/sub/board.cmm\n"},
        {"\"$(GEL_file_dir)//x.gel\"", "DO ~~~~/x.cmm\n"},
        {"\"C:\\\\gel\\\\b.gel\"", "DO \"C:/gel/b.gel\"\n"},
        {"\"a//b///c\"", "DO \"a/b//c\"\n"},
        {"\"$(GEL_file_dir)\"", "DO ~cmm\n"},
        {"\"\"", "DO \"\"\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(RUN(GEL_LoadGel, {Q(c.file)}).out, c.command) << c.file;
}

TEST(MemoryClass, ConstantPagesCompareAsText) {
    struct {
        const char* page;
        const char* cls;
    } cases[] = {{"0x1", "d"}, {"0x2", "io"}, {"0x0", "p"}, {"0x0001", "p"}, {"1", "p"}, {"0x3", "p"}};
    for (const auto& c : cases) {
        GelParameter page = C(c.page);
        Capture out(stdout);
        MemoryClassChoice choice = select_memory_class(&page);
        EXPECT_STREQ(choice.constant, c.cls) << c.page;
        EXPECT_EQ(out.text(), "");
    }
    Capture out(stdout);
    EXPECT_STREQ(select_memory_class(nullptr).constant, "p");
}

TEST(MemoryClass, OtherPagesChooseAtRunTimeWithoutTakingATemporary) {
    numbering.temp_counter = 4;
    GelParameter page = H("page");
    Capture out(stdout);
    MemoryClassChoice choice = select_memory_class(&page);
    EXPECT_EQ(choice.constant, nullptr);
    EXPECT_EQ(choice.macro_number, 4);
    EXPECT_EQ(numbering.temp_counter, 4);
    EXPECT_EQ(out.text(),
              "IF Var.VALUE(\\page)==1\n\t&__V4=\"d\"\nELSE IF Var.VALUE(\\page)==2\n\t&__V4=\"io\"\nELSE\n\t"
              "&__V4=\"p\"\n");
}

TEST(MemoryClass, UnescapingTakesPairsFromTheLeft) {
    char text[] = "\"a\\\\b\\\\\\c\\\"";
    unescape_backslashes(text);
    EXPECT_STREQ(text, "\"a\\b\\\\c\\\"");
    char empty[] = "";
    unescape_backslashes(empty);
    EXPECT_STREQ(empty, "");
}

TEST(MemoryBuiltinContents, MemoryFillWidthsByTypeCode) {
    struct {
        GelParameter type;
        const char* width;
        const char* warning;
    } cases[] = {
        {C("0x0"), "%BYTE ", ""},
        {C("0xD"), "%BYTE ", ""},
        {C("0x13"), "%LONG ", ""},
        {C("0x20"), "%LONG ", "line 7: Warning: GEL_MemoryFill: Format \"float\" is not supported. Using \"long\" instead\n"},
        {C("0xB"), "%LONG ", "line 7: Warning: GEL_MemoryFill: Format \"pointer\" is not supported. Using \"long\" instead\n"},
        {C("0x11"), "%TBYTE ", ""},
        {C("0x15"), "%TWORD ",
         "line 7: Warning: GEL_MemoryFill: Format \"40-bit unsigned integer\" is not supported. Using \"48-bit integer\" instead\n"},
        {C("0x16"), "%TWORD ", ""},
        {C("0x1F"), "%QUAD ", ""},
        {C("0x28"), "%QUAD ",
         "line 7: Warning: GEL_MemoryFill: Format \"long double\" is not supported. Using \"long long\" instead\n"},
        {C("0x3"), "%WORD ", ""},
        {C("0x1A"), "%WORD ", ""},
        {C("0x29"), "%WORD ", ""},
        {C("0xFFFFFFFFFFFFFFFF"), "%WORD ", ""},
        {C("0x18UL"), "%QUAD ", ""},
        {C("(0x8)"), "%LONG ", ""},
        {C("12h"), "%LONG ", ""},
        {C("22"), "%TWORD ", ""},
        {C("-0x1"), "%WORD ", ""},
        {H("t"), "%WORD ",
         "line 7: Warning: GEL_MemoryFill: Fifth parameter should be a numeric constant to be convertable to QUERNA. "
         "Parameter \"t\" omitted.\n"},
        {C("0x1 + 1"), "%WORD ",
         "line 7: Warning: GEL_MemoryFill: Fifth parameter should be a numeric constant to be convertable to QUERNA. "
         "Parameter \"0x1 + 1\" omitted.\n"},
    };
    for (const auto& c : cases) {
        Call r = RUN(GEL_MemoryFill, {C("0x100"), C("0x1"), C("0x20"), C("0xFF"), c.type});
        EXPECT_FALSE(r.error);
        EXPECT_EQ(r.out, std::string("Data.Set d:") + kRange + " " + c.width + "Var.VALUE(0xFF)\n") << c.type.rd.text;
        EXPECT_EQ(r.err, c.warning) << c.type.rd.text;
    }
    Call r = RUN(GEL_MemoryFill, {C("0x100"), H("pg"), C("0x20"), H("v")}, 3);
    EXPECT_EQ(r.out,
              std::string("IF Var.VALUE(\\pg)==1\n\t&__V3=\"d\"\nELSE IF Var.VALUE(\\pg)==2\n\t&__V3=\"io\"\nELSE\n\t"
                          "&__V3=\"p\"\nDATA.SET &__V3:") +
                  kRange + " %WORD Var.VALUE(\\v)\n");
}

TEST(MemoryBuiltinContents, LoadSaveAndPatch) {
    Call r = RUN(GEL_MemoryLoad, {C("0x100"), C("0x2"), C("0x20"), Q("\"C:\\\\in.dat\"")});
    EXPECT_EQ(r.out, std::string("DATA.LOAD.AUTO Var.VALUE(\"C:\\in.dat\") io:") + kRange + "\n");
    r = RUN(GEL_MemoryLoad, {C("0x100"), H("pg"), C("0x20"), Q("\"in.dat\"")}, 1);
    EXPECT_EQ(r.out, std::string("IF Var.VALUE(\\pg)==1\n\t&__V1=\"d\"\nELSE IF Var.VALUE(\\pg)==2\n\t&__V1=\"io\"\n"
                                 "ELSE\n\t&__V1=\"p\"\nDATA.LOAD.AUTO Var.VALUE(\"in.dat\") &__V1:") +
                         kRange + "\n");

    r = RUN(GEL_MemorySave, {C("0x100"), C("0x0"), C("0x20"), Q("\"out.dat\"")});
    EXPECT_EQ(r.out, std::string("DATA.SAVE.ASCIIHEX Var.VALUE(\"out.dat\") p:") + kRange + "\n");
    EXPECT_EQ(r.err, "");
    r = RUN(GEL_MemorySave, {C("0x100"), C("0x1"), C("0x20"), Q("\"o\""), C("0x1"), C("0x1")});
    EXPECT_EQ(r.out, std::string("DATA.SAVE.ASCIIHEX Var.VALUE(\"o\") d:") + kRange + "\n");
    EXPECT_EQ(r.err,
              "line 7: Warning: GEL_MemorySave(): 'io_format' parameter not supported. Assuming default hexadecimal "
              "format.\n"
              "line 7: Warning: GEL_MemorySave(): 'append' parameter not supported. File always overwritten.\n");

    EXPECT_EQ(RUN(GEL_PatchAssembly, {C("0x200"), C("0x0"), Q("\"MOV R1, R2\"")}).out,
              "Data.Assemble p:(Var.VALUE(0x200)) MOV R1, R2\n");
    EXPECT_EQ(RUN(GEL_PatchAssembly, {C("0x200"), H("pg"), Omitted()}).out,
              "IF Var.VALUE(\\pg)==1\n\t&__V0=\"d\"\nELSE IF Var.VALUE(\\pg)==2\n\t&__V0=\"io\"\nELSE\n\t&__V0=\"p\"\n"
              "Data.Assemble &__V0:(Var.VALUE(0x200)) \n");
}

TEST(MemoryBuiltinMap, MapAddWritesTextsAsTheyStand) {
    EXPECT_EQ(RUN(GEL_MapAdd, {C("0x8000"), C("0x0"), C("0x1000"), C("0x1"), C("0x1")}).out,
              "MAP.Bus32 0x8000++0x1000\n");
    EXPECT_EQ(RUN(GEL_MapAdd, {H("base"), C("0x0"), make(RK_MACRO_TEMP, 2, nullptr), C("0x1"), Omitted()}).out,
              "MAP.Bus32 base++&__V2\n");
    EXPECT_EQ(RUN(GEL_MapOff, {}).out, "MAP.RESet\n");
    EXPECT_EQ(RUN(GEL_MapOff, {C("0x1")}).out, "MAP.RESet\n");
}
