#include "driver/format_output.h"

#include "driver/platform.h"

// A line that is "(" alone opens a level, a line that begins with ")" closes
// one; every line after the first is indented by one TAB per open level, except
// label lines, which begin with two underscores and stay in column 0.
void format_output(FILE* in, FILE* out) {
    unsigned depth = 0;
    auto indent = [&] {
        for (unsigned i = 0; i < depth; ++i) putc_unlocked('\t', out);
    };
    // Copies the rest of a line, newline included. False at end of input.
    auto copy_line = [&]() -> bool {
        int c;
        while ((c = getc_unlocked(in)) != EOF) {
            putc_unlocked(c, out);
            if (c == '\n') return true;
        }
        return false;
    };

    if (!copy_line()) return;  // the first line is copied as it stands
    for (;;) {
        int b = getc_unlocked(in);
        if (b == EOF) return;
        if (b == '\n') {
            indent();
            putc_unlocked('\n', out);
            continue;
        }
        if (b == '(') {
            int c = getc_unlocked(in);
            if (c == EOF) return;
            indent();
            putc_unlocked('(', out);
            putc_unlocked(c, out);
            if (c == '\n') {
                ++depth;
                continue;
            }
            if (!copy_line()) return;
            continue;
        }
        if (b == ')') {
            if (depth > 0) --depth;
            indent();
            putc_unlocked(')', out);
            if (!copy_line()) return;
            continue;
        }
        if (b == '_') {
            int c = getc_unlocked(in);
            if (c == EOF) return;
            if (c != '_') indent();
            putc_unlocked('_', out);
            putc_unlocked(c, out);
            if (c == '\n') continue;
            if (!copy_line()) return;
            continue;
        }
        indent();
        putc_unlocked(b, out);
        if (!copy_line()) return;
    }
}
