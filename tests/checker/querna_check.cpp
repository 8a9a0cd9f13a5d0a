// querna_check: reports what cannot run as written in converted QUERNA scripts.
//
//   querna_check [--excuse NAME]... [--warnings FILE]... SCRIPT...
//
// One finding per line, "SCRIPT:LINE: KIND: TEXT". --excuse names a subroutine
// that is called but defined nowhere; --warnings reads the converter's
// diagnostics and excuses every function of its "Call to undefined function"
// warnings. Exit status: 0 without findings, 1 with findings, 2 when a file
// cannot be read or the command line is wrong.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "output_checker.h"

namespace {

bool read_file(const char* path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return true;
}

int usage() {
    std::fputs("Usage: querna_check [--excuse NAME]... [--warnings FILE]... SCRIPT...\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    querna_check::CheckOptions options;
    std::vector<const char*> scripts;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--excuse") == 0 || std::strcmp(argv[i], "--warnings") == 0) {
            if (i + 1 >= argc) return usage();
            const bool excuse = argv[i][2] == 'e';
            const char* value = argv[++i];
            if (excuse) {
                options.excused_functions.emplace_back(value);
                continue;
            }
            std::string diagnostics;
            if (!read_file(value, diagnostics)) {
                std::fprintf(stderr, "querna_check: cannot read %s\n", value);
                return 2;
            }
            for (std::string& name : querna_check::undefined_functions_in(diagnostics))
                options.excused_functions.push_back(std::move(name));
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            return usage();
        } else {
            scripts.push_back(argv[i]);
        }
    }
    if (scripts.empty()) return usage();

    int status = 0;
    for (const char* path : scripts) {
        std::string text;
        if (!read_file(path, text)) {
            std::fprintf(stderr, "querna_check: cannot read %s\n", path);
            return 2;
        }
        for (const querna_check::Finding& f : querna_check::check_script(text, options)) {
            std::cout << path << ':' << f.line << ": " << querna_check::kind_name(f.kind) << ": " << f.text << '\n';
            status = 1;
        }
    }
    return status;
}
