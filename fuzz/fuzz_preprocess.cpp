// The preprocessor alone: both passes of a conversion (the script, then the
// subroutines that macro conversion wrote into the macro file). A run must
// end with 0 or 1; sanitizer reports, crashes and hangs are findings.
#include <unistd.h>

#include "fuzz_support.h"
#include "preprocessor/preprocessor.h"

namespace {

const char* const kMacroFile = "macro_file.dts";

bool setup() {
    fuzz::setup_scratch();
    fuzz::discard_standard_output();
    return true;
}

int preprocess_both_passes() {
    int status = run_preprocessor(kMacroFile);
    if (status != 0 || access(kMacroFile, R_OK) != 0) return status;
    if (!std::freopen(kMacroFile, "r", stdin)) std::abort();
    return run_preprocessor(kMacroFile);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = setup();
    (void)ready;
    fuzz::bind_input(data, size);
    unlink(kMacroFile);
    preprocessor_reset();
    int status;
    try {
        status = preprocess_both_passes();
    } catch (const RunExit& e) {
        status = e.status;
    }
    if (status != 0 && status != 1) std::abort();
    free_macro_table();
    return 0;
}
