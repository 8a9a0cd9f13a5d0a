// One run of the preprocessor: the main loop over the input lines and the
// copying of text lines.
#include "preprocessor/pp_internal.h"
#include "preprocessor/preprocessor.h"

PreprocessorState pp;

namespace {

// Resets what belongs to one run; what the runs of one conversion share stays.
void start_run() {
    free_sources();
    pp.line = 1;
    pp.active = true;
    pp.depth = 0;
    for (auto& entry : pp.conditional_stack) entry = 0;
    pp.conditional_stack[0] = GROUP_ENCLOSING_ACTIVE;
    pp.comment_buffer.clear();
    pp.comment_buffer.reserve(256);
    pp.error_count = 0;
    pp.closed_block_comments = 0;
    pp.marker_due = false;
    pp.raw_mode = false;
    pp.body_raw = false;
    pp.line_start_scan = false;
    pp.in_directive = false;
    pp.eof_state = false;
    pp.comment_blank_returned = false;
    pp.comment_blank_pending = false;
    pp.expansion_count = 0;
    pp.chain_start.clear();
    pp.at_line_start = true;
}

int take(int c) {
    out_char(c);
    return get_char();
}

// The digits after the point of a fraction, its exponent and its suffixes.
int copy_fraction(int c) {
    while (is_digit(c)) c = take(c);
    if (c == 'e' || c == 'E') {
        c = take(c);
        if (c == '+' || c == '-') c = take(c);
        while (is_digit(c)) c = take(c);
    }
    while (c == 'u' || c == 'U' || c == 'l' || c == 'L') c = take(c);
    return c;
}

// Copies a number as scanned; an octal number with 8 or 9 is warned about.
// A fraction is not an octal number, whatever digits it begins with.
int copy_number(int c) {
    bool octal = false, bad_octal = false;
    if (c == '0') {
        c = take(c);
        if (c == 'x' || c == 'X') {
            c = take(c);
            while (is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) c = take(c);
            while (c == 'u' || c == 'U' || c == 'l' || c == 'L') c = take(c);
            return c;
        }
        octal = true;
    }
    while (is_digit(c)) {
        if (c == '8' || c == '9') bad_octal = octal;
        c = take(c);
    }
    if (c == '.') return copy_fraction(take(c));
    if (c == 'e' || c == 'E') return copy_fraction(c);
    if (bad_octal) {
        // named on the number's own line, not on the one its newline begins
        if (c == '\n') unget_char();
        pp_warning("Illegal digit in octal number");
        if (c == '\n') c = get_char();
    }
    while (c == 'u' || c == 'U' || c == 'l' || c == 'L') c = take(c);
    return c;
}

// Copies a literal; returns the character after it, or the end of input.
int copy_literal(int quote) {
    out_char(quote);
    pp.raw_mode = true;
    bool escaped = false;
    for (;;) {
        const int c = get_char();
        if (c == END_OF_INPUT) {
            pp.raw_mode = false;
            pp_error("Unterminated string");
            return END_OF_INPUT;
        }
        out_char(c);
        if (escaped) {
            escaped = false;
        } else if (c == quote || (c == '\n' && quote == '"')) {
            break;
        } else {
            escaped = c == '\\';
        }
    }
    pp.raw_mode = false;
    return get_char();
}

// An identifier of a text line: expanded when it names a macro, else written.
void copy_identifier(int first) {
    bool from_file = current_is_file();
    std::string name = read_identifier(first);
    if (name[0] == NO_EXPAND_MARK) {
        out_text(name);
        return;
    }
    int c = get_char();
    if (c == TOKEN_SEPARATOR) {
        while (c == TOKEN_SEPARATOR) {
            c = get_char();
            while (is_identifier_char(c)) {
                name += static_cast<char>(c);
                if (name.size() > WORK_BUFFER_SIZE) pp_fatal("work buffer overflow doing %s #", name.substr(0, 64).c_str());
                c = get_char();
            }
        }
    }
    unget_char();
    MacroDefinition* m = lookup_macro(name);
    if (!m) {
        out_text(name);
        return;
    }
    Expansion e = expand_macro(m, from_file);
    if (e == Expansion::not_expanded) out_text(name);
}

// Copies one text line, starting with its first character `c`.
void copy_text_line(int c) {
    for (;;) {
        if (c == '\n' || c == END_OF_INPUT) {
            bool in_expansion = !current_is_file();
            flush_comment_buffer();
            out_char('\n');
            if (in_expansion) pp.marker_due = true;
            return;
        }
        if (c == ' ' || c == '\t') {
            while (c == ' ' || c == '\t' || c == COMMENT_SEPARATOR) c = get_char();
            out_char(' ');
            continue;
        }
        if (c == COMMENT_SEPARATOR || c == TOKEN_SEPARATOR) {
            c = get_char();
            continue;
        }
        if (is_identifier_start(c)) {
            copy_identifier(c);
            c = get_char();
            continue;
        }
        if (is_digit(c)) {
            c = copy_number(c);
            continue;
        }
        if (c == '.' && is_digit(peek_raw())) {
            c = copy_fraction(take(c));
            continue;
        }
        if (c == '"' || c == '\'') {
            c = copy_literal(c);
            continue;
        }
        out_char(c);
        c = get_char();
    }
}

void skip_line(int c) {
    while (c != '\n' && c != END_OF_INPUT) c = get_char();
}

void main_loop() {
    for (;;) {
        pp.line_start_scan = true;
        int c = skip_blanks();
        pp.line_start_scan = false;
        if (!pp.comment_buffer.empty()) {
            end_output_line();
            flush_comment_buffer();
        }
        if (c == '\n') {
            out_char('\n');
            continue;
        }
        if (c == '#') {
            process_directive();
            continue;
        }
        if (c == END_OF_INPUT) break;
        if (c == PASS_THROUGH) {
            if (pp.active) {
                sync_output(pp.pass_through_line, pp.marker_due && current_is_file());
                out_text(pp.pass_through_text);
                out_char('\n');
            }
            continue;
        }
        if (!pp.active) {
            skip_line(c);
            continue;
        }
        sync_output(pp.line, pp.marker_due && current_is_file());
        pp.closed_block_comments = 0;
        copy_text_line(c);
    }
}

}  // namespace

void preprocessor_reset() {
    free_sources();
    clear_macro_table();
    pp.first_run = true;
    pp.has_last_marker_name = false;
    pp.last_marker_name.clear();
    pp.include_dirs.clear();
    pp.converted_functions.clear();
    pp.converted_set.clear();
    pp.out_line = 1;
    pp.at_line_start = true;
}

int run_preprocessor(const char* macrofilename) {
    start_run();
    pp.macro_file = macrofilename;
    define_predefined_macros();
    pp.include_dirs.push_back("/usr/include");
    std::clearerr(stdin);
    push_file(stdin, "", false);
    write_line_marker(1);
    out_char('\n');
    if (pp.first_run) {
        out_text("// #dtsdefina LOCAL &function &args\n");
        out_format("// #dtsdefinb ENTRY &function %%LINE &args\n");
        pp.first_run = false;
    }
    pp.marker_due = true;
    main_loop();
    if (pp.depth > 0) pp_error("Inside #ifdef block at end of input, depth = %d", pp.depth);
    end_output_line();
    std::fflush(stdout);
    free_sources();
    if (pp.error_count > 0) {
        std::fprintf(stderr, pp.error_count == 1 ? "%d error in preprocessor\n" : "%d errors in preprocessor\n",
                     pp.error_count);
        pp.comment_buffer = std::string();
        return 1;
    }
    pp.comment_buffer = std::string();
    return 0;
}
