// Writing the preprocessed text: characters, line markers and the comment
// buffer. The output keeps count of the line number the scanner will give
// to each line, so that a marker is written wherever it would drift from the
// source line.
#include <cstdarg>

#include "driver/platform.h"
#include "preprocessor/pp_internal.h"

void out_char(int c) {
    if (c == NO_EXPAND_MARK || c == TOKEN_SEPARATOR || c == COMMENT_SEPARATOR) return;
    putc_unlocked(c, stdout);
    if (c == '\n') {
        ++pp.out_line;
        pp.at_line_start = true;
    } else {
        pp.at_line_start = false;
    }
}

void out_text(const std::string& s) {
    for (unsigned char c : s) out_char(c);
}

void out_format(const char* format, ...) {
    char small[512];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n < 0) return;
    if (static_cast<size_t>(n) < sizeof small) {
        out_text(small);
        return;
    }
    std::string big(static_cast<size_t>(n) + 1, '\0');
    va_start(args, format);
    std::vsnprintf(big.data(), big.size(), format, args);
    va_end(args);
    big.resize(static_cast<size_t>(n));
    out_text(big);
}

void end_output_line() {
    if (!pp.at_line_start) out_char('\n');
}

void write_line_marker(long number) {
    end_output_line();
    out_format("#%s %ld", "line", number);
    InputSource* s = pp.current;
    if (s && s->file) {
        const std::string& name = effective_name(s);
        if (!pp.has_last_marker_name || name != pp.last_marker_name) {
            out_format(" \"%s\"", name.c_str());
            pp.last_marker_name = name;
            pp.has_last_marker_name = true;
        }
    }
    out_char('\n');
    pp.out_line = number;
    pp.marker_due = false;
}

// Brings the output to `target_line`: a few missing lines are written as
// newlines, anything else (or a due marker) becomes a line marker.
void sync_output(long target_line, bool force_marker) {
    long missing = target_line - pp.out_line;
    if (!pp.at_line_start) {
        if (!force_marker && missing >= 1 && missing <= 5) {
            for (long i = 0; i < missing; ++i) out_char('\n');
            return;
        }
        write_line_marker(target_line);
        return;
    }
    if (force_marker || missing < 0 || missing > 4) {
        write_line_marker(target_line);
        return;
    }
    for (long i = 0; i < missing; ++i) out_char('\n');
}

void flush_comment_buffer() {
    if (pp.comment_buffer.empty()) return;
    out_text(pp.comment_buffer);
    pp.comment_buffer.clear();
}
