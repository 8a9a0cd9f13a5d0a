// The pattern texts, exactly as the passes use them, and their compilation.
#include "rewrite/pattern_table.h"

#include <map>
#include <mutex>

#include "rewrite/patterns.h"

const char* const shared_pattern_source[SP_COUNT] = {
    R"re(^.*)re",
    R"re(\(\((.+)\)\?\((.+)\):\((.*)\)\))re",
    R"re(^data\.\w+)re",
    R"re(^[a-z_][a-z_0-9]*\(.*\))re",
    R"re(^@__[a-z_][a-z_0-9]*)re",
    R"re(^\\[a-z_][a-z_0-9]*)re",
    R"re(\(\*\(\(unsigned int \*\)((\\__[a-bA-B0-9_]+)|(\(.+\)))\)\))re",
    R"re(^[a-z_][a-z_0-9]*)re",
    R"re(^-?((0x[\da-f])|(\d))[\da-f]*(\.\d+)?)re",
    R"re(^((&&)|(\|\|)|(==)|(!=)|(<<)|(>>)|(<)|(<=)|(>)|(>=)|(\+)|(-)|(\*)|(/)|(%)|(-)|(&)|(\|)))re",
    R"re(^((\+)|(-)|(\*)|(/)|(%)|(-)|(<<)|(>>)|(&)|(\|))(?!((&)|(\|))))re",
    R"re(^((&)|(\|))(?!((&)|(\|))))re",
    R"re(^((\~)))re",
    R"re(^((&&)|(\|\|)|(==)|(!=)|(<)|(<=)|(>)|(>=))(?!((<)|(>))))re",
    R"re(^((&&)|(\|\|)))re",
    R"re(^((==)|(!=)|(<)|(<=)|(>)|(>=)))re",
    R"re(^((\!))(?!((=))))re",
    R"re(^((\!)|(~))(?!((=))))re",
    R"re(^var\.value\(.+?\))re",
    R"re(\\__[a-z])re",
    R"re(\bVar.\b)re",
};

const char* const kept_pattern_source[KP_COUNT] = {
    R"re(var\.value)re",
    R"re([\\&_a-z\d.]+)re",
    R"re([a-z0-9_]+)re",
    R"re(\(.+\)(\\[\w\d_]+))re",
    R"re(^((\(-)|(\()|(-))?(0x)?[\da-f]+(\.\d+)?\)?\.?$)re",
    R"re(^\(?!?((\(-)|(\()|(-))?(0x)?[\da-f]+(\.\d+)?\)?\)?\.?$)re",
    R"re(\(var\.value\(\\[\w\d]+\)((!=)|(==)|(>)|(>=)|(<)|(<=))(var\.value\(\\[\w\d]+\)\))|((0x)?[\\da-f]+))re",
    R"re(\(\(&__V\d+&var\.value\(\\[\w\d]+\)\)((!=)|(==)|(>)|(>=)|(<)|(<=))(0x)?[\da-f]+\))re",
};

const char* const wrap_temporary_source = R"re((\\__[a-z]))re";
const char* const wrap_skip_value_source = R"re(Var\.[Vv][Aa][Ll][Uu][Ee]\([^)]*\)|\\(\__[a-z]))re";
const char* const hll_reference_source = R"re((\\[a-zA-Z0-9_]+))re";
const char* const negated_macro_source = R"re(!\\&)re";
const char* const complemented_macro_source = R"re(~\\&)re";
const char* const data_long_source = R"re(Data.Long\(D:)re";
const char* const unsigned_long_cast_source = R"re(\(unsigned long\))re";
const char* const pointer_compound_source = R"re(\(\*\(\(unsigned int\s+\*\)(\(?)((.*)?&__\w+)\))re";

namespace {

constexpr auto kCaseless = std::regex::ECMAScript | std::regex::icase;

std::once_flag shared_once;
std::regex shared_compiled[SP_COUNT];

std::once_flag kept_once[KP_COUNT];
std::regex kept_compiled[KP_COUNT];

}  // namespace

void init_shared_patterns() {
    std::call_once(shared_once, [] {
        for (int i = 0; i < SP_COUNT; ++i) shared_compiled[i] = std::regex(shared_pattern_source[i], kCaseless);
    });
}

const std::regex& shared_pattern(SharedPattern which) {
    init_shared_patterns();
    return shared_compiled[which];
}

const std::regex& kept_pattern(KeptPattern which) {
    std::call_once(kept_once[which],
                   [which] { kept_compiled[which] = std::regex(kept_pattern_source[which], kCaseless); });
    return kept_compiled[which];
}

const std::regex& per_call_pattern(const char* source) {
    static std::mutex guard;
    static std::map<const char*, std::regex> compiled;
    std::lock_guard<std::mutex> lock(guard);
    auto found = compiled.find(source);
    if (found == compiled.end()) found = compiled.emplace(source, std::regex(source, std::regex::ECMAScript)).first;
    return found->second;
}
