// Coverage-guided fuzzing of the whole conversion run: each input is written to
// a scratch directory as a GEL script and converted in-process. A run must end
// with exit status 0, 1 or 2; sanitizer reports, crashes and hangs are findings.
// The first byte picks the options, so that -d, -w and -a are exercised too.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "driver/run.h"

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

    fatal_internal_error_seen = false;
    int status = run_conversion(static_cast<int>(args.size()), argv.data());
    if (status < 0 || status > 2) std::abort();
    if (fatal_internal_error_seen && !std::getenv("FUZZ_ALLOW_FATAL")) std::abort();
    return 0;
}
