// The preprocessor's diagnostics: "line N: Severity: message", the line being
// read, and the chain of files and macros it was reached through.
#include <cstdarg>

#include "driver/diagnostics.h"
#include "preprocessor/pp_internal.h"

namespace {

void put_line_buffer(const InputSource* s) {
    size_t start = s->line_start < s->buffer.size() ? s->line_start : s->buffer.size();
    std::fwrite(s->buffer.data() + start, 1, s->buffer.size() - start, stderr);
    if (s->buffer.size() == start || s->buffer.back() != '\n') std::fputc('\n', stderr);
}

void report(const char* severity, const std::string& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "%sline %ld: %s: ", "", pp.line, severity);
    std::fputs(message.c_str(), stderr);
    std::fputc('\n', stderr);
    const InputSource* s = pp.current;
    if (!s) return;
    if (s->file) put_line_buffer(s);
    for (const InputSource* p = s->parent; p; p = p->parent) {
        if (p->file) {
            std::fprintf(stderr, "from file %s, line %ld:\n", effective_name(p).c_str(), p->shown_line);
            put_line_buffer(p);
        } else {
            std::fprintf(stderr, "from macro %s\n", p->name.c_str());
        }
    }
}

}  // namespace

void pp_warning(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = format_va(format, args);
    va_end(args);
    report("Warning", text);
}

void pp_error(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = format_va(format, args);
    va_end(args);
    report("Error", text);
    ++pp.error_count;
}

void pp_fatal(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = format_va(format, args);
    va_end(args);
    report("Fatal error", text);
    std::fflush(stdout);
    std::fflush(stderr);
    terminate_run(1);
}
