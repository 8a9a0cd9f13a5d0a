// Expansion of a macro name: the dynamic macros, argument collection,
// parameter substitution and the recursion counter.
#include "preprocessor/pp_internal.h"

namespace {

// Drops the expansions up to the text of the innermost file.
void drop_expansions() {
    while (pp.current && !pp.current->file) pop_source();
}

// After a function-like name that is not followed by "(": a newline that was
// skipped while looking for it comes back, so that the next line still starts
// a line of its own.
void give_back_newline() {
    --pp.line;
    push_macro("", "\n");
}

bool collect_arguments(MacroDefinition* m, std::vector<std::string>* args) {
    std::string arg;
    size_t used = 0;
    int depth = 0;
    auto add = [&](int c) {
        if (++used >= PARAMETER_AREA_SIZE) pp_fatal("Macro work area overflow");
        arg += static_cast<char>(c);
    };
    for (;;) {
        int c = get_char();
        if (c == END_OF_INPUT) {
            pp_error("end of file within macro argument");
            return false;
        }
        if (c == ')' && depth == 0) break;
        if (c == ',' && depth == 0) {
            // this argument and the one that follows it
            if (args->size() + 2 > static_cast<size_t>(MAX_PARAMETERS))
                pp_fatal("Too many arguments in macro expansion");
            args->push_back(arg);
            arg.clear();
            continue;
        }
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c == '\n') {
            pp.marker_due = true;
            add(' ');
            continue;
        }
        if (c == '"' || c == '\'') {
            int quote = c;
            add(c);
            pp.raw_mode = true;
            for (;;) {
                c = get_char();
                if (c == END_OF_INPUT) {
                    pp.raw_mode = false;
                    pp_error("end of file within macro argument");
                    return false;
                }
                if (c == '\n') {
                    pp.marker_due = true;
                    add(' ');
                    if (quote == '"') break;
                    continue;
                }
                add(c);
                if (c == quote) break;
                if (c == '\\') {
                    c = get_char();
                    if (c == END_OF_INPUT) {
                        pp.raw_mode = false;
                        pp_error("end of file within macro argument");
                        return false;
                    }
                    add(c == '\n' ? ' ' : c);
                }
            }
            pp.raw_mode = false;
            continue;
        }
        if (c == '\\') {
            add(c);
            c = get_char();
            if (c == END_OF_INPUT) {
                pp_error("end of file within macro argument");
                return false;
            }
            add(c == '\n' ? ' ' : c);
            continue;
        }
        add(c);
    }
    args->push_back(arg);
    if (m->parameter_count == 0 && args->size() == 1 && args->front().find_first_not_of(" \t") == std::string::npos)
        args->clear();
    return true;
}

bool is_parameter(unsigned char b) { return b >= PARAMETER_BASE && b < PARAMETER_BASE + MAX_PARAMETERS; }

std::string trimmed(const std::string& s) {
    size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// "#" and an argument: the argument as a string literal. Its blanks become
// one; a quote, and a backslash inside a literal, get a backslash.
std::string stringized(const std::string& arg) {
    std::string out = "\"";
    char quote = 0;
    for (size_t i = 0; i < arg.size(); ++i) {
        char c = arg[i];
        if (quote) {
            if (c == '\\' && i + 1 < arg.size()) {
                char d = arg[++i];
                out += "\\\\";
                if (d == '"' || d == '\\') out += '\\';
                out += d;
                continue;
            }
            if (c == '"') out += '\\';
            out += c;
            if (c == quote) quote = 0;
            continue;
        }
        if (c == ' ' || c == '\t') {
            if (out.back() != ' ') out += ' ';
            continue;
        }
        if (c == '"') out += '\\';
        if (c == '"' || c == '\'') quote = c;
        out += c;
    }
    return out + "\"";
}

// The replacement text with every parameter byte replaced by its argument. In
// a body expanded in place, "#" before a parameter makes a string of its
// argument and "##" joins the tokens on its two sides, as in C.
std::string substitute(const std::string& r, const std::vector<std::string>& args, bool c_operators) {
    std::string text;
    auto argument = [&](unsigned char b) { return b - PARAMETER_BASE < args.size() ? args[b - PARAMETER_BASE] : std::string(); };
    char quote = 0;
    size_t n = r.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char b = static_cast<unsigned char>(r[i]);
        if (b == LITERAL_NEXT && i + 1 < n) {
            text += r[++i];
            continue;
        }
        if (quote) {
            text += static_cast<char>(b);
            if (b == '\\' && i + 1 < n) text += r[++i];
            else if (b == static_cast<unsigned char>(quote)) quote = 0;
            continue;
        }
        if (b == '"' || b == '\'') quote = static_cast<char>(b);
        if (c_operators && b == '#') {
            size_t j = i + 1;
            if (j < n && r[j] == '#') {
                while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
                for (++j; j < n && (r[j] == ' ' || r[j] == '\t'); ++j) {
                }
                if (j < n && is_parameter(static_cast<unsigned char>(r[j]))) {
                    text += trimmed(argument(static_cast<unsigned char>(r[j])));
                    i = j;
                } else {
                    i = j - 1;
                }
                continue;
            }
            while (j < n && (r[j] == ' ' || r[j] == '\t')) ++j;
            if (j < n && is_parameter(static_cast<unsigned char>(r[j]))) {
                text += stringized(trimmed(argument(static_cast<unsigned char>(r[j]))));
                i = j;
                continue;
            }
        }
        if (is_parameter(b)) {
            // an argument before "##" is joined without its trailing blanks
            size_t j = i + 1;
            while (j < n && (r[j] == ' ' || r[j] == '\t')) ++j;
            bool pasted = c_operators && j + 1 < n && r[j] == '#' && r[j + 1] == '#';
            text += pasted ? trimmed(argument(b)) : argument(b);
            continue;
        }
        text += static_cast<char>(b);
        if (text.size() > LINE_BUFFER_SIZE) break;
    }
    return text;
}

}  // namespace

Expansion expand_macro(MacroDefinition* m, bool from_file) {
    if (from_file) {
        pp.expansion_count = 0;
        pp.chain_start = m->name;
    }
    if (++pp.expansion_count >= RECURSION_LIMIT) {
        pp_error("Recursive macro definition of \"%s\"", m->name.c_str());
        std::fprintf(stderr, "(Defined by \"%s\")\n", pp.chain_start.c_str());
        drop_expansions();
        pp.expansion_count = 0;
        return Expansion::dropped;
    }
    if (m->parameter_count == -3) {
        InputSource* f = innermost_file();
        push_macro(m->name, "\"" + (f ? effective_name(f) : std::string()) + "\"");
        return Expansion::pushed;
    }
    if (m->parameter_count == -2) {
        push_macro(m->name, std::to_string(pp.line));
        return Expansion::pushed;
    }
    if (m->parameter_count < -3) pp_fatal("Bug: Illegal __ macro \"%s\"", m->name.c_str());
    // In #if and #include lines a converted macro stands for its C body, since
    // the QUERNA variable or function it became has no value there.
    const std::string& r = pp.in_directive ? m->body : m->replacement;
    if (m->parameter_count == -1) {
        push_macro(m->name, m->conversion_kind == MC_EXPANDED ? substitute(r, {}, true) : r);
        return Expansion::pushed;
    }

    // function-like: find the "("
    bool crossed_newline = false;
    int c;
    for (;;) {
        c = get_char();
        if (is_blank(c)) continue;
        if (c == '\n' && !pp.in_directive) {
            crossed_newline = true;
            pp.marker_due = true;
            continue;
        }
        break;
    }
    if (c != '(') {
        unget_char();
        pp_warning("Macro \"%s\" needs arguments", m->name.c_str());
        if (crossed_newline) give_back_newline();
        return Expansion::not_expanded;
    }
    std::vector<std::string> args;
    if (!collect_arguments(m, &args)) return Expansion::dropped;
    if (static_cast<int>(args.size()) != m->parameter_count)
        pp_warning("Wrong number of macro arguments for \"%s\"", m->name.c_str());

    std::string text = substitute(r, args, m->conversion_kind == MC_EXPANDED);
    if (text.size() > LINE_BUFFER_SIZE) pp_fatal("Out of space in macro \"%s\" arg expansion", m->name.c_str());
    push_macro(m->name, text);
    return Expansion::pushed;
}
