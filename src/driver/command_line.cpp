#include "driver/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/characters.h"
#include "driver/diagnostics.h"
#include "driver/targets.h"

namespace {

struct ArchitectureName {
    const char* name;
    int code;
};

// In the order in which they are compared; the code is the register set.
const ArchitectureName kArchitectures[] = {
    {"C620X", 1},   {"C6201", 1},    {"C621X", 1},   {"C64X", 2},      {"C6416", 2},     {"C64X+", 3},
    {"C670X", 4},   {"C671X", 4},    {"C6713", 4},   {"C54X", 5},      {"C55X", 6},      {"C5510", 6},
    {"C28X", 7},    {"C28XFPU", 8},  {"C66X", 9},    {"C674X", 9},     {"CORTEXM", 10},  {"CORTEXA", 11},
    {"CORTEXR", 11},
};

// The usage printed with command-line errors names only the first twelve
// architectures and stays byte for byte as it always was; --help names all.
const char* const kArchitectureList = "{C620X,C6201,C621X,C64X,C6416,C64X+,C670X,C671X,C6713,C54X,C55X,C5510}";

const char* const kUsage =
    "GEL to QUERNA converter 2.5.8\n"
    "Usage: [-aARCH_NAME] [-tTARGET_NAME] [-r] [-d] <input_file> <output_file>\n"
    "d - Disable errors if not supported GEL function.\n"
    "a - Define architecture.\n"
    "\tARCH_NAME=%s\n"
    "r - Print to file \"<output_file>.regs\" list of MCU registers used during conversion.\n"
    "t - Define target MCU.\n"
    "w - Disable WindowName parameter in GEL_TextOut and GEL_TargetTextOut - all output will be "
    "redirected to default Kaldra AREA window.\n";

bool fail(const char* message) {
    std::fputs(message, stdout);
    print_usage();
    return false;
}

bool is_option_letter(const char* arg) {
    return arg[0] == '-' && arg[1] != '\0' && std::strchr("adrt", arg[1]) != nullptr;
}

void to_upper(char* text) {
    for (; *text; ++text) *text = ascii::upper(*text);
}

}  // namespace

void print_usage() { std::printf(kUsage, kArchitectureList); }

void print_help() {
    std::string list = "{";
    for (const auto& a : kArchitectures) {
        if (list.size() > 1) list += ',';
        list += a.name;
    }
    list += '}';
    std::printf(kUsage, list.c_str());
}

bool parse_command_line(int argc, char** argv, CommandLine* cl) {
    int args = argc - 1;
    if (args < 2) return fail("Too few parameters.\n");
    if (args > 6) return fail("Too many parameters.\n");
    architecture = 0;
    target_mcu_index = -1;

    if (args == 2) {
        if (is_option_letter(argv[1])) return fail("Output file not specified.\n");
        if (is_option_letter(argv[2])) return fail("Incorrect parameters.\n");
    } else {
        int options = args - 2;
        bool seen_a = false, seen_t = false, seen_d = false, seen_r = false, seen_w = false;
        // From the last option towards the first.
        for (int i = options; i >= 1; --i) {
            char* opt = argv[i];
            if (opt[0] != '-' || std::strlen(opt) < 2) return fail("Incorrect parameters.\n");
            switch (opt[1]) {
            case 'a': {
                if (seen_a || opt[2] == '\0') return fail("Incorrect parameters.\n");
                seen_a = true;
                to_upper(opt + 2);
                int code = 0;
                for (const auto& a : kArchitectures) {
                    if (std::strcmp(a.name, opt + 2) == 0) {
                        code = a.code;
                        break;
                    }
                }
                if (code == 0) return fail("Unknown architecture.\n");
                architecture = code;
                break;
            }
            case 't':
                if (seen_t || opt[2] == '\0') return fail("Incorrect parameters.\n");
                seen_t = true;
                to_upper(opt + 2);
                if (load_target_definitions(argv[0], opt + 2) != 0) terminate_run(1);
                cl->target_given = true;
                break;
            case 'd':
            case 'r':
            case 'w': {
                bool& seen = opt[1] == 'd' ? seen_d : opt[1] == 'r' ? seen_r : seen_w;
                if (seen && std::strlen(opt) > 2) return fail("Incorrect parameters.\n");
                seen = true;
                if (opt[1] == 'd') disable_unsupported_errors = true;
                if (opt[1] == 'r') cl->regs_requested = true;
                if (opt[1] == 'w') textout_window_disabled = true;
                break;
            }
            default:
                break;
            }
        }
        int distinct = seen_a + seen_t + seen_d + seen_r + seen_w;
        if (distinct != options) return fail("Incorrect parameters.\n");
    }
    cl->input = argv[argc - 2];
    cl->output = argv[argc - 1];
    return true;
}
