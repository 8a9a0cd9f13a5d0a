// Both engines of every text pass. The hand-written scans follow the patterns
// of pattern_table.cpp character for character; the comment above each scan
// names the pattern it stands for and why its greedy choices are forced.
#include "rewrite/pass_engines.h"

#include "preprocessor/preprocessor.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <regex>
#include <vector>

namespace pass_engine {

std::size_t literal_end(const std::string& t, std::size_t at) {
    char quote = t[at];
    std::size_t i = at + 1;
    while (i < t.size()) {
        if (t[i] == '\\')
            i += 2;
        else if (t[i++] == quote)
            return i;
    }
    return t.size();
}

namespace {

bool is_word(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_';
}
bool is_letter(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_hex(char c) { return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
// What "." does not match.
bool is_line_end(char c) { return c == '\n' || c == '\r'; }
bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool caseless_at(const std::string& t, std::size_t at, const char* word) {
    std::size_t len = std::strlen(word);
    if (at + len > t.size()) return false;
    for (std::size_t i = 0; i < len; ++i)
        if (lower(t[at + i]) != lower(word[i])) return false;
    return true;
}
bool exact_at(const std::string& t, std::size_t at, const char* word) {
    std::size_t len = std::strlen(word);
    return at + len <= t.size() && t.compare(at, len, word) == 0;
}

std::string replace_all(const std::string& t, const std::string& from, const std::string& to) {
    std::string out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = t.find(from, pos)) != std::string::npos; pos = hit + from.size())
        out.append(t, pos, hit - pos).append(to);
    return out.append(t, pos, std::string::npos);
}

std::string regex_replace_all(const std::string& t, const std::regex& re, const char* format) {
    return std::regex_replace(t, re, format);
}

bool is_quote(char c) { return c == '"' || c == '\''; }

// Applies `rewrite` to each stretch of text outside string and character
// literals and copies the literals unchanged.
template <typename Rewrite>
std::string outside_literals(const std::string& t, Rewrite rewrite) {
    std::string out;
    out.reserve(t.size() + 16);
    std::size_t i = 0;
    while (i < t.size()) {
        std::size_t end = is_quote(t[i]) ? literal_end(t, i) : i;
        if (end > i) {
            out.append(t, i, end - i);
        } else {
            while (end < t.size() && !is_quote(t[end])) ++end;
            out += rewrite(t.substr(i, end - i));
        }
        i = end;
    }
    return out;
}

// ---- macro-name pass ----
bool is_macro_word_char(char c) { return is_word(c) || c == '\\' || c == '&' || c == '.'; }

const char* const type_words[] = {"unsigned", "int", "long", "char", "float", "double"};

// Only a name that the preprocessor turned into a script macro (a kind whose
// uses are "&__" and the name) gets the prefix;
// keywords, members, numbers and the target's own symbols stay as written.
bool is_script_macro(const std::string& word) {
    if (word.empty() || is_digit(word[0])) return false;
    for (char c : word)
        if (!is_word(c)) return false;
    return is_script_macro_kind(macro_conversion_kind(word.c_str()));
}

void append_macro_word(std::string& out, const std::string& word) {
    bool keep = word.find_first_of(".&\\") != std::string::npos ||
                (word.size() >= 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X'));
    for (const char* type_word : type_words) keep = keep || word == type_word;
    if (!keep && is_script_macro(word)) out += "&__";
    out += word;
}

}  // namespace

// "\bVar.\b": a word starting with var (any case) whose fourth character
// ("." matches anything but a line end) ends a word or a non-word run.
bool contains_var_call(const std::string& t, Engine engine) {
    if (engine == BY_PATTERN) return std::regex_search(t, shared_pattern(SP_VAR_CALL));
    for (std::size_t i = 0; i + 4 <= t.size(); ++i) {
        if ((i > 0 && is_word(t[i - 1])) || !caseless_at(t, i, "var") || is_line_end(t[i + 3])) continue;
        bool next_word = i + 4 < t.size() && is_word(t[i + 4]);
        if (is_word(t[i + 3]) != next_word) return true;
    }
    return false;
}

bool contains_hll_temporary(const std::string& t, Engine engine) {
    if (engine == BY_PATTERN) return std::regex_search(t, shared_pattern(SP_HLL_TEMPORARY));
    for (std::size_t i = t.find("\\__"); i != std::string::npos; i = t.find("\\__", i + 1))
        if (i + 3 < t.size() && is_letter(t[i + 3])) return true;
    return false;
}

// Sign/parenthesis prefix, optional 0x, a maximal hex run (nothing after it may
// be a hex digit), an optional fraction, then one of the allowed endings.
bool numeric_constant(const std::string& t, bool allow_negation, Engine engine) {
    if (engine == BY_PATTERN)
        return std::regex_match(t, kept_pattern(allow_negation ? KP_NUMERIC_NEGATION : KP_NUMERIC));
    std::vector<std::size_t> starts;
    auto add_sign_prefixes = [&](std::size_t p) {
        starts.push_back(p);  // no prefix
        if (exact_at(t, p, "(-")) starts.push_back(p + 2);
        if (exact_at(t, p, "(")) starts.push_back(p + 1);
        if (exact_at(t, p, "-")) starts.push_back(p + 1);
    };
    if (allow_negation) {
        for (std::size_t open : {std::size_t(0), std::size_t(exact_at(t, 0, "(") ? 1 : 0)}) {
            add_sign_prefixes(open);
            if (exact_at(t, open, "!")) add_sign_prefixes(open + 1);
        }
    } else {
        add_sign_prefixes(0);
    }
    const char* const endings_plain[] = {"", ")", ".", ")."};
    const char* const endings_negation[] = {"", ")", "))", ".", ").", "))."};
    for (std::size_t p : starts) {
        if (caseless_at(t, p, "0x") && p + 2 < t.size() && is_hex(t[p + 2])) p += 2;
        std::size_t q = p;
        while (q < t.size() && is_hex(t[q])) ++q;
        if (q == p) continue;
        std::vector<std::size_t> tails{q};
        if (q + 1 < t.size() && t[q] == '.' && is_digit(t[q + 1])) {
            std::size_t r = q + 1;
            while (r < t.size() && is_digit(t[r])) ++r;
            tails.push_back(r);
        }
        for (std::size_t tail : tails) {
            std::string rest = t.substr(tail);
            if (allow_negation) {
                for (const char* e : endings_negation)
                    if (rest == e) return true;
            } else {
                for (const char* e : endings_plain)
                    if (rest == e) return true;
            }
        }
    }
    return false;
}

std::string macro_names(const std::string& t, Engine engine) {
    return outside_literals(t, [engine](const std::string& segment) {
        std::string out;
        if (engine == BY_PATTERN) {
            auto copied = segment.begin();
            for (std::sregex_iterator it(segment.begin(), segment.end(), kept_pattern(KP_MACRO_WORD)), end;
                 it != end; ++it) {
                out.append(copied, (*it)[0].first);
                append_macro_word(out, it->str());
                copied = (*it)[0].second;
            }
            return out.append(copied, segment.end());
        }
        std::size_t p = 0;
        while (p < segment.size()) {
            if (!is_macro_word_char(segment[p])) {
                out += segment[p++];
                continue;
            }
            std::size_t q = p;
            while (q < segment.size() && is_macro_word_char(segment[q])) ++q;
            append_macro_word(out, segment.substr(p, q - p));
            p = q;
        }
        return out;
    });
}

std::string value_calls(const std::string& t, int w, Engine engine) {
    const std::string marker = w == 0 ? "\\" : "&__";
    std::string out;
    out.reserve(t.size() + 16);
    std::size_t i = 0;
    while (i < t.size()) {
        if (is_quote(t[i])) {
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
        if (i >= 10 && caseless_at(t, i - 10, "var.value(")) {
            out += marker;
            i = name;
            continue;
        }
        std::size_t name_end = name;
        if (engine == BY_PATTERN) {
            std::smatch m;
            if (std::regex_search(t.begin() + static_cast<std::ptrdiff_t>(name), t.end(), m, kept_pattern(KP_NAME),
                                  std::regex_constants::match_continuous))
                name_end = name + static_cast<std::size_t>(m.length(0));
        } else {
            while (name_end < t.size() && is_word(t[name_end])) ++name_end;
        }
        if (name_end == name || is_digit(t[name])) {
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

// "\(.+\)(\\[\w\d_]+)": a ")" directly followed by a backslash and a word
// character, with a "(" at least two places before it on the same line.
std::string remove_cast(const std::string& t, Engine engine) {
    bool found = false;
    if (engine == BY_PATTERN) {
        found = std::regex_search(t, kept_pattern(KP_CAST_BEFORE_HLL));
    } else {
        std::size_t open = std::string::npos;
        for (std::size_t j = 0; j < t.size() && !found; ++j) {
            if (is_line_end(t[j])) {
                open = std::string::npos;
            } else if (t[j] == ')' && open != std::string::npos && open + 2 <= j && j + 2 < t.size() &&
                       t[j + 1] == '\\' && is_word(t[j + 2])) {
                found = true;
            } else if (t[j] == '(' && open == std::string::npos) {
                open = j;
            }
        }
    }
    if (!found) return t;
    for (const char* cast : {"(unsigned int)", "(unsigned int *)"}) {
        std::size_t at = t.find(cast);
        if (at != std::string::npos) return t.substr(0, at) + t.substr(at + std::strlen(cast));
    }
    return t;
}

std::string undo_negation_backslash(const std::string& t, Engine engine) {
    if (engine == BY_PATTERN) {
        std::string once = regex_replace_all(t, per_call_pattern(negated_macro_source), "!&");
        return regex_replace_all(once, per_call_pattern(complemented_macro_source), "~&");
    }
    return replace_all(replace_all(t, "!\\&", "!&"), "~\\&", "~&");
}

// "\(\*\(\(unsigned int\s+\*\)(\(?)((.*)?&__\w+)\)": after the cast and an
// optional "(", the greedy ".*" backs off to the last "&__<word>)" of the line,
// so the address is everything up to the end of that word.
bool compound_address(const std::string& t, std::string* address, Engine engine) {
    if (engine == BY_PATTERN) {
        std::smatch m;
        if (!std::regex_search(t, m, per_call_pattern(pointer_compound_source))) return false;
        *address = m.str(2);
        return true;
    }
    const std::size_t n = t.size();
    // word_end[i]: end of the run of word characters that starts at i.
    std::vector<std::size_t> word_end(n + 1, n);
    for (std::size_t i = n; i-- > 0;) word_end[i] = is_word(t[i]) ? word_end[i + 1] : i;
    // last_valid[i]: greatest k < i where "&__\w+\)" matches, or npos.
    std::vector<std::size_t> last_valid(n + 1, std::string::npos);
    for (std::size_t k = 0; k < n; ++k) {
        bool valid = exact_at(t, k, "&__") && k + 3 < n && is_word(t[k + 3]) && word_end[k + 3] < n &&
                     t[word_end[k + 3]] == ')';
        last_valid[k + 1] = valid ? k : last_valid[k];
    }
    std::vector<std::size_t> next_line_end(n + 1, n);
    for (std::size_t i = n; i-- > 0;) next_line_end[i] = is_line_end(t[i]) ? i : next_line_end[i + 1];
    const std::string prefix = "(*((unsigned int";
    for (std::size_t s = t.find(prefix); s != std::string::npos; s = t.find(prefix, s + 1)) {
        std::size_t q = s + prefix.size(), p = q;
        while (q < n && is_space(t[q])) ++q;
        if (q == p || !exact_at(t, q, "*)")) continue;
        std::size_t start = q + 2;
        if (start < n && t[start] == '(') ++start;
        std::size_t k = last_valid[next_line_end[std::min(start, n)]];
        if (k == std::string::npos || k < start) continue;
        *address = t.substr(start, word_end[k + 3] - start);
        return true;
    }
    return false;
}

std::string parenthesise_hll_names(const std::string& t, Engine engine) {
    if (contains_var_call(t, engine)) return t;
    return outside_literals(t, [engine](const std::string& segment) {
        if (engine == BY_PATTERN) return regex_replace_all(segment, per_call_pattern(hll_reference_source), "($&)");
        std::string out;
        std::size_t i = 0;
        while (i < segment.size()) {
            std::size_t j = i + 1;
            if (segment[i] == '\\')
                while (j < segment.size() && is_word(segment[j])) ++j;
            if (j > i + 1)
                out.append("(").append(segment, i, j - i).append(")");
            else
                out += segment[i];
            i = j;
        }
        return out;
    });
}

namespace {

// "var.value(\<word>)" at p (any case); returns the index behind it or npos.
std::size_t hll_value_call_at(const std::string& t, std::size_t p) {
    if (!caseless_at(t, p, "var.value(\\")) return std::string::npos;
    std::size_t q = p + 11;
    while (q < t.size() && is_word(t[q])) ++q;
    if (q == p + 11 || q >= t.size() || t[q] != ')') return std::string::npos;
    return q + 1;
}

// One of != == > >= < <= at p, chosen so that `next` can follow it.
std::size_t comparison_at(const std::string& t, std::size_t p, bool (*next)(char)) {
    for (const char* op : {"!=", "==", ">=", "<=", ">", "<"}) {
        std::size_t len = std::strlen(op);
        if (exact_at(t, p, op) && p + len < t.size() && next(t[p + len])) return p + len;
    }
    return std::string::npos;
}

bool starts_value_call(char c) { return c == 'v' || c == 'V'; }
bool all_of_from(const std::string& t, std::size_t p, std::size_t end, bool (*in)(char)) {
    if (p >= end) return false;
    for (std::size_t i = p; i < end; ++i)
        if (!in(t[i])) return false;
    return true;
}
// [\\da-f] under the caseless flag: backslash, d and the letters a to f.
bool in_backslash_d_a_f(char c) { return c == '\\' || (lower(c) >= 'a' && lower(c) <= 'f'); }

}  // namespace

bool value_comparison(const std::string& t, Engine engine) {
    if (engine == BY_PATTERN) return std::regex_match(t, kept_pattern(KP_VALUE_COMPARISON));
    // Second alternative: (0x)?[\\da-f]+
    if (all_of_from(t, 0, t.size(), in_backslash_d_a_f)) return true;
    if (caseless_at(t, 0, "0x") && all_of_from(t, 2, t.size(), in_backslash_d_a_f)) return true;
    // First alternative: (var.value(\a)OPvar.value(\b))
    if (!exact_at(t, 0, "(")) return false;
    std::size_t p = hll_value_call_at(t, 1);
    if (p == std::string::npos) return false;
    p = comparison_at(t, p, starts_value_call);
    if (p == std::string::npos) return false;
    p = hll_value_call_at(t, p);
    return p != std::string::npos && p + 1 == t.size() && t[p] == ')';
}

bool masked_macro(const std::string& t, Engine engine) {
    if (engine == BY_PATTERN) return std::regex_match(t, kept_pattern(KP_MASKED_MACRO));
    if (!caseless_at(t, 0, "((&__v")) return false;
    std::size_t p = 6;
    while (p < t.size() && is_digit(t[p])) ++p;
    if (p == 6 || !exact_at(t, p, "&")) return false;
    p = hll_value_call_at(t, p + 1);
    if (p == std::string::npos || !exact_at(t, p, ")")) return false;
    p = comparison_at(t, p + 1, is_hex);
    if (p == std::string::npos || t.back() != ')') return false;
    std::size_t end = t.size() - 1;
    if (all_of_from(t, p, end, is_hex)) return true;
    return caseless_at(t, p, "0x") && all_of_from(t, p + 2, end, is_hex);
}

std::string data_long(const std::string& t, Engine engine) {
    if (engine == BY_PATTERN) {
        if (!std::regex_search(t, per_call_pattern(data_long_source))) return t;
        return regex_replace_all(t, per_call_pattern(unsigned_long_cast_source), "");
    }
    bool found = false;
    for (std::size_t i = t.find("Data"); i != std::string::npos && !found; i = t.find("Data", i + 1))
        found = i + 4 < t.size() && !is_line_end(t[i + 4]) && exact_at(t, i + 5, "Long(D:");
    return found ? replace_all(t, "(unsigned long)", "") : t;
}

std::string wrap_temporaries(const std::string& t, Engine engine) {
    bool var_call = contains_var_call(t, engine);
    if (var_call && t.find("unsigned int") != std::string::npos) return t;
    if (engine == BY_PATTERN) {
        if (!var_call) return regex_replace_all(t, per_call_pattern(wrap_temporary_source), "Var.VALUE($&)");
        std::string out;
        auto copied = t.begin();
        const std::regex& skip_or_wrap = per_call_pattern(wrap_skip_value_source);
        for (std::sregex_iterator it(t.begin(), t.end(), skip_or_wrap), end; it != end; ++it) {
            out.append(copied, (*it)[0].first);
            if ((*it)[1].matched)
                out.append("Var.VALUE(").append(it->str()).append(")");
            else
                out.append(it->str());
            copied = (*it)[0].second;
        }
        return out.append(copied, t.end());
    }
    // next_close[i]: first ")" at or after i (for "\([^)]*\)").
    std::vector<std::size_t> next_close;
    if (var_call) {
        next_close.assign(t.size() + 1, std::string::npos);
        for (std::size_t i = t.size(); i-- > 0;) next_close[i] = t[i] == ')' ? i : next_close[i + 1];
    }
    std::string out;
    out.reserve(t.size() + 16);
    std::size_t i = 0;
    while (i < t.size()) {
        if (var_call && exact_at(t, i, "Var.") && caseless_at(t, i + 4, "value(")) {
            std::size_t close = next_close[i + 10];
            if (close != std::string::npos) {
                out.append(t, i, close + 1 - i);
                i = close + 1;
                continue;
            }
        }
        if (exact_at(t, i, "\\__") && i + 3 < t.size() && t[i + 3] >= 'a' && t[i + 3] <= 'z') {
            out.append("Var.VALUE(").append(t, i, 4).append(")");
            i += 4;
            continue;
        }
        out += t[i++];
    }
    return out;
}

}  // namespace pass_engine
