// Condition conversion alone, as the code generator runs it, on texts of any
// length: it must never crash, overflow the stack or throw.
#include <string>

#include "rewrite/condition.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string condition(reinterpret_cast<const char*>(data), size);
    std::string converted = convert_condition(condition);
    if (!converted.empty()) wrap_hll_value(converted);
    return 0;
}
