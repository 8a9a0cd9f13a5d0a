#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "driver/diagnostics.h"
#include "driver/platform.h"
#include "driver/targets.h"
#include "test_support.h"

namespace {

using test_support::Capture;
using test_support::read_file;

// A scratch tree <root>/bin/<program>; targets.def goes to bin/ or to root.
struct Tree {
    std::string root;
    Tree() {
        char name[] = "/tmp/targets.XXXXXX";
        root = mkdtemp(name);
        mkdir((root + "/bin").c_str(), 0700);
    }
    ~Tree() {
        free_target_definitions();
        std::filesystem::remove_all(root);
    }
    std::string program() const { return root + "/bin/gel2querna"; }
    std::string beside() const { return root + "/bin/targets.def"; }
    std::string parent() const { return root + "/bin/../targets.def"; }
    void write(const std::string& path, const std::string& content) const {
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }
};

struct Load {
    int status;
    std::string out;
};

Load load(const Tree& tree, const std::string& content, const char* mcu) {
    tree.write(tree.beside(), content);
    Capture capture(stdout);
    int status = load_target_definitions_beside(tree.program().c_str(), mcu);
    return {status, capture.text()};
}

std::string unrecognized(int line, const Tree& tree) {
    return "Unrecognized line " + std::to_string(line) + " in targets.def file (" + tree.beside() + ").\n";
}

}  // namespace

TEST(TargetsLocation, BesideTheProgramComesBeforeTheParentDirectory) {
    Tree tree;
    tree.write(tree.root + "/targets.def", "[PARENT]\n");
    tree.write(tree.beside(), "[BESIDE]\n");
    Capture capture(stdout);
    EXPECT_EQ(load_target_definitions_beside(tree.program().c_str(), "BESIDE"), 0);
    EXPECT_EQ(target_mcu_index, 0);
    EXPECT_EQ(load_target_definitions_beside(tree.program().c_str(), "PARENT"), 1);
    std::remove(tree.beside().c_str());
    EXPECT_EQ(load_target_definitions_beside(tree.program().c_str(), "PARENT"), 0);
    // The cleaned copy lies beside the file that was read.
    EXPECT_EQ(read_file(tree.parent() + ".new"), "[PARENT]\n");
}

TEST(TargetsLocation, NeitherFileNamesTheParentPath) {
    Tree tree;
    Capture capture(stdout);
    EXPECT_EQ(load_target_definitions_beside(tree.program().c_str(), "X"), 1);
    EXPECT_EQ(capture.text(), "Couldn't open targets.def file: \"" + tree.parent() + "\"\n");
    EXPECT_EQ(target_mcu_index, -1);
}

TEST(TargetsLocation, OwnPathComesFromTheSystem) {
    std::string own = program_own_path("fallback");
    EXPECT_NE(own, "fallback");
    EXPECT_EQ(own.front(), '/');
}

TEST(TargetsLines, LetterCaseOfNamesAndAddresses) {
    Tree tree;
    Load r = load(tree, "[m]\nPORTA,0X1F,1,0\n", "M");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "");
    RegisterRecord rec;
    EXPECT_FALSE(find_register("porta", &rec));
    EXPECT_FALSE(find_register("Porta", nullptr));
    ASSERT_TRUE(find_register("PORTA", &rec));
    EXPECT_EQ(rec.name, "PORTA");
    EXPECT_EQ(rec.address, 0x1Fu);
    EXPECT_EQ(rec.width, 1);
    EXPECT_EQ(rec.memory_class, 0);
    EXPECT_EQ(rec.line, 2);
    EXPECT_EQ(read_file(tree.beside() + ".new"), "[m]\nPORTA,0x0000001F,1,0\n");
}

TEST(TargetsLines, SpacingBlankLinesAndAllWidths) {
    Tree tree;
    Load r = load(tree,
                  "\n  \t\n [ Bad ]\n", "X");
    EXPECT_EQ(r.out, unrecognized(3, tree));
    r = load(tree,
             "\t[Chip]  \n\n a , 0x1 , 1 , 0 \nb,0x2,2,1\nc,0x3,3,0\nd,0x4,4,0\ne,0x5,6,0\nf,0x6,8,0\n"
             "  --CCS--\t\n_g9,0xFFFFFFFF,4,1",
             "CHIP");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(read_file(tree.beside() + ".new"),
              "[Chip]\n_g9,0xFFFFFFFF,4,1\na,0x00000001,1,0\nb,0x00000002,2,1\nc,0x00000003,3,0\n"
              "d,0x00000004,4,0\ne,0x00000005,6,0\nf,0x00000006,8,0\n");
}

TEST(TargetsLines, MalformedLinesAreUnrecognisedWithTheirLineNumber) {
    Tree tree;
    const char* bad_third_lines[] = {
        "x,0x10,5,0\n",          // width 5
        "x,0x10,1,2\n",          // memory class 2
        "x,16,1,0\n",            // address without 0x
        "x,0x100000000,1,0\n",   // address beyond 32 bits
        "9x,0x10,1,0\n",         // name starting with a digit
        "// comment\n",          // no comment lines
        "x,0x10,1,0 trailing\n",
        "--ccs-- x\n",
    };
    for (const char* line : bad_third_lines) {
        Load r = load(tree, std::string("[m]\na,0x1,1,0\n") + line, "M");
        EXPECT_EQ(r.status, 1) << line;
        EXPECT_EQ(r.out, unrecognized(3, tree)) << line;
        EXPECT_EQ(target_mcu_index, -1);
    }
    // A line holding a NUL byte, and an over-long line.
    Load r = load(tree, std::string("[m]\na,0x1,1,0\0junk\n", 19), "M");
    EXPECT_EQ(r.out, unrecognized(2, tree));
    r = load(tree, "[m]\na" + std::string(10000, '_') + ",0x1,1,0\n", "M");
    EXPECT_EQ(r.out, unrecognized(2, tree));
    r = load(tree, "[m]\na" + std::string(9980, '_') + ",0x1,1,0\n", "M");
    EXPECT_EQ(r.status, 0) << r.out.substr(0, 100);
}

TEST(TargetsLines, RegisterBeforeAnySectionIsUnrecognised) {
    Tree tree;
    Load r = load(tree, "\nPORTA,0x1,1,0\n[m]\n", "M");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, unrecognized(2, tree));
}

TEST(TargetsLines, CrLfLoadsAsLf) {
    Tree tree;
    Load r = load(tree, "[m]\r\nA,0x1,1,0\r\n\r\n--ccs--\r\nA,0x2,2,1\r\nB,0x3,4,0\r\n", "M");
    ASSERT_EQ(r.status, 0) << r.out;
    std::string crlf = read_file(tree.beside() + ".new");
    r = load(tree, "[m]\nA,0x1,1,0\n\n--ccs--\nA,0x2,2,1\nB,0x3,4,0\n", "M");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(crlf, read_file(tree.beside() + ".new"));
    EXPECT_EQ(crlf, "[m]\nA,0x00000002,2,1\nB,0x00000003,4,0\n");
    // A lone CR inside a line is still not allowed.
    r = load(tree, "[m]\nA,0x1,\r1,0\n", "M");
    EXPECT_EQ(r.out, unrecognized(2, tree));
    // Empty lines anywhere, and a last line that is a lone CR, are blank.
    for (const char* content : {"\n[m]\n\nA,0x1,1,0\r\n\r", "[m]\r\nA,0x1,1,0\n\n", "\r\n[m]\nA,0x1,1,0\n\r\n\n\r"}) {
        r = load(tree, content, "M");
        ASSERT_EQ(r.status, 0) << r.out;
        EXPECT_EQ(read_file(tree.beside() + ".new"), "[m]\nA,0x00000001,1,0\n");
    }
}

TEST(TargetsMcus, DuplicateSectionsWithoutRegardToCase) {
    Tree tree;
    Load r = load(tree, "[abc]\n[x]\n[ABC]\n", "X");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Duplicated \"ABC\" mcu definition in targets.def at line 3 (" + tree.beside() + ").\n");
}

TEST(TargetsMcus, ChoiceIgnoresCaseAndReportKeepsTheWrittenName) {
    Tree tree;
    Load r = load(tree, "[First]\n[Abc]\nR,0x10,2,1\n", "ABC");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(target_mcu_index, 1);
    RegisterRecord rec;
    ASSERT_TRUE(find_register("R", &rec));
    std::string out = tree.root + "/out.cmm";
    write_register_report(out.c_str());
    EXPECT_EQ(read_file(out + ".regs"),
              "MCU: Abc\n\nREGISTERS USED DURING CONVERSION:\n\n"
              "[name]: R, [address]: 0x00000010, [width]: 2 bytes, [address space]: IO space, "
              "[line number in targets.def]: 3\n");
}

TEST(TargetsMcus, UnknownMcuListsTheAvailableOnes) {
    Tree tree;
    Load r = load(tree, "\n", "NOPE");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Specified target MCU \"NOPE\" not found in targets.def file (" + tree.beside() + ").\n\n");
    r = load(tree, "[One]\n[two]\n[THREE]\n", "NOPE");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Specified target MCU \"NOPE\" not found in targets.def file (" + tree.beside() +
                         ").\n\nAvailable MCUs: One two THREE\n");
    EXPECT_EQ(target_mcu_index, -1);
    // The cleaned copy is written before the MCU is chosen.
    EXPECT_EQ(read_file(tree.beside() + ".new"), "[One]\n[two]\n[THREE]\n");
}

TEST(TargetsMerge, CcsDefinitionWinsOverPlainOnes) {
    Tree tree;
    Load r = load(tree,
                  "[m]\nSYS,0x10,4,0\nOTHER,0x1,1,0\n--ccs--\nSYS,0x20,2,1\nLATE,0x30,4,0\n"
                  "[n]\n--ccs--\nSYS,0x20,2,1\n[o]\nSYS,0x99,4,0\n--ccs--\nSYS,0x20,4,0\nSYS,0x20,4,0\n",
                  "M");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(read_file(tree.beside() + ".new"),
              "[m]\nLATE,0x00000030,4,0\nOTHER,0x00000001,1,0\nSYS,0x00000020,2,1\n"
              "[n]\nSYS,0x00000020,2,1\n[o]\nSYS,0x00000020,4,0\n");
    RegisterRecord rec;
    ASSERT_TRUE(find_register("SYS", &rec));
    EXPECT_TRUE(rec.ccs);
    EXPECT_EQ(rec.address, 0x20u);
    EXPECT_EQ(rec.line, 5);  // the line of the definition in force
}

TEST(TargetsMerge, CcsEndsAtTheNextSection) {
    Tree tree;
    Load r = load(tree, "[m]\n--ccs--\n[n]\nA,0x1,1,0\nA,0x2,1,0\n", "M");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Duplicated registers with different addresses at lines 4 and 5 in targets.def (" +
                         tree.beside() + ").\n");
}

TEST(TargetsMerge, ConflictsOfEqualStandingAreReported) {
    Tree tree;
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"[m]\nA,0x1,1,0\nB,0x1,1,0\nA,0x1,2,0\n", "width at lines 2 and 4"},
        {"[m]\nA,0x1,1,0\nA,0x1,1,1\n", "memory class at lines 2 and 3"},
        {"[m]\n--ccs--\nA,0x1,1,0\nA,0x2,1,0\n", "addresses at lines 3 and 4"},
        // Two ccs definitions disagree although a plain one is present.
        {"[m]\nA,0x5,1,0\n--ccs--\nA,0x1,1,0\nA,0x1,4,0\n", "width at lines 4 and 5"},
    };
    for (const Case& c : cases) {
        Load r = load(tree, c.text, "M");
        EXPECT_EQ(r.status, 1) << c.text;
        EXPECT_EQ(r.out, std::string("Duplicated registers with different ") + c.message + " in targets.def (" +
                             tree.beside() + ").\n");
    }
    // Identical definitions are merged silently, three plain ones with a ccs one too.
    Load r = load(tree, "[m]\nA,0x1,1,0\nA,0x1,1,0\nA,0x1,1,0\n--ccs--\nA,0x7,8,1\n", "M");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(read_file(tree.beside() + ".new"), "[m]\nA,0x00000007,8,1\n");
}

TEST(TargetsLookup, HalvingFindsEveryNameOfTablesOfAnySize) {
    Tree tree;
    for (int size = 0; size <= 9; ++size) {
        std::string text = "[m]\n";
        // Names out of order, so that the table must be sorted; byte order puts
        // upper case before "_" before lower case.
        const char* names[] = {"z9", "r_", "a", "_x", "Zz", "Q", "M1", "B", "AA"};
        for (int i = 0; i < size; ++i) text += std::string(names[i]) + ",0x" + std::to_string(i + 1) + ",1,0\n";
        Load r = load(tree, text, "M");
        ASSERT_EQ(r.status, 0) << r.out;
        for (int i = 0; i < size; ++i) {
            RegisterRecord rec;
            ASSERT_TRUE(find_register(names[i], &rec)) << size << " " << names[i];
            EXPECT_EQ(rec.address, static_cast<uint32_t>(i + 1));
        }
        for (const char* missing : {"", "0", "A", "AB", "_", "zz", "~", "b"}) {
            EXPECT_FALSE(find_register(missing, nullptr)) << size << " " << missing;
        }
    }
    // High bytes compare as unsigned: a name above "z" is not found below it.
    EXPECT_FALSE(find_register("\xC3\xA9", nullptr));
}

TEST(TargetsReport, OnlyUsedRegistersAndOnlyLookupsWithARecordMarkThem) {
    Tree tree;
    Load r = load(tree, "[m]\nB,0x2,4,0\nA,0x1,1,1\nA,0x1,1,1\nC,0x3,3,0\n", "M");
    ASSERT_EQ(r.status, 0) << r.out;
    std::string out = tree.root + "/o.cmm";
    write_register_report(out.c_str());
    EXPECT_EQ(read_file(out + ".regs"), "MCU: m\n\nREGISTERS USED DURING CONVERSION:\n\n");

    EXPECT_TRUE(find_register("B", nullptr));
    RegisterRecord rec;
    EXPECT_TRUE(find_register("C", &rec));
    EXPECT_TRUE(find_register("A", &rec));
    EXPECT_TRUE(find_register("A", &rec));
    write_register_report(out.c_str());
    EXPECT_EQ(read_file(out + ".regs"),
              "MCU: m\n\nREGISTERS USED DURING CONVERSION:\n\n"
              "[name]: A, [address]: 0x00000001, [width]: 1 bytes, [address space]: IO space, "
              "[line number in targets.def]: 3\n"
              "[name]: C, [address]: 0x00000003, [width]: 3 bytes, [address space]: memory space, "
              "[line number in targets.def]: 5\n");
    // An MCU without registers finds nothing.
    r = load(tree, "[m]\n[e]\n", "E");
    ASSERT_EQ(r.status, 0);
    EXPECT_FALSE(find_register("A", &rec));
}
