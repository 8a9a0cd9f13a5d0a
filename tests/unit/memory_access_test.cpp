// Core register sets, @-form reads, peripheral registers of a target, the
// dereference forms and the writes, compound assignments and steps of
// register and memory targets.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "compiler/memory_access.h"
#include "driver/targets.h"
#include "expressions_test_support.h"

using namespace expressions_test;

namespace {

TEST(CoreRegisters, SetsHaveTheirSizesInByteOrder) {
    const int sizes[12] = {0, 41, 75, 90, 42, 24, 57, 42, 52, 98, 23, 18};
    for (int set = 1; set <= 11; ++set) {
        int count = 0;
        const char* const* names = core_register_set(set, &count);
        EXPECT_EQ(count, sizes[set]) << "set " << set;
        for (int i = 1; i < count; ++i) EXPECT_LT(std::strcmp(names[i - 1], names[i]), 0) << names[i];
    }
    int count = 5;
    EXPECT_EQ(core_register_set(0, &count), nullptr);
    EXPECT_EQ(count, 0);
    count = 5;
    EXPECT_EQ(core_register_set(12, &count), nullptr);
    EXPECT_EQ(count, 0);
}

TEST(CoreRegisters, LookupIsExactAndBySet) {
    struct Case {
        int set;
        const char* name;
        bool found;
    } cases[] = {
        {0, "A0", false},   {1, "A15", true},   {1, "A16", false}, {1, "NRP", true},    {2, "B31", true},
        {2, "b12", false},  {2, "DIER", true},  {3, "TSCL", true}, {3, "GPLYB", true},  {4, "FMCR", true},
        {4, "A16", false},  {5, "A", true},     {5, "AR7", true},  {5, "A0", false},    {6, "XSP", true},
        {6, "AC0", true},   {6, "AC4", false},  {6, "", false},    {3, "PC", true},     {2, "PC", false},
        {7, "ST1", true},   {7, "XAR7", true},  {7, "R0H", false}, {8, "R0H", true},    {8, "STF", true},
        {9, "TSR", true},   {3, "TSR", false},  {9, "FMCR", true}, {9, "GFPGFR", true}, {10, "XPSR", true},
        {10, "R13", false}, {10, "CPSR", false}, {11, "CPSR", true}, {11, "XPSR", false}, {11, "R12", true},
    };
    for (const Case& c : cases) {
        architecture = c.set;
        EXPECT_EQ(is_core_register(c.name), c.found) << c.set << " " << c.name;
    }
    architecture = 0;
}

TEST(MemoryForms, TheTwentyFourTokensMapOntoAccessTypes) {
    const uint32_t expected[24] = {0x11,  0x12,  0x14,  0x18,  0x21,  0x22,  0x24,  0x28,
                                   0x41,  0x42,  0x44,  0x48,  0x811, 0x812, 0x814, 0x818,
                                   0x821, 0x822, 0x824, 0x828, 0x841, 0x842, 0x844, 0x848};
    for (int i = 0; i < 24; ++i) EXPECT_EQ(at_access_type(ID_AT_FIRST + i), expected[i]) << i;
    EXPECT_EQ(at_access_type(ID_COMMENT), 0u);
}

class MemoryAccessTest : public ExpressionTest {
protected:
    // A target with registers of each width, one in io space.
    void load_target() {
        char dir[] = "/tmp/memtarget.XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        directory_ = dir;
        std::ofstream(directory_ + "/targets.def") << "[TESTMCU]\n"
                                                      "R8, 0x0020, 1, 0\n"
                                                      "R16, 0x0030, 2, 0\n"
                                                      "R24, 0x0040, 3, 0\n"
                                                      "R32, 0x40004000, 4, 0\n"
                                                      "R48, 0x0050, 6, 0\n"
                                                      "R64, 0x0060, 8, 0\n"
                                                      "IOREG, 0x0010, 2, 1\n"
                                                      "B12, 0x0070, 4, 0\n";
        test_support::Capture out(stdout);
        ASSERT_EQ(load_target_definitions_beside((directory_ + "/gel2querna").c_str(), "TESTMCU"), 0);
    }
    void TearDown() override {
        free_target_definitions();
        if (!directory_.empty()) std::system(("rm -rf " + directory_).c_str());
        ExpressionTest::TearDown();
    }
    std::string directory_;
};

TEST_F(MemoryAccessTest, AtFormsReadIntoTypedTemporaries) {
    const char* types[24] = {"char", "short", "int", "long long", "char", "short", "int", "long long",
                             "char", "short", "int", "long long", "unsigned char", "unsigned short",
                             "unsigned int", "unsigned long long", "unsigned char", "unsigned short",
                             "unsigned int", "unsigned long long", "unsigned char", "unsigned short",
                             "unsigned int", "unsigned long long"};
    for (int i = 0; i < 24; ++i) {
        Converted r = convert(at(i, "0x100"));
        EXPECT_EQ(r.kind, RK_MEMORY_TEMP);
        EXPECT_EQ(r.rd.number, i);
        EXPECT_EQ(r.text(), "0x100");
        std::string n = std::to_string(i);
        EXPECT_NE(r.out.find("Var.NEW " + std::string(types[i]) + " \\__V" + n + "\n"), std::string::npos) << r.out;
    }
    Converted r = convert(at(18, "0x1000"));
    EXPECT_EQ(r.out,
              "&__MEMORY_VALUE=data.long(d:0x1000)\n"
              "Var.NEW unsigned int \\__V24\n"
              "Var.Assign \\__V24=&__MEMORY_VALUE\n");
    EXPECT_EQ(convert(at(11, "&__A")).out.substr(0, 34), "&__MEMORY_VALUE=data.quad(io:&__A)");
}

TEST_F(MemoryAccessTest, PeripheralRegistersByWidthAndSpace) {
    load_target();
    Converted r = convert("R24");
    EXPECT_EQ(r.kind, RK_PERIPHERAL_REGISTER_TEMP);
    EXPECT_EQ(r.rd.reg_address, 0x40u);
    EXPECT_EQ(r.rd.reg_width, 3u);
    EXPECT_EQ(r.out,
              "&__REGISTER_VALUE=data.tbyte(d:0x00000040)\n"
              "Var.NEW unsigned long \\__V0\n"
              "Var.ASSIGN \\__V0=&__REGISTER_VALUE\n");
    EXPECT_EQ(convert("IOREG").out.substr(0, 43), "&__REGISTER_VALUE=data.word(io:0x00000010)\n");
    EXPECT_EQ(convert("r8").kind, RK_TEXT);  // exact spelling
    // Address and width of a register.
    EXPECT_EQ(convert("&R32").text(), "(0x40004000)");
    EXPECT_EQ(convert("sizeof R48").text(), "(6)");
    EXPECT_EQ(convert("-R64").text(), "(-\\__V4)");
    // A name in both the -a set and the target is a core register.
    architecture = 2;
    EXPECT_EQ(convert("B12").kind, RK_CORE_REGISTER_TEMP);
}

TEST_F(MemoryAccessTest, WritesAndCompoundAssignmentsByTargetAndRightKind) {
    load_target();
    architecture = 1;
    global("x");
    // Each group converts from temporary 0 on; the last line written is the write.
    struct Case {
        const char* gel;
        const char* last_line;
    };
    const std::vector<std::vector<Case>> groups = {
        {
            {"IOREG = R24", "DATA.SET io:0x00000010 %WORD data.tbyte(d:0x00000040)\n"},
            {"R16 = f()", "DATA.SET d:0x00000030 %WORD &__V3\n"},
            {"R8 = x", "DATA.SET d:0x00000020 %BYTE Var.VALUE(\\x)\n"},
            {"R48 = A0", "DATA.SET d:0x00000050 %TWORD register(A0)\n"},
            {"R64 = *(short*)0x8@data", "DATA.SET d:0x00000060 %QUAD Var.VALUE(\\__V8)\n"},
            {"R32 = x + 0x1", "DATA.SET d:0x40004000 %LONG Var.VALUE((\\x+0x1))\n"},
        },
        {
            {"A1 = R8", "REGISTER.SET A1 data.byte(d:0x00000020)\n"},
            {"A1 = f()", "REGISTER.SET A1 &__V3\n"},
            {"A1 = x", "REGISTER.SET A1 Var.VALUE(\\x)\n"},
            {"A1 = B2", "REGISTER.SET A1 register(B2)\n"},
            {"A1 = *(char*)0x1@prog", "REGISTER.SET A1 V.VALUE(\\__V8)\n"},
            {"A1 = 0x5", "REGISTER.SET A1 V.VALUE(0x5)\n"},
            {"*(unsigned short*)0x100@data = x", "Data.Set d:(0x100) %WORD Var.VALUE((unsigned short)(\\x))\n"},
            {"*(long long*)0x100@prog = f()", "Data.Set p:(0x100) %QUAD Var.VALUE((long long)(&__V12))\n"},
            {"*(int*)0x4@io = A2", "Data.Set io:(0x4) %LONG Var.VALUE((int)(\\__V14))\n"},
            // Text with a percent sign is written as it stands.
            {"*(unsigned char*)0x4@io = x % 0x3", "Data.Set io:(0x4) %BYTE Var.VALUE((unsigned char)((\\x%0x3)))\n"},
        },
        {
            {"R16 += A0", "DATA.SET d:0x00000030 %WORD Var.VALUE((\\__V0)+(\\__V1))\n"},
            {"IOREG |= 0x1", "DATA.SET io:0x00000010 %WORD Var.VALUE((\\__V2)|(0x1))\n"},
            {"A0 -= x", "REGISTER.SET A0 Var.VALUE((\\__V3)-(\\x))\n"},
            {"A0 <<= f()", "REGISTER.SET A0 Var.VALUE((\\__V4)<<(&__V5))\n"},
            {"*(int*)0x200@data &= 0xFF", "DATA.SET d:(0x200) %LONG V.VALUE((int)((\\__V6)&(0xFF)))\n"},
            {"*(unsigned short*)0x200@prog ^= (x + 0x1)",
             "DATA.SET p:(0x200) %WORD V.VALUE((unsigned short)((\\__V7)^(Var.VALUE(\\x)+0x1)))\n"},
        },
    };
    for (const std::vector<Case>& group : groups) {
        numbering.temp_counter = 0;
        for (const Case& c : group) {
            std::string out = convert(c.gel).out;
            EXPECT_EQ(out.substr(out.rfind('\n', out.size() - 2) + 1), c.last_line) << c.gel;
        }
    }
}

TEST_F(MemoryAccessTest, StepsOfPeripheralRegistersAndMemory) {
    load_target();
    Converted r = convert("++R24");
    EXPECT_EQ(r.kind, RK_PERIPHERAL_REGISTER_TEMP);
    EXPECT_EQ(r.out.substr(r.out.find("DATA.SET")),
              "DATA.SET d:0x00000040 %TBYTE (data.tbyte(d:0x00000040)+1)\n"
              "&__REGISTER_VALUE=data.tbyte(d:0x00000040)\n"
              "Var.Assign \\__V0=&__REGISTER_VALUE\n");
    r = convert("IOREG--");
    EXPECT_EQ(r.kind, RK_MACRO_TEMP);
    EXPECT_EQ(r.rd.number, 1);
    EXPECT_EQ(r.out.substr(r.out.find("&__V1=")),
              "&__V1=Var.VALUE(\\__V2)\n"
              "Data.Set io:0x00000010 %WORD (data.word(io:0x00000010)-1)\n");
    r = convert(at(16, "0x100") + "++");
    EXPECT_EQ(r.out.substr(r.out.find("&__V3=")),
              "&__V3=Var.VALUE(\\__V4)\n"
              "Data.Set d:(0x100) %BYTE (data.byte(d:0x100)+1)\n");
    architecture = 4;
    r = convert("--A3");
    EXPECT_EQ(r.out.substr(r.out.find("REGISTER.SET")),
              "REGISTER.SET A3 (register(A3)-1)\n"
              "&__REGISTER_VALUE=register(A3)\n"
              "VAR.ASSIGN \\__V5=&__REGISTER_VALUE\n");
    r = convert("A3++");
    EXPECT_EQ(r.out.substr(r.out.find("&__V6=")), "&__V6=Var.VALUE(\\__V7)\nRegister.Set A3 (register(A3)+1)\n");
}

TEST_F(MemoryAccessTest, DereferenceFormsByDerefMode) {
    global("p");
    expression_state.deref_mode = DEREF_FUNCTION_FORM;
    Converted r = convert("*(unsigned char *)0x200");
    EXPECT_EQ(r.text(), "Data.Byte(D:(0x200))");
    EXPECT_TRUE(r.rd.type_flags & TF_DEREF_AS_TEXT);
    EXPECT_FALSE(expression_state.drop_next_cast);

    struct Case {
        int mode;
        const char* operand;
        const char* expected;
    } cases[] = {
        {DEREF_FUNCTION_FORM, "p", "Data.Long(D:Var.Value(\\p))"},
        {DEREF_FUNCTION_FORM, "f()", "Data.Long(D:(&__V0))"},
        {DEREF_HLL_FORM, "p", "\\Data_Long(\\p)"},
        {DEREF_HLL_FORM, "0x10", "\\Data_Long(0x10)"},
        {DEREF_FUNCTION_FORM | DEREF_DROP_CAST, "(long *)q", "Data.Quad(D:(q))"},
        {DEREF_HLL_FORM | DEREF_DROP_CAST, "(short *)q", "\\Data_Word((q))"},
        {DEREF_FUNCTION_FORM, "(long long *)q", "Data.Quad(D:(q))"},
        {DEREF_HLL_FORM | DEREF_DROP_CAST, "(short int *)q", "\\Data_Word((q))"},
        {DEREF_HLL_FORM | DEREF_DROP_CAST, "(unsigned long int *)q", "\\Data_Quad((q))"},
        {DEREF_FUNCTION_FORM, "(float *)q", "Data.TYPE_ERROR(D:(q))"},
        {DEREF_FUNCTION_FORM, "(unsigned *)q", "Data.Long(D:((unsigned *)q))"},
        {DEREF_FUNCTION_FORM, "(*(int*)0x10@data)", "Data.Long(D:(\\__V1))"},
    };
    for (Case& c : cases) {
        expression_state.deref_mode = c.mode;
        r = convert(std::string("*") + c.operand);
        EXPECT_EQ(r.text(), c.expected);
        EXPECT_EQ(expression_state.drop_next_cast, (c.mode & DEREF_DROP_CAST) != 0) << c.expected;
        expression_state.drop_next_cast = false;
    }
}

}  // namespace
