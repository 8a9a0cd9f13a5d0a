// The source stack and the character reader: line buffers, continuations,
// comments into the comment buffer, raw mode.
#include "driver/platform.h"
#include "preprocessor/pp_internal.h"

namespace {

// Characters of the previous chunk kept in front of a new one, so that the
// last character read can always be stepped back over.
constexpr size_t KEPT_TAIL = 4;

enum CharClass : uint8_t { OTHER, DIGIT, IDENT, BLANK };

struct ClassTable {
    uint8_t cls[256];
    ClassTable() {
        for (int c = 0; c < 256; ++c) cls[c] = OTHER;
        for (int c = '0'; c <= '9'; ++c) cls[c] = DIGIT;
        for (int c = 'a'; c <= 'z'; ++c) cls[c] = IDENT;
        for (int c = 'A'; c <= 'Z'; ++c) cls[c] = IDENT;
        cls['_'] = cls['$'] = cls[NO_EXPAND_MARK] = IDENT;
        cls[' '] = cls['\t'] = cls[COMMENT_SEPARATOR] = BLANK;
    }
};
const ClassTable classes;

// Reads the next line (at most LINE_BUFFER_SIZE characters) of a file into
// its buffer. CR LF becomes LF; NUL and 0x1D bytes are dropped.
bool refill(InputSource* s) {
    if (s->file_ended) return false;
    // at the end of the file the last line stays in the buffer for messages
    int first = getc_unlocked(s->file);
    if (first == EOF) {
        s->file_ended = true;
        return false;
    }
    ungetc(first, s->file);
    size_t keep = s->buffer.size() < KEPT_TAIL ? s->buffer.size() : KEPT_TAIL;
    s->buffer.erase(0, s->buffer.size() - keep);
    s->line_start = keep;
    s->pos = keep;
    size_t count = 0;
    while (count < LINE_BUFFER_SIZE) {
        int c = getc_unlocked(s->file);
        if (c == EOF) {
            s->file_ended = true;
            break;
        }
        if (c == 0 || c == NO_EXPAND_MARK) continue;
        if (c == '\r') {
            int n = getc_unlocked(s->file);
            if (n == '\n') c = '\n';
            else if (n != EOF) ungetc(n, s->file);
        }
        s->buffer.push_back(static_cast<char>(c));
        ++count;
        if (c == '\n') break;
    }
    // An included file ends with its last line even without a newline: the
    // next line of the file that included it keeps a line of its own.
    if (s->file_ended && count > 0 && s->buffer.back() != '\n' && s->parent) s->buffer.push_back('\n');
    return count > 0;
}

}  // namespace

bool is_digit(int c) { return c >= 0 && c < 256 && classes.cls[c] == DIGIT; }
bool is_identifier_start(int c) { return c >= 0 && c < 256 && classes.cls[c] == IDENT; }
bool is_identifier_char(int c) { return c >= 0 && c < 256 && (classes.cls[c] == IDENT || classes.cls[c] == DIGIT); }
bool is_blank(int c) { return c >= 0 && c < 256 && classes.cls[c] == BLANK; }

void push_file(FILE* file, const std::string& name, bool close_file) {
    auto* s = new InputSource;
    s->file = file;
    s->close_file = close_file;
    s->name = name;
    s->parent = pp.current;
    if (pp.current) pp.current->saved_line = pp.current->shown_line = pp.line;
    pp.current = s;
    pp.line = 1;
    pp.marker_due = true;
}

void push_macro(const std::string& name, const std::string& text) {
    auto* s = new InputSource;
    s->name = name;
    s->buffer = text;
    s->parent = pp.current;
    if (pp.current) pp.current->saved_line = pp.current->shown_line = pp.line;
    pp.current = s;
}

void pop_source() {
    InputSource* s = pp.current;
    if (!s) return;
    if (s->file && s->close_file) std::fclose(s->file);
    pp.current = s->parent;
    // the end of a file goes back to the parent's line; an expansion does not
    // count lines of its own
    if (s->file && pp.current) pp.line = pp.current->saved_line;
    delete s;
}

void free_sources() {
    while (pp.current) pop_source();
}

bool current_is_file() { return pp.current && pp.current->file; }

int open_file_count() {
    int n = 0;
    for (InputSource* s = pp.current; s; s = s->parent)
        if (s->file) ++n;
    return n;
}

InputSource* innermost_file() {
    InputSource* s = pp.current;
    while (s && !s->file) s = s->parent;
    return s;
}

const std::string& effective_name(const InputSource* s) {
    return s->has_line_name ? s->line_name : s->name;
}

int get_raw() {
    for (;;) {
        InputSource* s = pp.current;
        if (!s) return END_OF_INPUT;
        if (s->pos < s->buffer.size()) {
            int c = static_cast<unsigned char>(s->buffer[s->pos++]);
            if (c == '\n') ++pp.line;
            return c;
        }
        if (s->file) {
            if (refill(s)) continue;
            // A directive on the last line of an included file, without a
            // newline, ends with that file: it never reads on into the
            // file that included it.
            if (!s->parent || pp.in_directive) return END_OF_INPUT;
            pop_source();
            pp.marker_due = true;
            continue;
        }
        if (!s->parent) return END_OF_INPUT;
        pop_source();
    }
}

int peek_raw() {
    InputSource* s = pp.current;
    if (!s) return -1;
    if (s->pos >= s->buffer.size()) {
        if (!s->file || !refill(s)) return -1;
    }
    return static_cast<unsigned char>(s->buffer[s->pos]);
}

void unget_char() {
    if (pp.eof_state) return;
    if (pp.comment_blank_returned) {
        // the blank a comment left has no place in a buffer: it comes again
        pp.comment_blank_returned = false;
        pp.comment_blank_pending = true;
        return;
    }
    InputSource* s = pp.current;
    if (!s) return;
    if (s->pos == 0) pp_fatal("Too much pushback");
    --s->pos;
    if (s->buffer[s->pos] == '\n') --pp.line;
}

namespace {

// After "/*": the comment text goes to the comment buffer. Returns the end of
// input or the first character after the comment and the blanks behind it.
int read_block_comment() {
    std::string& buf = pp.comment_buffer;
    buf += "// -- ";
    for (;;) {
        int c = get_raw();
        if (c == END_OF_INPUT) {
            buf += '\n';
            pp_error("EOF in comment");
            return END_OF_INPUT;
        }
        if (c == '*' && peek_raw() == '/') {
            get_raw();
            break;
        }
        buf += static_cast<char>(c);
        if (c == '\n') buf += "// -- ";
    }
    int c;
    do c = get_raw();
    while (c == ' ' || c == '\t' || c == COMMENT_SEPARATOR || c == 0x0B || c == 0x0C);
    buf += '\n';
    ++pp.closed_block_comments;
    return c;
}

// After "//": the rest of the line goes to the comment buffer; returns the
// newline (or the end of input).
int read_line_comment() {
    std::string& buf = pp.comment_buffer;
    buf += "// -- ";
    int c;
    while ((c = get_raw()) != '\n' && c != END_OF_INPUT) buf += static_cast<char>(c);
    buf += '\n';
    return c;
}

bool is_querna_blank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

// Whether the parentheses of t[begin, end) pair up, strings aside: the text
// of a QUERNA line is written as it stands, so only a whole command passes.
bool pairs_parentheses(const std::string& t, size_t begin, size_t end) {
    long depth = 0;
    bool in_string = false;
    for (size_t k = begin; k < end; ++k) {
        if (t[k] == '"') in_string = !in_string;
        else if (!in_string && t[k] == '(') ++depth;
        else if (!in_string && t[k] == ')' && --depth < 0) return false;
    }
    return depth == 0;
}

// The text after "//!" of a line written in QUERNA: optional blanks, the word
// QUERNA, optional blanks, "(", any text, ")" and optional blanks.
bool is_querna_call(const std::string& t) {
    size_t i = 0, n = t.size();
    while (i < n && is_querna_blank(t[i])) ++i;
    if (t.compare(i, 6, "QUERNA") != 0) return false;
    i += 6;
    while (i < n && is_querna_blank(t[i])) ++i;
    if (i >= n || t[i] != '(') return false;
    size_t end = n;
    while (end > i && (is_querna_blank(t[end - 1]) || t[end - 1] == '\r')) --end;
    return end > i + 1 && t[end - 1] == ')' && pairs_parentheses(t, i + 1, end - 1);
}

// After "//!" at the start of a line: a line written in QUERNA passes as it
// stands, its newline taken; any other such line is a line comment.
int read_pass_through() {
    long line = pp.line;
    std::string text;
    int c;
    while ((c = get_raw()) != '\n' && c != END_OF_INPUT) text += static_cast<char>(c);
    if (!is_querna_call(text.substr(1))) {
        pp.comment_buffer += "// -- ";
        pp.comment_buffer += text;
        pp.comment_buffer += '\n';
        return c;
    }
    pp.pass_through_text = "//" + text;
    pp.pass_through_line = line;
    return PASS_THROUGH;
}

int reader_step(int c) {
    for (;;) {
        if (c == END_OF_INPUT) return c;
        if (pp.raw_mode) return c;
        if (c == '\\') {
            if (pp.body_raw) return c;
            if (peek_raw() == '\n') {
                get_raw();
                pp.marker_due = true;
                c = get_raw();
                continue;
            }
            return c;
        }
        if (c == 0x0B || c == 0x0C) return ' ';
        if (c == '/') {
            int next = peek_raw();
            if (next == '*') {
                get_raw();
                c = read_block_comment();
                if (c == '\n' || c == END_OF_INPUT) return c;
                // as in C, a comment inside a line leaves one blank
                unget_char();
                return COMMENT_BLANK;
            }
            if (next == '/') {
                get_raw();
                if (pp.line_start_scan && peek_raw() == '!') return read_pass_through();
                return read_line_comment();
            }
        }
        return c;
    }
}

}  // namespace

int get_char() {
    int c;
    if (pp.comment_blank_pending) {
        pp.comment_blank_pending = false;
        c = COMMENT_BLANK;
    } else {
        c = reader_step(get_raw());
    }
    pp.comment_blank_returned = (c == COMMENT_BLANK);
    if (c == COMMENT_BLANK) c = ' ';
    pp.eof_state = (c == END_OF_INPUT);
    return c;
}

void skip_to_newline() {
    int c;
    while ((c = get_char()) != '\n' && c != END_OF_INPUT) {
    }
    unget_char();
}

int skip_blanks() {
    int c;
    do c = get_char();
    while (is_blank(c));
    return c;
}

std::string read_identifier(int first) {
    std::string name(1, static_cast<char>(first));
    int c;
    while (is_identifier_char(c = get_char())) name += static_cast<char>(c);
    unget_char();
    return name;
}
