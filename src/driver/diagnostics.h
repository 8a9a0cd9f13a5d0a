// Run settings, the error state and the diagnostics shared by every stage.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>

// --- run settings (set while the command line is read) ---
extern int32_t architecture;             // 0 none, 1..11 (see the -a table)
extern int32_t target_mcu_index;         // -1 none
extern bool disable_unsupported_errors;  // -d
extern bool textout_window_disabled;     // -w

// --- error state ---
extern int32_t error_flag;  // set to 1 by every Error; never cleared during a run

// The shared message buffer. It grows as needed, so a message built from long
// identifiers or file names can never overflow it.
extern std::string message_buffer;

// printf-style formatting into a string of the needed size (the format itself
// when it cannot be formatted).
std::string format_va(const char* format, va_list args);

// Formats into message_buffer (printf-style) and returns its text.
const char* set_message(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "line %d: Warning: %s\n" on standard error.
void report_warning(long line, const char* message);
// "line %d: Error: %s\n" on standard error, and sets error_flag.
void report_error(long line, const char* message);
// Formats the message into message_buffer, then reports it.
void warning_at(long line, const char* format, ...) __attribute__((format(printf, 2, 3)));
void error_at(long line, const char* format, ...) __attribute__((format(printf, 2, 3)));

// "\nFATAL INTERNAL ERROR at %s, %s(), line %i\n" on standard error (and a
// second copy on standard output), then exit status 1 without removing files.
[[noreturn]] void fatal_internal_error(const char* module, const char* function, int source_line);
#define FATAL_INTERNAL_ERROR(function) fatal_internal_error("compiler", function, __LINE__)

// Ends the run with exit status `status`. Everything that stops a run early
// goes through here; a test harness that runs many conversions in one process
// installs `run_exit_hook` (which must not return, e.g. it throws).
[[noreturn]] void terminate_run(int status);
extern void (*run_exit_hook)(int status);
// Called first by terminate_run and by a fatal internal error: removes the
// run's working files.
extern void (*run_cleanup_hook)();
extern bool fatal_internal_error_seen;  // set before a fatal internal error ends the run

// --- debug trace ("debug.txt" in the working directory) ---
void debug_trace_start();                // truncates and writes the two header lines
void debug_trace(const char* text);      // appends text as it is
void debug_trace_line(const char* text); // appends text and "\n"
void debug_trace_close();               // flushes and closes the trace
void debug_tracef(const char* format, ...) __attribute__((format(printf, 1, 2)));  // as it is
