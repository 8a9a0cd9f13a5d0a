// Directive lines: conditional groups, #include, #line, #pragma, #assert,
// and the dispatch to #define and #undef.
#include <cstring>

#include "driver/platform.h"
#include "preprocessor/pp_internal.h"

namespace {

enum class Directive { none, assert_, define, elif, else_, endif, if_, ifdef, ifndef, include, line, pragma, undef };

struct DirectiveName {
    const char* name;
    Directive directive;
};
const DirectiveName directive_names[] = {
    {"assert", Directive::assert_}, {"define", Directive::define}, {"elif", Directive::elif},
    {"else", Directive::else_},     {"endif", Directive::endif},   {"if", Directive::if_},
    {"ifdef", Directive::ifdef},    {"ifndef", Directive::ifndef}, {"include", Directive::include},
    {"line", Directive::line},      {"pragma", Directive::pragma}, {"undef", Directive::undef},
};

Directive find_directive(const std::string& name) {
    for (const auto& d : directive_names)
        if (name == d.name) return d.directive;
    return Directive::none;
}

void push_group(const std::string& name, uint8_t flags) {
    if (pp.depth + 1 >= CONDITIONAL_STACK_SIZE) pp_fatal("Too many nested #%s statements", name.c_str());
    pp.conditional_stack[++pp.depth] = flags;
}

// The rest of an #if line is evaluated (empty: the argument is missing).
bool if_argument_present() {
    int c = skip_blanks();
    unget_char();
    if (c == '\n' || c == END_OF_INPUT) {
        pp_error("#if, #ifdef, or #ifndef without an argument");
        return false;
    }
    return true;
}

void do_if(Directive d, const std::string& name) {
    push_group(name, GROUP_ENCLOSING_ACTIVE);
    bool test;
    if (d == Directive::if_) {
        if (!if_argument_present()) return;
        test = evaluate_expression() != 0;
    } else {
        int c = skip_blanks();
        if (!is_identifier_start(c)) {
            unget_char();
            pp_error("#if, #ifdef, or #ifndef without an argument");
            skip_to_newline();
            return;
        }
        std::string macro = read_identifier(c);
        bool defined = lookup_macro(macro) != nullptr;
        test = (d == Directive::ifdef) ? defined : !defined;
    }
    if (test) {
        pp.active = true;
        pp.conditional_stack[pp.depth] |= GROUP_BRANCH_TAKEN;
    } else {
        pp.active = false;
    }
}

// The group an #elif or #else continues; null (after the message) when there
// is none to continue.
uint8_t* continued_group(const std::string& name) {
    if (pp.depth == 0) {
        pp_error("#%s must be in an #if", name.c_str());
        skip_to_newline();
        return nullptr;
    }
    uint8_t& flags = pp.conditional_stack[pp.depth];
    if (flags & GROUP_ELSE_SEEN) {
        pp_error("#%s may not follow #else", name.c_str());
        skip_to_newline();
        return nullptr;
    }
    return &flags;
}

void do_elif(const std::string& name) {
    uint8_t* group = continued_group(name);
    if (!group) return;
    uint8_t& flags = *group;
    if ((flags & GROUP_ENCLOSING_ACTIVE) && !(flags & GROUP_BRANCH_TAKEN)) {
        if (!if_argument_present()) return;
        bool test = evaluate_expression() != 0;
        pp.active = test;
        if (test) flags |= GROUP_BRANCH_TAKEN;
        return;
    }
    pp.active = false;
    skip_to_newline();
}

void do_else(const std::string& name) {
    uint8_t* group = continued_group(name);
    if (!group) return;
    uint8_t& flags = *group;
    flags |= GROUP_ELSE_SEEN;
    if (flags & GROUP_ENCLOSING_ACTIVE) pp.active = !pp.active && !(flags & GROUP_BRANCH_TAKEN);
}

void do_endif(const std::string& name) {
    if (pp.depth == 0) {
        pp_error("#%s must be in an #if", name.c_str());
        skip_to_newline();
        return;
    }
    uint8_t flags = pp.conditional_stack[pp.depth];
    if (!pp.active && (flags & GROUP_ENCLOSING_ACTIVE)) pp.marker_due = true;
    pp.active = (flags & GROUP_ENCLOSING_ACTIVE) != 0;
    --pp.depth;
}

// Opens an include file: a regular file only. A device such as /dev/zero
// would never end, and a FIFO would block the run.
FILE* try_open(const std::string& path) { return open_regular_file(path.c_str()); }

// #include: reads the name, takes the rest of the line and pushes the file.
void do_include() {
    int c;
    for (;;) {
        c = skip_blanks();
        if (!is_identifier_start(c) || c == NO_EXPAND_MARK) break;
        bool from_file = current_is_file();
        std::string name = read_identifier(c);
        MacroDefinition* m = lookup_macro(name);
        if (!m || expand_macro(m, from_file) == Expansion::not_expanded) {
            c = name[0];
            break;
        }
    }
    if (c != '<' && c != '"') {
        unget_char();
        pp_error("#include syntax error");
        skip_to_newline();
        get_char();
        return;
    }
    int close = (c == '<') ? '>' : '"';
    std::string file_name;
    pp.raw_mode = true;
    for (;;) {
        c = get_char();
        if (c == close || c == '\n' || c == END_OF_INPUT) break;
        file_name += static_cast<char>(c);
        if (file_name.size() >= WORK_BUFFER_SIZE) {
            pp.raw_mode = false;
            pp_fatal("Work buffer overflow:  %s", file_name.substr(0, 64).c_str());
        }
    }
    pp.raw_mode = false;
    if (c != close) {
        unget_char();
        pp_error("#include syntax error");
        get_char();
        return;
    }
    // A file that includes itself, directly or through others, would otherwise
    // be opened until the system runs out of file descriptors.
    if (open_file_count() >= INCLUDE_DEPTH_LIMIT) pp_fatal("Too many nested #%s statements", "include");
    FILE* f = nullptr;
    std::string opened;
    if (close == '"') {
        std::string path = file_name;
        if (file_name[0] != '/') {
            InputSource* s = innermost_file();
            if (s) {
                size_t slash = s->name.rfind('/');
                if (slash != std::string::npos) path = s->name.substr(0, slash + 1) + file_name;
            }
        }
        if ((f = try_open(path))) opened = path;
    }
    for (size_t i = 0; !f && i < pp.include_dirs.size(); ++i) {
        std::string path = file_name[0] == '/' ? file_name : pp.include_dirs[i] + "/" + file_name;
        if (path.size() >= LINE_BUFFER_SIZE) pp_fatal("Filename work buffer overflow");
        if ((f = try_open(path))) opened = path;
    }
    if (!f) pp_fatal("Cannot open include file \"%s\"", file_name.c_str());
    // The rest of the line is taken before the file is read. On the last line
    // of an included file, without a newline, it ends with that file, and the
    // new file nests inside this one: a file including itself there meets the
    // nesting limit.
    skip_to_newline();
    get_char();
    push_file(f, opened, true);
    if (pp.current->parent) pp.current->parent->shown_line = pp.directive_line;
}

// #line: the number sets the line of the next line, the rest names the file.
void do_line() {
    std::string text;
    int c;
    while ((c = get_char()) != '\n' && c != END_OF_INPUT) {
        text += static_cast<char>(c);
        if (text.size() >= WORK_BUFFER_SIZE) pp_fatal("Work buffer overflow:  %s", text.substr(0, 64).c_str());
    }
    unget_char();
    size_t i = 0;
    while (i < text.size() && is_blank(static_cast<unsigned char>(text[i]))) ++i;
    bool has_number = false;
    long number = 0;
    while (i < text.size() && is_digit(static_cast<unsigned char>(text[i]))) {
        has_number = true;
        if (number < 2147483647L) number = number * 10 + (text[i] - '0');
        if (number > 2147483647L) number = 2147483647L;
        ++i;
    }
    while (i < text.size() && is_blank(static_cast<unsigned char>(text[i]))) ++i;
    if (i < text.size()) {
        std::string rest = text.substr(i);
        size_t last = rest.rfind('"');
        if (rest[0] == '"' && last != 0) rest = rest.substr(1, last - 1);
        if (InputSource* s = innermost_file()) {
            s->has_line_name = true;
            s->line_name = rest;
        }
    }
    // the newline that ends the directive brings the count to the number
    if (has_number) pp.line = number - 1;
    pp.marker_due = true;
}

// A pragma means nothing to the converted script: the line is dropped.
void do_pragma() { skip_to_newline(); }

void do_assert() {
    if (!if_argument_present()) return;
    if (evaluate_expression() == 0) pp_error("Preprocessor assertion failure");
}

// After a directive: the rest of the line must be empty; the newline is taken.
void finish_line() {
    int c = skip_blanks();
    if (c == '\n' || c == END_OF_INPUT) return;
    pp_warning("Unexpected text in #control line ignored");
    while (c != '\n' && c != END_OF_INPUT) c = get_char();
}

}  // namespace

void process_directive() {
    pp.directive_line = pp.line;
    pp.in_directive = true;
    int c = skip_blanks();
    if (c == '\n' || c == END_OF_INPUT) {
        pp.in_directive = false;
        return;
    }
    std::string name;
    if (is_digit(c)) {
        unget_char();
        name = "line";
    } else if (is_identifier_start(c)) {
        name = read_identifier(c);
    } else {
        unget_char();
    }
    Directive d = find_directive(name);
    if (!current_is_file()) pp_warning("Control line \"%s\" within macro expansion", name.c_str());

    if (!pp.active) {
        switch (d) {
        case Directive::if_:
        case Directive::ifdef:
        case Directive::ifndef:
            push_group(name, 0);
            skip_to_newline();
            get_char();
            pp.in_directive = false;
            return;
        case Directive::include:
        case Directive::define:
        case Directive::pragma:
        case Directive::undef:
        case Directive::assert_:
        case Directive::line:
            skip_to_newline();
            get_char();
            pp.in_directive = false;
            return;
        default:
            break;
        }
    }
    switch (d) {
    case Directive::if_:
    case Directive::ifdef:
    case Directive::ifndef: do_if(d, name); break;
    case Directive::elif: do_elif(name); break;
    case Directive::else_: do_else(name); break;
    case Directive::endif: do_endif(name); break;
    case Directive::include:
        do_include();
        pp.in_directive = false;
        return;
    case Directive::define: define_macro(pp.macro_file); break;
    case Directive::undef: undefine_macro(); break;
    case Directive::pragma: do_pragma(); break;
    case Directive::assert_: do_assert(); break;
    case Directive::line: do_line(); break;
    case Directive::none: pp_error("Illegal # command \"%s\"", name.c_str()); break;
    }
    finish_line();
    pp.in_directive = false;
}
