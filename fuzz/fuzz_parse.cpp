// The scanner and the parser alone, over preprocessed text. A parse must end
// with 0, 1 or 2 (or a scanner failure's exit status 2) and leave a tree that
// can be released.
#include "frontend/frontend.h"
#include "fuzz_support.h"

namespace {

bool setup() {
    fuzz::setup_scratch();
    fuzz::discard_standard_output();
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = setup();
    (void)ready;
    fuzz::bind_input(data, size);
    // The parser keeps its own stack and the tree is released without
    // recursion: the main thread's stack is enough.
    tree = list_create();
    text_arena_reset();
    error_flag = 0;
    scanner_line = 1;
    scanner_reset();
    int status;
    try {
        status = parse();
    } catch (const RunExit& e) {
        status = e.status;
    }
    if (status < 0 || status > 2) std::abort();
    list_release(tree);
    tree = nullptr;
    text_arena_reset();
    return 0;
}
