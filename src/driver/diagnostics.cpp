#include "driver/diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

int32_t architecture = 0;
int32_t target_mcu_index = -1;
bool disable_unsupported_errors = false;
bool textout_window_disabled = false;
int32_t error_flag = 0;
std::string message_buffer;

namespace {

const char* const kTraceFile = "debug.txt";

}  // namespace

std::string format_va(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n < 0) return format;
    std::string out(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<size_t>(n));
    return out;
}

const char* set_message(const char* format, ...) {
    va_list args;
    va_start(args, format);
    message_buffer = format_va(format, args);
    va_end(args);
    return message_buffer.c_str();
}

void report_warning(long line, const char* message) {
    std::fprintf(stderr, "line %ld: Warning: %s\n", line, message);
}

void report_error(long line, const char* message) {
    std::fprintf(stderr, "line %ld: Error: %s\n", line, message);
    error_flag = 1;
}

void warning_at(long line, const char* format, ...) {
    va_list args;
    va_start(args, format);
    message_buffer = format_va(format, args);
    va_end(args);
    report_warning(line, message_buffer.c_str());
}

void error_at(long line, const char* format, ...) {
    va_list args;
    va_start(args, format);
    message_buffer = format_va(format, args);
    va_end(args);
    report_error(line, message_buffer.c_str());
}

void fatal_internal_error(const char* module, const char* function, int source_line) {
    std::fflush(nullptr);
    std::fprintf(stderr, "\nFATAL INTERNAL ERROR at %s, %s(), line %i\n", module, function, source_line);
    std::fprintf(stdout, "\nFATAL INTERNAL ERROR at %s, %s, line %d\n", module, function, source_line);
    std::fflush(nullptr);
    fatal_internal_error_seen = true;
    if (run_cleanup_hook) run_cleanup_hook();
    if (run_exit_hook) run_exit_hook(1);
    std::_Exit(1);
}

void (*run_exit_hook)(int) = nullptr;
void (*run_cleanup_hook)() = nullptr;
bool fatal_internal_error_seen = false;

void terminate_run(int status) {
    if (run_cleanup_hook) run_cleanup_hook();
    debug_trace_close();
    if (run_exit_hook) run_exit_hook(status);
    // The run may end from the conversion thread while the main thread waits
    // for it: flush the streams and end without running static destructors
    // under a thread that may still use the objects they destroy.
    std::fflush(nullptr);
    std::_Exit(status);
}

// The trace is appended line by line; one stream kept open in append mode gives
// the same file as reopening it for every line, without the cost.
namespace {
FILE* trace_stream = nullptr;

// The trace of a large script runs to megabytes: it is written in large blocks.
FILE* trace() {
    if (!trace_stream) {
        trace_stream = std::fopen(kTraceFile, "a");
        static char buffer[size_t(256) << 10];  // the C library ignores a size without a buffer
        if (trace_stream) std::setvbuf(trace_stream, buffer, _IOFBF, sizeof buffer);
    }
    return trace_stream;
}
}  // namespace

void debug_trace_start() {
    debug_trace_close();
    if (FILE* f = std::fopen(kTraceFile, "w")) {
        std::fputs("==============================================================\n", f);
        std::fputs("Debug start.\n", f);
        std::fclose(f);
    }
}

void debug_trace_close() {
    if (trace_stream) std::fclose(trace_stream);
    trace_stream = nullptr;
}

void debug_trace(const char* text) {
    if (FILE* f = trace()) std::fputs(text, f);
}

void debug_trace_line(const char* text) {
    if (FILE* f = trace()) {
        std::fputs(text, f);
        std::fputc('\n', f);
    }
}

void debug_tracef(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = format_va(format, args);
    va_end(args);
    debug_trace(text.c_str());
}
