#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/batch_files.h"
#include "driver/batch_outcome.h"
#include "driver/batch_report.h"

namespace {

std::vector<std::string> names(const std::vector<IncludeDirective>& found) {
    std::vector<std::string> out;
    for (const IncludeDirective& d : found) out.push_back(d.macro ? "macro" : (d.quoted ? "\"" : "<") + d.name);
    return out;
}

BatchScript script(const std::string& path, const std::string& err, const std::string* output) {
    BatchScript s;
    s.path = path;
    s.output = path.substr(0, path.size() - 3) + "cmm";
    s.outcome = read_outcome(0, "", err, output, nullptr);
    return s;
}

}  // namespace

TEST(BatchIncludes, OnlyDirectiveLinesOutsideCommentsAndLiterals) {
    const std::string text =
        "#include \"regs.gel\"\n"
        "  #  include <std.h>\n"
        "/* #include \"commented.gel\"\n"
        "   #include \"still_commented.gel\" */ #include \"after_comment.gel\"\n"
        "// #include \"line_comment.gel\"\n"
        "x = 1; #include \"not_first.gel\"\n"
        "GEL_TextOut(\"/* no comment\");\n"
        "#include \"../common/board.gel\"\n"
        "#include \"unterminated.gel\n"
        "#includes \"other.gel\"\n"
        "#include BOARD_REGS\n";
    EXPECT_EQ(names(scan_includes(text)),
              (std::vector<std::string>{"\"regs.gel", "<std.h", "\"after_comment.gel", "\"../common/board.gel",
                                        "macro"}));
    EXPECT_EQ(levels_climbed("../../common/board.gel"), 2);
    EXPECT_EQ(levels_climbed("sub/board.gel"), 0);
}

TEST(BatchOutcome, ReadsDiagnosticsOutputAndRegisterReport) {
    const std::string err =
        "line 3: Warning: GEL_MapOn() function is not supported by KALDRA.\n"
        "line 4: Warning: Call to undefined function \"Board_Init()\".\n"
        "line 9: Warning: Call to undefined function \"Board_Init()\".\n"
        "line 5: Warning: GEL_NotABuiltin() function is not supported by KALDRA.\n";
    const std::string output =
        "Setup:\n(\n"
        "\t//Line 3: GEL_MapOn() call - function not supported by KALDRA\n"
        "\t\t//Line 7: GEL_MapOn() call - function not supported by KALDRA\n"
        "\tDO ~~~~/periph/uart.cmm\n"
        "\tDO \"&path_t_cmm\" Reset_Board\n"
        "\tDO &path_t_cmm Configure &speed\n"
        "__L0:\n"
        "\tRETURN\n)\n";
    const std::string regs = "MCU: Demo8\n\nREGISTERS USED DURING CONVERSION:\n\n"
                             "[name]: PORTA, [address]: 0x00000020, [width]: 1 bytes, [address space]: memory space, "
                             "[line number in targets.def]: 2\n";
    ScriptOutcome o = read_outcome(0, "", err, &output, &regs);
    EXPECT_EQ(o.status, ScriptStatus::converted_with_warnings);
    EXPECT_EQ(o.warnings, 4);
    EXPECT_EQ(o.first_diagnostic, "line 3: Warning: GEL_MapOn() function is not supported by KALDRA.");
    // The output's comment lines count every call; the warning came once.
    ASSERT_EQ(o.unsupported_builtins.size(), 1u);
    EXPECT_EQ(o.unsupported_builtins[0].count, 2);
    ASSERT_EQ(o.undefined_calls.size(), 1u);
    EXPECT_EQ(o.undefined_calls[0].count, 2);
    EXPECT_EQ(o.load_references, std::vector<std::string>{"~~~~/periph/uart.cmm"});
    EXPECT_EQ(o.defined_functions, std::vector<std::string>{"Setup"});
    EXPECT_EQ(o.mcu, "Demo8");
    EXPECT_EQ(o.registers, std::vector<std::string>{"PORTA"});

    // Without an output, the reported calls are all that is known.
    ScriptOutcome failed = read_outcome(0, "", "line 2: Error: GEL_MapOn() function is not supported by KALDRA.\n",
                                        nullptr, nullptr);
    EXPECT_EQ(failed.status, ScriptStatus::error);
    EXPECT_EQ(failed.errors, 1);
    ASSERT_EQ(failed.unsupported_builtins.size(), 1u);
    EXPECT_EQ(failed.unsupported_builtins[0].count, 1);
    EXPECT_EQ(read_outcome(1, "", "\nFATAL INTERNAL ERROR at compiler, f(), line 3\n", nullptr, nullptr).errors, 1);
}

TEST(BatchReport, LoadReferencesResolveWithinTheOutputFolder) {
    EXPECT_EQ(load_reference_target("board/init.cmm", "~~~~/periph/uart.cmm"), "board/periph/uart.cmm");
    EXPECT_EQ(load_reference_target("board/init.cmm", "~~~~\\periph\\uart.cmm"), "board/periph/uart.cmm");
    EXPECT_EQ(load_reference_target("board/init.cmm", "~~~~/../common.cmm"), "common.cmm");
    EXPECT_EQ(load_reference_target("init.cmm", "~~~~/../common.cmm"), "");
    EXPECT_EQ(load_reference_target("init.cmm", "\"c:/ccs/gel/init.gel\""), "");
    EXPECT_EQ(load_reference_target("init.cmm", "~~~~/"), "");
}

TEST(BatchReport, MostFrequentBuiltinsFirstAndEscapedTexts) {
    const std::string one = "\t//Line 1: GEL_MapOn() call - function not supported by KALDRA\n"
                            "\t//Line 2: GEL_XMOn() call - function not supported by KALDRA\n"
                            "Helper:\n";
    const std::string two = "\t//Line 1: GEL_XMOn() call - function not supported by KALDRA\n"
                            "\t//Line 2: GEL_CancelTimer() call - function not supported by KALDRA\n";
    BatchReport report;
    report.scripts.push_back(script("a.gel", "", &one));
    report.scripts.push_back(script("b.gel", "line 1: Warning: Call to undefined function \"Helper()\".\n", &two));
    report.scripts.push_back(script("c.gel", "line 7: Error: a | b \"q\" \xff\x01\n", nullptr));
    std::string md = report_markdown(report), json = report_json(report);

    // GEL_XMOn twice, then the ties in name order.
    EXPECT_NE(md.find("| GEL_XMOn | 2 | a.gel (1), b.gel (1) |\n| GEL_CancelTimer | 1 | b.gel (1) |\n"
                      "| GEL_MapOn | 1 | a.gel (1) |\n"),
              std::string::npos);
    EXPECT_NE(md.find("| Helper | 1 | b.gel (1) | a.gel |"), std::string::npos);
    // A table cell escapes its bars; JSON escapes quotes and control characters,
    // and both read a byte outside UTF-8 as Latin-1.
    EXPECT_NE(md.find("| line 7: Error: a \\| b \"q\" \xc3\xbf\x01 |"), std::string::npos);
    EXPECT_NE(json.find("\"first_diagnostic\": \"line 7: Error: a | b \\\"q\\\" \xc3\xbf\\u0001\""), std::string::npos);
    EXPECT_NE(json.find("{\"name\": \"Helper\", \"calls\": 1, \"files\": [{\"path\": \"b.gel\", \"calls\": 1}], "
                        "\"defined_in\": [\"a.gel\"]}"),
              std::string::npos);
}
