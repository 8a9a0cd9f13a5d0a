// Coverage-guided fuzzing of the whole conversion run: each input is written to
// a scratch directory as a GEL script and converted in-process. A run must end
// with exit status 0, 1 or 2; sanitizer reports, crashes and hangs are findings.
// The first byte picks the options, so that -d, -w and -a are exercised too.
// With FUZZ_CHECK_OUTPUT set, a written script must also pass the output
// checker (calls of undefined functions that the run warned about aside).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "driver/run.h"
#include "output_checker.h"

namespace {

[[noreturn]] void throw_exit(int status) { throw RunExit{status}; }

bool setup() {
    char dir[] = "/tmp/gel2querna-fuzz.XXXXXX";
    if (!mkdtemp(dir)) std::abort();
    if (chdir(dir) != 0) std::abort();
    std::string tmp = std::string(dir) + "/tmp";
    mkdir(tmp.c_str(), 0700);
    setenv("TMPDIR", tmp.c_str(), 1);
    run_exit_hook = throw_exit;
    return true;
}

std::string read_file(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Aborts when the converted script holds a form that cannot run.
void check_output() {
    struct stat st;
    if (stat("out.cmm", &st) != 0) return;
    querna_check::CheckOptions options;
    options.excused_functions = querna_check::undefined_functions_in(read_file("diagnostics.txt"));
    const std::vector<querna_check::Finding> findings = querna_check::check_script(read_file("out.cmm"), options);
    for (const querna_check::Finding& f : findings)
        std::fprintf(stderr, "out.cmm:%d: %s: %s\n", f.line, std::string(querna_check::kind_name(f.kind)).c_str(),
                     f.text.c_str());
    if (!findings.empty()) std::abort();
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
    std::vector<std::string> args{"gel2querna"};
    if (selector & 1) args.push_back("-d");
    if (selector & 2) args.push_back("-w");
    if (selector & 4) args.push_back((selector & 8) ? "-aC55X" : "-aC64X");
    args.push_back("input.gel");
    args.push_back("out.cmm");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    static const bool check = std::getenv("FUZZ_CHECK_OUTPUT") != nullptr;
    int saved_stderr = -1;
    if (check) {  // keep the run's diagnostics for the checker
        std::remove("out.cmm");
        std::fflush(stderr);
        saved_stderr = dup(STDERR_FILENO);
        int fd = open("diagnostics.txt", O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd >= 0) {
            dup2(fd, STDERR_FILENO);
            close(fd);
        }
    }

    fatal_internal_error_seen = false;
    int status = run_conversion(static_cast<int>(args.size()), argv.data());

    if (check) {
        std::fflush(stderr);
        dup2(saved_stderr, STDERR_FILENO);
        close(saved_stderr);
    }
    if (status < 0 || status > 2) std::abort();
    if (fatal_internal_error_seen && !std::getenv("FUZZ_ALLOW_FATAL")) std::abort();
    if (check && status == 0) check_output();
    return 0;
}
