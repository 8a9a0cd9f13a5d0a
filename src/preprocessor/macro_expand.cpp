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
        push_macro(m->name, r);
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

    std::string text;
    for (size_t i = 0; i < r.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(r[i]);
        if (b == LITERAL_NEXT && i + 1 < r.size()) {
            text += r[++i];
        } else if (b >= PARAMETER_BASE && b < PARAMETER_BASE + MAX_PARAMETERS) {
            size_t index = b - PARAMETER_BASE;
            if (index < args.size()) text += args[index];
        } else {
            text += static_cast<char>(b);
        }
        if (text.size() > LINE_BUFFER_SIZE) pp_fatal("Out of space in macro \"%s\" arg expansion", m->name.c_str());
    }
    push_macro(m->name, text);
    return Expansion::pushed;
}
