// The pattern texts and their compilation.
#include "pattern_table.h"

#include <vector>

namespace {

struct Row {
    Pattern which;
    bool caseless;
    const char* source;
};

constexpr Row kRows[P_COUNT] = {
    {P_DATA_ACCESS, true, R"re(^data\.\w+)re"},
    {P_VALUE_CALL, true, R"re(^var\.value\(.+?\))re"},
    {P_HLL_NAME, true, R"re(^\\[a-z_][a-z_0-9]*)re"},
    {P_MACRO_NAME, true, R"re(^@__[a-z_][a-z_0-9]*)re"},
    {P_FUNCTION_CALL, true, R"re(^[a-z_][a-z_0-9]*\(.*\))re"},
    {P_IDENTIFIER, true, R"re(^[a-z_][a-z_0-9]*)re"},
    {P_NUMBER, true, R"re(^-?((0x[\da-f])|(\d))[\da-f]*(\.\d+)?)re"},
    {P_OPERATOR, true,
     R"re(^((&&)|(\|\|)|(==)|(!=)|(<<)|(>>)|(<)|(<=)|(>)|(>=)|(\+)|(-)|(\*)|(/)|(%)|(-)|(&)|(\|)))re"},
    {P_UNARY_OPERATOR, true, R"re(^((\!)|(~))(?!((=))))re"},
    {P_RETURN_DEREFERENCE, true, R"re(\(\*\(\(unsigned int \*\)((\\__[a-bA-B0-9_]+)|(\(.+\)))\)\))re"},
    {P_HLL_TEMPORARY, true, R"re(\\__[a-z])re"},
    {P_VAR_CALL, true, R"re(\bVar.\b)re"},
    {P_MACRO_WORD, true, R"re([\\&_a-z\d.]+)re"},
    {P_NAME, true, R"re([a-z0-9_]+)re"},
    {P_CAST_BEFORE_HLL, true, R"re(\(.+\)(\\[\w\d_]+))re"},
    {P_NUMERIC, true, R"re(^((\(-)|(\()|(-))?(0x)?[\da-f]+(\.\d+)?\)?\.?$)re"},
    {P_NUMERIC_NEGATION, true, R"re(^\(?!?((\(-)|(\()|(-))?(0x)?[\da-f]+(\.\d+)?\)?\)?\.?$)re"},
    {P_VALUE_COMPARISON, true,
     R"re(\(var\.value\(\\[\w\d]+\)((!=)|(==)|(>)|(>=)|(<)|(<=))(var\.value\(\\[\w\d]+\)\))|((0x)?[\\da-f]+))re"},
    {P_MASKED_MACRO, true,
     R"re(\(\(&__V\d+&var\.value\(\\[\w\d]+\)\)((!=)|(==)|(>)|(>=)|(<)|(<=))(0x)?[\da-f]+\))re"},
    {P_WRAP_TEMPORARY, false, R"re((\\__[a-z]))re"},
    {P_WRAP_SKIP_VALUE, false, R"re(Var\.[Vv][Aa][Ll][Uu][Ee]\([^)]*\)|\\(\__[a-z]))re"},
    {P_HLL_REFERENCE, false, R"re((\\[a-zA-Z0-9_]+))re"},
    {P_DATA_LONG, false, R"re(Data.Long\(D:)re"},
    {P_POINTER_COMPOUND, false, R"re(\(\*\(\(unsigned int\s+\*\)(\(?)((.*)?&__\w+)\))re"},
};

constexpr bool rows_in_order() {
    for (int i = 0; i < P_COUNT; ++i)
        if (kRows[i].which != i) return false;
    return true;
}
static_assert(rows_in_order(), "kRows follows the order of Pattern");

}  // namespace

const std::regex& pattern(Pattern which) {
    static const std::vector<std::regex> compiled = [] {
        std::vector<std::regex> all;
        for (const Row& row : kRows)
            all.emplace_back(row.source, row.caseless ? std::regex::ECMAScript | std::regex::icase
                                                      : std::regex::ECMAScript);
        return all;
    }();
    return compiled[which];
}
