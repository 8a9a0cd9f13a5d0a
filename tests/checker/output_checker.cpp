#include "output_checker.h"

#include <algorithm>
#include <cstddef>
#include <climits>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

namespace querna_check {

namespace {

constexpr std::size_t max_text = 200;  // longest line text kept in a finding

bool is_name_start(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_name_char(char c) { return is_name_start(c) || is_digit(c); }

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

bool istarts_with(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && iequals(text.substr(0, prefix.size()), prefix);
}

bool iends_with(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && iequals(text.substr(text.size() - suffix.size()), suffix);
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

// "__V" + digits after the sigil: a temporary; "__V_" + digits: a negative one.
bool digits_only(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!is_digit(c)) return false;
    return true;
}
bool has_numbered_prefix(std::string_view name, std::string_view prefix) {
    return name.size() > prefix.size() && name.substr(0, prefix.size()) == prefix &&
           digits_only(name.substr(prefix.size()));
}
bool is_temporary(std::string_view name) { return has_numbered_prefix(name, "__V"); }
bool is_negative_temporary(std::string_view name) { return has_numbered_prefix(name, "__V_"); }

// The jump labels the converter numbers itself; they never start a subroutine.
bool is_jump_label(std::string_view name) { return has_numbered_prefix(name, "__L"); }

enum class TokenType { word, macro, variable, string, punct };

struct Token {
    TokenType type;
    std::string_view text;  // the word, the name with its sigil, the string with its quotes, or one character
    std::size_t pos;        // offset in the line's text
};

struct Read {
    int line;
    std::size_t region;
    std::string name;  // with its sigil
};

struct Jump {
    int line;
    std::string target;
};

// A loop whose condition reads temporaries: they must be set again inside its block.
struct Loop {
    int line;
    std::vector<std::string> temporaries;  // region keys of the temporaries its condition reads
    int block_start = 0;                   // line of the block's "(", 0 while not seen
    int block_end = INT_MAX;               // line of the block's ")"
};

struct OpenBlock {
    int line;
    int loop;  // index into State::loops of the loop this block is the body of, or -1
};

struct State {
    const CheckOptions* options = nullptr;
    std::unordered_set<std::string> macros_set;      // &x set or declared anywhere
    std::unordered_set<std::string> variables;       // \x declared anywhere
    std::unordered_set<std::string> temporaries_set; // region + ' ' + name
    std::unordered_set<std::string> labels;
    std::vector<Read> macro_reads, variable_reads, temporary_reads;
    std::vector<Jump> jumps;
    std::unordered_map<std::string, std::vector<int>> temporary_set_lines;  // region key -> lines, ascending
    std::vector<Loop> loops;
    int pending_loop = -1;         // a loop line was just read; its block may follow
    std::vector<OpenBlock> open_blocks;
    std::size_t region = 0;        // subroutine number: temporaries live inside one
    std::vector<Finding> findings;

    void report(int line, FindingKind kind, std::string_view text) {
        if (text.size() > max_text) text = text.substr(0, max_text);
        findings.push_back({line, kind, std::string(text)});
    }
    std::string region_key(std::string_view name) const { return std::to_string(region) + ' ' + std::string(name); }
};

// Splits the code part of a line into tokens; a "//" outside a string ends it.
// Returns false when a string is not closed on the line.
bool tokenize(std::string_view text, std::vector<Token>& tokens) {
    tokens.clear();
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const char c = text[i];
        if (is_blank(c)) {
            ++i;
        } else if (c == '/' && i + 1 < n && text[i + 1] == '/') {
            break;
        } else if (c == '"') {
            std::size_t j = i + 1;
            while (j < n && text[j] != '"') ++j;  // a quote inside is doubled, a backslash is plain
            if (j >= n) {
                tokens.push_back({TokenType::string, text.substr(i), i});
                return false;
            }
            tokens.push_back({TokenType::string, text.substr(i, j + 1 - i), i});
            i = j + 1;
        } else if (c == '\'' && i + 2 < n && text[i + 1] != '\\' && text[i + 2] == '\'') {
            tokens.push_back({TokenType::word, text.substr(i, 3), i});  // a character constant, '(' included
            i += 3;
        } else if (c == '\'' && i + 3 < n && text[i + 1] == '\\' && text[i + 3] == '\'') {
            tokens.push_back({TokenType::word, text.substr(i, 4), i});
            i += 4;
        } else if (c == '\\' && i + 1 < n && text[i + 1] == '\\') {
            // a symbol path such as \\module, not an HLL name
            std::size_t j = i;
            while (j < n && (text[j] == '\\' || is_name_char(text[j]) || text[j] == '.')) ++j;
            tokens.push_back({TokenType::word, text.substr(i, j - i), i});
            i = j;
        } else if ((c == '&' || c == '\\') && i + 1 < n && is_name_start(text[i + 1])) {
            std::size_t j = i + 1;
            while (j < n && is_name_char(text[j])) ++j;
            tokens.push_back({c == '&' ? TokenType::macro : TokenType::variable, text.substr(i, j - i), i});
            i = j;
        } else if (is_name_char(c)) {
            std::size_t j = i;
            while (j < n && (is_name_char(text[j]) || text[j] == '.')) ++j;
            tokens.push_back({TokenType::word, text.substr(i, j - i), i});
            i = j;
        } else {
            tokens.push_back({TokenType::punct, text.substr(i, 1), i});
            ++i;
        }
    }
    return true;
}

bool is_punct(const Token& t, char c) { return t.type == TokenType::punct && t.text[0] == c; }

// A line that is nothing but a label: a name and a colon.
bool label_of(std::string_view text, std::string_view& name) {
    if (text.size() < 2 || text.back() != ':' || !is_name_start(text[0])) return false;
    name = text.substr(0, text.size() - 1);
    for (char c : name)
        if (!is_name_char(c)) return false;
    return true;
}

void check_parentheses(State& s, int line, std::string_view text, const std::vector<Token>& tokens) {
    std::vector<char> open;
    bool balanced = true;
    for (std::size_t i = 0; i < tokens.size() && balanced; ++i) {
        const Token& t = tokens[i];
        if (t.type != TokenType::punct) continue;
        const char c = t.text[0];
        if (c == '(' || c == '[') {
            open.push_back(c);
        } else if (c == ')' || c == ']') {
            if (open.empty() || open.back() != (c == ')' ? '(' : '[')) balanced = false;
            else open.pop_back();
        }
    }
    if (!balanced || !open.empty()) s.report(line, FindingKind::unbalanced_parenthesis, text);
}

// "()" that is no call of a function without arguments: an operand left out.
// "Var.VALUE()" has lost its operand too, and so has an access class "D:)".
void check_empty_operands(State& s, int line, std::string_view text, const std::vector<Token>& tokens) {
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        const Token& t = tokens[i];
        const Token& next = tokens[i + 1];
        bool empty = false;
        if (is_punct(t, '(') && is_punct(next, ')')) {
            empty = i == 0 || tokens[i - 1].type != TokenType::word || iends_with(tokens[i - 1].text, ".VALUE");
        } else if (is_punct(t, ':') && is_punct(next, ')')) {
            empty = true;
        }
        if (empty) {
            s.report(line, FindingKind::empty_operand, text);
            return;
        }
    }
}

// A WHILE whose condition reads temporaries waits for its block.
void note_loop(State& s, int line, const std::vector<Token>& tokens) {
    Loop loop{line, {}};
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if ((t.type == TokenType::macro || t.type == TokenType::variable) && is_temporary(t.text.substr(1)))
            loop.temporaries.push_back(s.region_key(t.text));
    }
    if (loop.temporaries.empty()) return;
    s.loops.push_back(std::move(loop));
    s.pending_loop = static_cast<int>(s.loops.size()) - 1;
}

bool is_condition_command(std::string_view word) {
    return iequals(word, "IF") || iequals(word, "Var.IF") || iequals(word, "V.IF") || iequals(word, "WHILE") ||
           iequals(word, "Var.WHILE") || iequals(word, "V.WHILE");
}

// In a condition "=" only belongs to "==", "!=", "<=" and ">=".
void check_condition(State& s, int line, std::string_view text, const std::vector<Token>& tokens, std::size_t keyword) {
    const std::size_t start = tokens[keyword].pos + tokens[keyword].text.size();
    const std::string_view condition = trim(text.substr(start));
    for (std::string_view op : {"&&", "||", "==", "!="}) {
        if (condition.substr(0, 2) == op) {
            s.report(line, FindingKind::empty_operand, text);
            break;
        }
    }
    for (std::size_t i = keyword + 1; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (!is_punct(t, '=')) continue;
        const char before = t.pos > 0 ? text[t.pos - 1] : ' ';
        const char after = t.pos + 1 < text.size() ? text[t.pos + 1] : ' ';
        if (after == '=') {
            ++i;  // the second "=" of "=="
            continue;
        }
        if (before == '=' || before == '!' || before == '<' || before == '>') continue;
        s.report(line, FindingKind::assignment_in_condition, text);
        return;
    }
}

// declared: the temporary exists from here on; otherwise it only gets a new value.
void note_temporary_set(State& s, int line, std::string_view name, bool declared = true) {
    std::string key = s.region_key(name);
    std::vector<int>& lines = s.temporary_set_lines[key];
    if (lines.empty() || lines.back() != line) lines.push_back(line);
    if (declared) s.temporaries_set.insert(std::move(key));
}

// A read of `&x` or `\x`: temporaries are checked per subroutine, other names over
// the whole script (into `reads`).
void note_read(State& s, int line, std::string_view name, std::vector<Read>& reads) {
    const std::string_view bare = name.substr(1);
    if (is_negative_temporary(bare)) {
        s.report(line, FindingKind::negative_temporary, name);
    } else if (is_temporary(bare)) {
        s.temporary_reads.push_back({line, s.region, std::string(name)});
    } else {
        reads.push_back({line, s.region, std::string(name)});
    }
}

// A name that is set or declared; other names go into `names`.
void note_set(State& s, int line, std::string_view name, std::unordered_set<std::string>& names) {
    const std::string_view bare = name.substr(1);
    if (is_negative_temporary(bare)) s.report(line, FindingKind::negative_temporary, name);
    else if (is_temporary(bare)) note_temporary_set(s, line, name);
    else names.insert(std::string(name));
}

void check_command(State& s, int line, std::string_view text, const std::vector<Token>& tokens) {
    if (tokens.empty()) return;
    const Token& first = tokens[0];
    const bool declares_macros = first.type == TokenType::word &&
                                 (iequals(first.text, "LOCAL") || iequals(first.text, "PRIVATE") ||
                                  iequals(first.text, "GLOBAL") || iequals(first.text, "ENTRY"));
    const bool declares_variable = first.type == TokenType::word &&
                                   (istarts_with(first.text, "Var.NEW") || istarts_with(first.text, "V.NEW"));
    const bool assigns_macro = first.type == TokenType::macro && tokens.size() > 1 && is_punct(tokens[1], '=') &&
                               !(tokens.size() > 2 && is_punct(tokens[2], '=') && tokens[2].pos == tokens[1].pos + 1);
    bool variable_declared = false;
    // Var.Assign \__V<n>=... refreshes an HLL temporary.
    if (first.type == TokenType::word && istarts_with(first.text, "Var.Assign") && tokens.size() > 2 &&
        tokens[1].type == TokenType::variable && is_temporary(tokens[1].text.substr(1)) && is_punct(tokens[2], '='))
        note_temporary_set(s, line, tokens[1].text, false);

    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.type == TokenType::macro) {
            if (declares_macros || (assigns_macro && i == 0)) note_set(s, line, t.text, s.macros_set);
            else note_read(s, line, t.text, s.macro_reads);
        } else if (t.type == TokenType::variable) {
            if (declares_variable && !variable_declared) {
                variable_declared = true;
                note_set(s, line, t.text, s.variables);
            } else if (t.text.substr(1, 5) == "Data_" && i + 1 < tokens.size() && is_punct(tokens[i + 1], '(')) {
                // an HLL access function, not a variable
            } else {
                note_read(s, line, t.text, s.variable_reads);
            }
        } else if (t.type == TokenType::word && (iequals(t.text, "GOSUB") || iequals(t.text, "GOTO"))) {
            if (i + 1 >= tokens.size()) {
                s.report(line, FindingKind::missing_label, "");
            } else if (tokens[i + 1].type == TokenType::word) {
                s.jumps.push_back({line, std::string(tokens[i + 1].text)});
            }
            // a target held in a macro (GOSUB &function) is chosen at run time
        }
    }

    // A menu entry re-runs the script with a subroutine's name: DO "&path_x" NAME.
    if (first.type == TokenType::word && iequals(first.text, "DO") && tokens.size() > 2 &&
        tokens[2].type == TokenType::word) {
        const std::string_view script = tokens[1].text;
        if (script.substr(0, 7) == "\"&path_" || script.substr(0, 6) == "&path_")
            s.jumps.push_back({line, std::string(tokens[2].text)});
    }

    // The condition command, also after ELSE.
    const std::size_t keyword = (first.type == TokenType::word && iequals(first.text, "ELSE")) ? 1 : 0;
    if (keyword < tokens.size() && tokens[keyword].type == TokenType::word &&
        is_condition_command(tokens[keyword].text)) {
        check_condition(s, line, text, tokens, keyword);
        const std::string_view command = tokens[keyword].text;
        if (istarts_with(command, "WHILE") || iends_with(command, ".WHILE")) note_loop(s, line, tokens);
    }
}

void check_line(State& s, int line, std::string_view raw, std::vector<Token>& tokens) {
    std::string_view text = trim(raw);
    if (text.empty() || text.substr(0, 2) == "//") return;
    const int loop = s.pending_loop;
    s.pending_loop = -1;
    if (text == "(") {
        s.open_blocks.push_back({line, loop});
        if (loop >= 0) s.loops[loop].block_start = line;
        return;
    }
    if (text[0] == ')') {
        if (s.open_blocks.empty()) {
            s.report(line, FindingKind::unbalanced_block, ")");
        } else {
            if (s.open_blocks.back().loop >= 0) s.loops[s.open_blocks.back().loop].block_end = line;
            s.open_blocks.pop_back();
        }
        text = trim(text.substr(1));
        if (text.empty()) return;
    }
    std::string_view label;
    if (label_of(text, label)) {
        if (s.open_blocks.empty() && !is_jump_label(label)) ++s.region;
        s.labels.insert(std::string(label));
        return;
    }
    // The rest of an OS line is a host command: its quotes and parentheses
    // are the host's; only the macros in it are the script's.
    const bool host_command = istarts_with(text, "OS") && text.size() > 2 && is_blank(text[2]);
    if (!tokenize(text, tokens) && !host_command) s.report(line, FindingKind::unterminated_string, text);
    if (host_command) {
        std::erase_if(tokens, [](const Token& t) { return t.type != TokenType::macro; });
        check_command(s, line, text, tokens);
        return;
    }
    check_parentheses(s, line, text, tokens);
    check_empty_operands(s, line, text, tokens);
    check_command(s, line, text, tokens);
}

void resolve(State& s) {
    for (const OpenBlock& b : s.open_blocks) s.report(b.line, FindingKind::unbalanced_block, "(");
    for (const Read& r : s.macro_reads)
        if (!s.macros_set.count(r.name)) s.report(r.line, FindingKind::unset_macro, r.name);
    for (const Read& r : s.variable_reads)
        if (!s.variables.count(r.name)) s.report(r.line, FindingKind::undeclared_variable, r.name);
    for (const Read& r : s.temporary_reads)
        if (!s.temporaries_set.count(std::to_string(r.region) + ' ' + r.name))
            s.report(r.line, FindingKind::unset_temporary, r.name);
    for (const Loop& loop : s.loops) {
        if (loop.block_start == 0) continue;  // no block: nothing to refresh in
        for (const std::string& key : loop.temporaries) {
            auto found = s.temporary_set_lines.find(key);
            if (found == s.temporary_set_lines.end()) continue;  // never set: reported as unset
            const std::vector<int>& lines = found->second;
            auto next = std::upper_bound(lines.begin(), lines.end(), loop.block_start);
            if (next == lines.end() || *next >= loop.block_end)
                s.report(loop.line, FindingKind::stale_loop_condition, key.substr(key.find(' ') + 1));
        }
    }
    const std::unordered_set<std::string> excused(s.options->excused_functions.begin(),
                                                  s.options->excused_functions.end());
    for (const Jump& j : s.jumps)
        if (!s.labels.count(j.target) && !excused.count(j.target))
            s.report(j.line, FindingKind::missing_label, j.target);
}

}  // namespace

std::vector<Finding> check_script(std::string_view text, const CheckOptions& options) {
    State s;
    s.options = &options;
    std::vector<Token> tokens;
    int line = 1;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        check_line(s, line, text.substr(start, end - start), tokens);
        start = end + 1;
        ++line;
    }
    resolve(s);
    auto key = [](const Finding& f) { return std::tie(f.line, f.kind, f.text); };
    std::sort(s.findings.begin(), s.findings.end(),
              [&](const Finding& a, const Finding& b) { return key(a) < key(b); });
    s.findings.erase(std::unique(s.findings.begin(), s.findings.end(),
                                 [&](const Finding& a, const Finding& b) { return key(a) == key(b); }),
                     s.findings.end());
    return s.findings;
}

std::string_view kind_name(FindingKind kind) {
    switch (kind) {
        case FindingKind::unset_macro: return "unset-macro";
        case FindingKind::unset_temporary: return "unset-temporary";
        case FindingKind::undeclared_variable: return "undeclared-variable";
        case FindingKind::missing_label: return "missing-label";
        case FindingKind::unbalanced_block: return "unbalanced-block";
        case FindingKind::unbalanced_parenthesis: return "unbalanced-parenthesis";
        case FindingKind::unterminated_string: return "unterminated-string";
        case FindingKind::empty_operand: return "empty-operand";
        case FindingKind::negative_temporary: return "negative-temporary";
        case FindingKind::assignment_in_condition: return "assignment-in-condition";
        case FindingKind::stale_loop_condition: return "stale-loop-condition";
    }
    return "unknown";
}

std::vector<std::string> undefined_functions_in(std::string_view diagnostics) {
    static constexpr std::string_view marker = "Call to undefined function \"";
    std::vector<std::string> names;
    std::size_t pos = 0;
    while ((pos = diagnostics.find(marker, pos)) != std::string_view::npos) {
        pos += marker.size();
        std::size_t end = pos;
        while (end < diagnostics.size() && diagnostics[end] != '(' && diagnostics[end] != '"' &&
               diagnostics[end] != '\n')
            ++end;
        if (end > pos) names.emplace_back(diagnostics.substr(pos, end - pos));
        pos = end;
    }
    return names;
}

}  // namespace querna_check
