// The scanner of targets.def lines against the POSIX extended regular
// expressions that describe the four kinds of line (case-insensitive), over
// hand-picked lines and many random ones built from the characters that
// matter.
#include <gtest/gtest.h>
#include <regex.h>

#include <random>
#include <string>

#include "driver/target_lines.h"

namespace {

struct Reference {
    regex_t register_line{}, section{}, ccs{}, blank{};
    Reference() {
        const int flags = REG_EXTENDED | REG_ICASE;
        regcomp(&register_line,
                "^[ \t]*([a-z_][a-z0-9_]*)[ \t]*,[ \t]*(0x[0-9a-f]+)[ \t]*,[ \t]*([123468])[ \t]*,[ \t]*([01])[ \t]*(\n)?$",
                flags);
        regcomp(&section, "^[ \t]*[[]([a-z_][a-z0-9_]*)[]][ \t]*(\n)?$", flags);
        regcomp(&ccs, "^[ \t]*--ccs--[ \t]*(\n)?$", flags);
        regcomp(&blank, "^[ \t]*(\n)?$", flags);
    }
    ~Reference() {
        regfree(&register_line);
        regfree(&section);
        regfree(&ccs);
        regfree(&blank);
    }
    static std::string group(const std::string& line, const regmatch_t& m) {
        return line.substr(static_cast<size_t>(m.rm_so), static_cast<size_t>(m.rm_eo - m.rm_so));
    }
    // The expected classification, written as the scanner's result is below.
    std::string classify(const std::string& line) const {
        regmatch_t m[6];
        if (regexec(&register_line, line.c_str(), 6, m, 0) == 0)
            return "register " + group(line, m[1]) + " " + group(line, m[2]) + " " + group(line, m[3]) + " " +
                   group(line, m[4]);
        if (regexec(&section, line.c_str(), 6, m, 0) == 0) return "section " + group(line, m[1]);
        if (regexec(&ccs, line.c_str(), 0, nullptr, 0) == 0) return "ccs";
        if (regexec(&blank, line.c_str(), 0, nullptr, 0) == 0) return "blank";
        return "unrecognized";
    }
};

std::string scanned(const std::string& line) {
    TargetLine t = classify_target_line(line);
    switch (t.kind) {
        case TargetLineKind::Register:
            return "register " + std::string(t.name) + " " + std::string(t.address) + " " + std::to_string(t.width) +
                   " " + std::to_string(t.memory_class);
        case TargetLineKind::Section: return "section " + std::string(t.name);
        case TargetLineKind::Ccs: return "ccs";
        case TargetLineKind::Blank: return "blank";
        case TargetLineKind::Unrecognized: break;
    }
    return "unrecognized";
}

}  // namespace

TEST(TargetLines, AgreeWithTheRegularExpressions) {
    Reference reference;
    const char* lines[] = {
        "PORTA,0x1F,1,0\n", "  porta , 0X1f ,\t8 , 1 \t\n", "_a9,0x0,3,1", "A,0x,1,0\n", "A,1F,1,0\n",
        "A,0x1,5,0\n", "A,0x1,1,2\n", "A,0x1,1,0,\n", "9A,0x1,1,0\n", "A,0x1g,1,0\n", "A,0x1,1,0\n\n",
        "A,0x1,1,0\r\n", "A 0x1,1,0\n", "[m]\n", " [Chip_2] \t\n", "[]\n", "[9m]\n", "[m]x\n", "[ m]\n",
        "--ccs--\n", " --CCS-- \n", "--ccs\n", "---ccs--\n", "--ccs--x\n", "\n", " \t \n", "", "x\n",
        "A,0x1,1,0 # note\n", "A,,0x1,1,0\n",
    };
    for (const char* line : lines) EXPECT_EQ(scanned(line), reference.classify(line)) << "line: " << line;

    const std::string alphabet = " \t,[]-_0x19aAfFgcCsSzZ\n\r";
    const char* seeds[] = {"A,0x1F,4,0", "[m]", "--ccs--", "  "};
    std::mt19937 random(12345);
    for (int i = 0; i < 20000; ++i) {
        std::string line = seeds[random() % 4];
        int edits = static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            size_t at = line.empty() ? 0 : random() % (line.size() + 1);
            char c = alphabet[random() % alphabet.size()];
            switch (random() % 3) {
                case 0: line.insert(at, 1, c); break;
                case 1: if (at < line.size()) line.erase(at, 1); break;
                default: if (at < line.size()) line[at] = c; break;
            }
        }
        if (random() % 2) line += '\n';
        ASSERT_EQ(scanned(line), reference.classify(line)) << "line: [" << line << "]";
    }
}
