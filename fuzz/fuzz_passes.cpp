// Differential fuzzing of the text passes: every pass runs both ways, by its
// hand-written scan and by the reference pattern it stands for, and any
// difference is a finding. Condition conversion is compared the same way.
// Texts are held to the length the patterns may see.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

#include "rewrite/condition_tree.h"
#include "rewrite/pass_engines.h"

using namespace pass_engine;

namespace {

std::string yes_no(bool b) { return b ? "true" : "false"; }

// One pass, run with `engine`, its result as text.
using Pass = std::string (*)(const std::string& text, Engine engine);

std::string compound_address_of(const std::string& t, Engine e) {
    std::string address;
    bool found = compound_address(t, &address, e);
    return yes_no(found) + (found ? " " + address : "");
}
std::string parsed_condition(const std::string& t, Engine e) {
    try {
        CondExpression::parse_condition(t, e);
        return "parsed";
    } catch (const CondExpression::ParseError& error) {
        return error.what();
    }
}

struct NamedPass {
    const char* name;
    Pass pass;
};
const NamedPass kPasses[] = {
    {"contains_var_call", [](const std::string& t, Engine e) { return yes_no(contains_var_call(t, e)); }},
    {"contains_hll_temporary", [](const std::string& t, Engine e) { return yes_no(contains_hll_temporary(t, e)); }},
    {"numeric_constant", [](const std::string& t, Engine e) { return yes_no(numeric_constant(t, false, e)); }},
    {"numeric_constant negated", [](const std::string& t, Engine e) { return yes_no(numeric_constant(t, true, e)); }},
    {"macro_names", [](const std::string& t, Engine e) { return macro_names(t, e); }},
    {"value_calls 0", [](const std::string& t, Engine e) { return value_calls(t, 0, e); }},
    {"value_calls 1", [](const std::string& t, Engine e) { return value_calls(t, 1, e); }},
    {"remove_cast", [](const std::string& t, Engine e) { return remove_cast(t, e); }},
    {"undo_negation_backslash", [](const std::string& t, Engine e) { return undo_negation_backslash(t, e); }},
    {"compound_address", compound_address_of},
    {"parenthesise_hll_names", [](const std::string& t, Engine e) { return parenthesise_hll_names(t, e); }},
    {"value_comparison", [](const std::string& t, Engine e) { return yes_no(value_comparison(t, e)); }},
    {"masked_macro", [](const std::string& t, Engine e) { return yes_no(masked_macro(t, e)); }},
    {"data_long", [](const std::string& t, Engine e) { return data_long(t, e); }},
    {"wrap_temporaries", [](const std::string& t, Engine e) { return wrap_temporaries(t, e); }},
    {"parse_condition", parsed_condition},
    {"convert_condition", [](const std::string& t, Engine e) { return CondExpression::convert_condition_with(t, e); }},
};

}  // namespace

// The first byte picks the pass, the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size - 1 > kRegexTextLimit) return 0;
    const NamedPass& p = kPasses[data[0] % std::size(kPasses)];
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string by_pattern = p.pass(text, BY_PATTERN);
    std::string by_hand = p.pass(text, BY_HAND);
    if (by_pattern != by_hand) {
        std::fprintf(stderr, "%s differs on \"%s\":\n  by pattern: \"%s\"\n  by hand:    \"%s\"\n", p.name,
                     text.c_str(), by_pattern.c_str(), by_hand.c_str());
        std::abort();
    }
    return 0;
}
