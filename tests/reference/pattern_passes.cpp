#include "pattern_passes.h"

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <strings.h>

#include "compiler/statements_internal.h"
#include "rewrite/condition.h"
#include "rewrite/text_scan.h"

namespace by_pattern {

namespace {

using text_scan::literal_end;
using text_scan::outside_literals;

std::string replace_all(const std::string& t, const std::regex& re, const char* format) {
    return std::regex_replace(t, re, format);
}

// Length of the match of `which` that starts at `at` and ends by `end`; 0 when none.
std::size_t length_at(const std::string& t, Pattern which, std::size_t at, std::size_t end) {
    std::smatch m;
    auto first = t.begin() + static_cast<std::ptrdiff_t>(at), last = t.begin() + static_cast<std::ptrdiff_t>(end);
    if (!std::regex_search(first, last, m, pattern(which), std::regex_constants::match_continuous)) return 0;
    return static_cast<std::size_t>(m.length(0));
}

}  // namespace

bool contains_var_call(const std::string& t) { return std::regex_search(t, pattern(P_VAR_CALL)); }

bool contains_hll_temporary(const std::string& t) { return std::regex_search(t, pattern(P_HLL_TEMPORARY)); }

bool numeric_constant(const std::string& t, bool allow_negation) {
    return std::regex_match(t, pattern(allow_negation ? P_NUMERIC_NEGATION : P_NUMERIC));
}

std::string macro_names(const std::string& t) {
    return outside_literals(t, [](const std::string& segment) {
        std::string out;
        auto copied = segment.begin();
        for (std::sregex_iterator it(segment.begin(), segment.end(), pattern(P_MACRO_WORD)), end; it != end; ++it) {
            out.append(copied, (*it)[0].first);
            text_scan::append_macro_word(out, it->str());
            copied = (*it)[0].second;
        }
        return out.append(copied, segment.end());
    });
}

std::string value_calls(const std::string& t, int w) {
    const std::string marker = w == 0 ? "\\" : "&__";
    std::string out;
    std::size_t i = 0;
    while (i < t.size()) {
        if (text_scan::is_quote(t[i])) {
            std::size_t end = literal_end(t, i);
            out.append(t, i, end - i);
            i = end;
            continue;
        }
        if (t.compare(i, marker.size(), marker) != 0) {
            out += t[i++];
            continue;
        }
        std::size_t name = i + marker.size();
        if (i >= 10 && strncasecmp(t.c_str() + i - 10, "var.value(", 10) == 0) {
            out += marker;
            i = name;
            continue;
        }
        std::size_t name_end = name + length_at(t, P_NAME, name, t.size());
        if (name_end == name || (t[name] >= '0' && t[name] <= '9')) {
            out += marker;
            i = name;
            continue;
        }
        bool tilde = i > 0 && t[i - 1] == '~' && !out.empty() && out.back() == '~';
        if (tilde) out.pop_back();
        out += "Var.VALUE(";
        if (tilde) out += '~';
        out.append(marker).append(t, name, name_end - name).append(")");
        i = name_end;
    }
    return out;
}

std::string remove_cast(const std::string& t) {
    if (!std::regex_search(t, pattern(P_CAST_BEFORE_HLL))) return t;
    for (const char* cast : {"(unsigned int)", "(unsigned int *)"}) {
        std::size_t at = t.find(cast);
        if (at != std::string::npos) return t.substr(0, at) + t.substr(at + std::strlen(cast));
    }
    return t;
}

bool compound_address(const std::string& t, std::string* address) {
    std::smatch m;
    if (!std::regex_search(t, m, pattern(P_POINTER_COMPOUND))) return false;
    *address = m.str(2);
    return true;
}

std::string parenthesise_hll_names(const std::string& t) {
    if (contains_var_call(t)) return t;
    return outside_literals(t, [](const std::string& segment) {
        return replace_all(segment, pattern(P_HLL_REFERENCE), "($&)");
    });
}

bool value_comparison(const std::string& t) { return std::regex_match(t, pattern(P_VALUE_COMPARISON)); }

bool masked_macro(const std::string& t) { return std::regex_match(t, pattern(P_MASKED_MACRO)); }

std::string data_long(const std::string& t) {
    if (!std::regex_search(t, pattern(P_DATA_LONG))) return t;
    std::string out;
    const std::string cast = "(unsigned long)";
    std::size_t pos = 0;
    for (std::size_t hit; (hit = t.find(cast, pos)) != std::string::npos; pos = hit + cast.size())
        out.append(t, pos, hit - pos);
    return out.append(t, pos, std::string::npos);
}

std::string wrap_temporaries(const std::string& t) {
    bool var_call = contains_var_call(t);
    if (var_call && t.find("unsigned int") != std::string::npos) return t;
    if (!var_call) return replace_all(t, pattern(P_WRAP_TEMPORARY), "Var.VALUE($&)");
    std::string out;
    auto copied = t.begin();
    for (std::sregex_iterator it(t.begin(), t.end(), pattern(P_WRAP_SKIP_VALUE)), end; it != end; ++it) {
        out.append(copied, (*it)[0].first);
        if ((*it)[1].matched)
            out.append("Var.VALUE(").append(it->str()).append(")");
        else
            out.append(it->str());
        copied = (*it)[0].second;
    }
    return out.append(copied, t.end());
}

bool return_dereference(const std::string& t) { return std::regex_search(t, pattern(P_RETURN_DEREFERENCE)); }

std::string wrap_hll_value(const std::string& t) {
    return std::regex_search(t, pattern(P_HLL_NAME)) ? "Var.VALUE(" + t + ")" : t;
}

namespace {

using CondExpression::Scanner;

bool unary(const Scanner& s, std::size_t at, std::size_t end) {
    return length_at(s.text, P_UNARY_OPERATOR, at, end) > 0;
}

std::size_t operand(const Scanner& s, std::size_t at, std::size_t end) {
    const std::string& t = s.text;
    // A data access takes the balanced group after it.
    if (std::size_t len = length_at(t, P_DATA_ACCESS, at, end)) {
        std::size_t open = at + len;
        if (open < end && t[open] == '(' && s.match[open] != Scanner::kNone && s.match[open] < end)
            return s.match[open] + 1 - at;
    }
    for (Pattern p : {P_VALUE_CALL, P_HLL_NAME, P_MACRO_NAME, P_FUNCTION_CALL, P_IDENTIFIER, P_NUMBER})
        if (std::size_t len = length_at(t, p, at, end)) return len;
    return 0;
}

std::size_t binary(const Scanner& s, std::size_t at, std::size_t end) { return length_at(s.text, P_OPERATOR, at, end); }

}  // namespace

const CondExpression::TokenRules kConditionTokens = {unary, operand, binary};

namespace {

std::string yes_no(bool b) { return b ? "true" : "false"; }

std::string compound_address_of(const std::string& t, bool (*find)(const std::string&, std::string*)) {
    std::string address;
    bool found = find(t, &address);
    return yes_no(found) + (found ? " " + address : "");
}

std::string parsed_condition(const std::string& t, const CondExpression::TokenRules& rules) {
    try {
        CondExpression::parse_condition(t, rules);
        return "parsed";
    } catch (const CondExpression::ParseError& error) {
        return error.what();
    }
}

using T = const std::string&;
namespace scan = text_scan;

}  // namespace

namespace {

const PassPair kPassPairs[] = {
    {"contains_var_call", [](T t) { return yes_no(scan::contains_var_call(t)); },
     [](T t) { return yes_no(contains_var_call(t)); }},
    {"contains_hll_temporary", [](T t) { return yes_no(scan::contains_hll_temporary(t)); },
     [](T t) { return yes_no(contains_hll_temporary(t)); }},
    {"numeric_constant", [](T t) { return yes_no(scan::numeric_constant(t, false)); },
     [](T t) { return yes_no(numeric_constant(t, false)); }},
    {"numeric_constant negated", [](T t) { return yes_no(scan::numeric_constant(t, true)); },
     [](T t) { return yes_no(numeric_constant(t, true)); }},
    {"macro_names", [](T t) { return scan::macro_names(t); }, [](T t) { return macro_names(t); }},
    {"value_calls 0", [](T t) { return scan::value_calls(t, 0); }, [](T t) { return value_calls(t, 0); }},
    {"value_calls 1", [](T t) { return scan::value_calls(t, 1); }, [](T t) { return value_calls(t, 1); }},
    {"remove_cast", [](T t) { return scan::remove_cast(t); }, [](T t) { return remove_cast(t); }},
    {"compound_address", [](T t) { return compound_address_of(t, scan::compound_address); },
     [](T t) { return compound_address_of(t, compound_address); }},
    {"parenthesise_hll_names", [](T t) { return scan::parenthesise_hll_names(t); },
     [](T t) { return parenthesise_hll_names(t); }},
    {"value_comparison", [](T t) { return yes_no(scan::value_comparison(t)); },
     [](T t) { return yes_no(value_comparison(t)); }},
    {"masked_macro", [](T t) { return yes_no(scan::masked_macro(t)); }, [](T t) { return yes_no(masked_macro(t)); }},
    {"data_long", [](T t) { return scan::data_long(t); }, [](T t) { return data_long(t); }},
    {"wrap_temporaries", [](T t) { return scan::wrap_temporaries(t); }, [](T t) { return wrap_temporaries(t); }},
    {"return_dereference", [](T t) { return yes_no(match_return_dereference(t.c_str())); },
     [](T t) { return yes_no(return_dereference(t.c_str())); }},
    {"wrap_hll_value", [](T t) { return ::wrap_hll_value(t); }, [](T t) { return wrap_hll_value(t); }},
    {"parse_condition", [](T t) { return parsed_condition(t, CondExpression::kScannedTokens); },
     [](T t) { return parsed_condition(t, kConditionTokens); }},
    {"convert_condition", [](T t) { return convert_condition(t); },
     [](T t) { return CondExpression::convert_condition_with(t, kConditionTokens); }},
};

}  // namespace

std::span<const PassPair> pass_pairs() { return kPassPairs; }

const PassPair& pass_pair(const std::string& name) {
    for (const PassPair& pair : kPassPairs)
        if (name == pair.name) return pair;
    std::abort();
}

}  // namespace by_pattern
