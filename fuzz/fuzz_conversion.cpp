// Coverage-guided fuzzing of the whole conversion run: each input is written to
// a scratch directory as a GEL script and converted in-process. A run must end
// with exit status 0, 1 or 2; sanitizer reports, crashes and hangs are findings.
// The first byte picks the options, so that -d, -w and -a are exercised too.
//
// The oracle: a script the run writes is checked by the output checker
// (tests/checker), excusing the calls of undefined functions the run warned
// about. FUZZ_CHECK_OUTPUT chooses how much of it counts:
//   unset or 0  no check;
//   baseline    findings of the kinds that tests/checker/known_findings.txt
//               still lists for real scripts, and of the kinds named in
//               setup_checker, are tolerated; any other is a finding (the
//               default of scripts/test.sh);
//   1           every finding counts.
#include <sanitizer/common_interface_defs.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "driver/run.h"
#include "fuzz_support.h"

#ifdef GEL2QUERNA_CHECKER
#include "output_checker.h"
#endif

namespace {

std::string read_all(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

#ifdef GEL2QUERNA_CHECKER
enum class CheckerMode { off, baseline, all };
CheckerMode checker_mode = CheckerMode::off;
std::set<std::string> tolerated_kinds;

void setup_checker() {
    const char* mode = std::getenv("FUZZ_CHECK_OUTPUT");
    std::string m = mode ? mode : "";
    checker_mode = m == "1" ? CheckerMode::all : m == "baseline" ? CheckerMode::baseline : CheckerMode::off;
    // Kinds the converter still writes for generated inputs that real scripts no
    // longer show (fuzz/findings/README.md): tolerated until they are fixed.
    for (const char* kind : {"unset-macro", "unset-temporary", "empty-operand"})
        tolerated_kinds.insert(kind);
    std::istringstream known(read_all(GEL2QUERNA_SOURCE_DIR "/tests/checker/known_findings.txt"));
    for (std::string line; std::getline(known, line);) {
        if (line.empty() || line[0] == '#') continue;
        size_t a = line.find('\t'), b = line.find('\t', a + 1);
        if (a != std::string::npos && b != std::string::npos) tolerated_kinds.insert(line.substr(a + 1, b - a - 1));
    }
}

void check_output(const std::string& script, const std::string& diagnostics) {
    if (checker_mode == CheckerMode::off) return;
    querna_check::CheckOptions options;
    options.excused_functions = querna_check::undefined_functions_in(diagnostics);
    bool failed = false;
    for (const auto& f : querna_check::check_script(script, options)) {
        std::string kind(querna_check::kind_name(f.kind));
        if (checker_mode == CheckerMode::baseline && tolerated_kinds.count(kind)) continue;
        std::fprintf(stderr, "output checker: line %d: %s: %s\n", f.line, kind.c_str(), f.text.c_str());
        failed = true;
    }
    if (failed) std::abort();
}
#endif

// The converter's diagnostics are kept for the oracle instead of printed.
// Where standard error is still the console (a reproduction by hand), the
// sanitizers keep reporting there.
int diagnostics_fd = -1;
int console_fd = -1;

bool is_dev_null(int fd) {
    struct stat a, b;
    return fstat(fd, &a) == 0 && stat("/dev/null", &b) == 0 && a.st_rdev == b.st_rdev && S_ISCHR(a.st_mode);
}

bool setup() {
    fuzz::setup_scratch();
    diagnostics_fd = memfd_create("fuzz-diagnostics", 0);
    console_fd = dup(STDERR_FILENO);
    if (diagnostics_fd < 0 || console_fd < 0) std::abort();
    if (!is_dev_null(STDERR_FILENO)) __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<intptr_t>(console_fd)));
#ifdef GEL2QUERNA_CHECKER
    setup_checker();
#endif
    return true;
}

std::string captured_diagnostics() {
    std::fflush(stderr);
    off_t size = lseek(diagnostics_fd, 0, SEEK_END);
    std::string text(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (!text.empty() && pread(diagnostics_fd, text.data(), text.size(), 0) < 0) text.clear();
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = setup();
    (void)ready;
    uint8_t selector = size > 0 ? data[0] : 0;
    if (FILE* f = std::fopen("input.gel", "wb")) {
        if (size > 1) std::fwrite(data + 1, 1, size - 1, f);
        std::fclose(f);
    }
    unlink("out.cmm");
    std::vector<std::string> args{"gel2querna"};
    if (selector & 1) args.push_back("-d");
    if (selector & 2) args.push_back("-w");
    if (selector & 4) args.push_back((selector & 8) ? "-aC55X" : "-aC64X");
    args.push_back("input.gel");
    args.push_back("out.cmm");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::fflush(stderr);
    if (ftruncate(diagnostics_fd, 0) != 0 || dup2(diagnostics_fd, STDERR_FILENO) < 0) std::abort();
    fatal_internal_error_seen = false;
    int status = run_conversion(static_cast<int>(args.size()), argv.data());
    std::string diagnostics = captured_diagnostics();
    dup2(console_fd, STDERR_FILENO);

    if (status < 0 || status > 2) std::abort();
    if (fatal_internal_error_seen && !std::getenv("FUZZ_ALLOW_FATAL")) {
        std::fprintf(stderr, "%s", diagnostics.c_str());
        std::abort();
    }
#ifdef GEL2QUERNA_CHECKER
    if (status == 0 && access("out.cmm", F_OK) == 0) check_output(read_all("out.cmm"), diagnostics);
#endif
    return 0;
}
