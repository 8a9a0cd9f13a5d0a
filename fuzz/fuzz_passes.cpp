// Differential fuzzing of the text passes: every pass runs both ways, by its
// hand-written scan and by the reference patterns it stands for (the tests'
// pattern_passes.h), and any difference is a finding. Condition conversion
// and the return-statement tests are compared the same way. Texts are held
// to the length the patterns may see.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "pattern_passes.h"

// The first byte picks the pass, the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size - 1 > kRegexTextLimit) return 0;
    const auto passes = by_pattern::pass_pairs();
    const by_pattern::PassPair& p = passes[data[0] % passes.size()];
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string by_pattern = p.reference(text);
    std::string by_scan = p.scan(text);
    if (by_pattern != by_scan) {
        std::fprintf(stderr, "%s differs on \"%s\":\n  by pattern: \"%s\"\n  by scan:    \"%s\"\n", p.name,
                     text.c_str(), by_pattern.c_str(), by_scan.c_str());
        std::abort();
    }
    return 0;
}
