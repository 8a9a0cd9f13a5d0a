// What the program asks of the operating system. platform_posix.cpp and
// platform_windows.cpp implement it; the rest of the program is the same on
// every system and writes the same bytes everywhere.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// --- standard streams ---

// Makes the standard streams, and every file opened from now on, binary:
// nothing translates line ends or stops at a control character.
void prepare_standard_streams();
// Keeps copies of standard output and standard error; restore_standard_streams
// flushes both and points them back at the copies; release_saved_streams
// closes the copies.
void save_standard_streams();
void restore_standard_streams();
void release_saved_streams();
// Standard input reads `path` from its start; false when it cannot be opened
// or names a directory.
bool bind_standard_input(const char* path);
// Standard input reads the null device; nothing read before is left over.
void unbind_standard_input();
// Standard output writes `path`, created or truncated; false when it cannot
// be opened.
bool bind_standard_output(const char* path);
// Standard output is flushed and then writes the null device.
void unbind_standard_output();
// Whether both paths name one existing file.
bool same_file(const char* a, const char* b);

// --- files and directories ---

// The system's temporary directory, or "" when there is none.
std::string temporary_directory();
// Opens a regular file for reading; nullptr for anything else (a device, a
// FIFO, a directory), without waiting on a FIFO.
FILE* open_regular_file(const char* path);
// Creates a new directory inside `parent`, named `prefix` and a suffix no
// other directory there has. Its path, or "" when it cannot be made.
std::string make_private_directory(const std::string& parent, const char* prefix);
// Removes a file, or an empty directory. Neither allocates nor takes a lock,
// so the interruption handler may call them.
void remove_file_now(const char* path);
void remove_directory_now(const char* path);
// The running program's path as the system knows it, else `fallback`.
std::string program_own_path(const char* fallback);
// The characters that end the directory part of a path ("/" here, also "\"
// and the drive's ":" on Windows), and the separator put between a directory
// and a name.
extern const char kDirectorySeparators[];
extern const char kPathSeparator;
// Whether the batch mode (child processes) is built for this system.
extern const bool kBatchModeAvailable;

// Closes a copy of standard output's descriptor: false, with errno set, when
// the system reports a failed write there (a network file system does).
bool standard_output_closes();
// Why the last write through descriptor `fd` failed (an errno value).
int failed_write_reason(int fd);
// The output file's temporary name and its replacement (prepare_output,
// commit_output, discard_output, remove_output_file of checked_write.h) are
// implemented with the rest of this interface.

// --- interruption ---

// Ctrl-C, a request to terminate or the closing of the console: `cleanup`
// runs, then the process ends the way that event ends it by default.
void on_interruption(void (*cleanup)());

// --- execution and memory ---

// Runs body(argument) on a thread with a stack of `bytes` and waits for it;
// on the calling thread when no such thread can be made.
void run_with_stack(size_t bytes, void (*body)(void*), void* argument);
// A block of `bytes` (a power of two) aligned to its own size, never given
// back; the system is asked to back it with large pages where it can.
void* allocate_aligned_chunk(size_t bytes);

// --- byte-wise stream access without locking ---
#ifdef _WIN32
inline int getc_unlocked(FILE* f) { return _getc_nolock(f); }
inline int putc_unlocked(int c, FILE* f) { return _putc_nolock(c, f); }
#endif
