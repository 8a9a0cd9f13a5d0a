// The operating-system pieces of a batch run: starting a conversion as a child
// process in a directory of its own, waiting for children, interrupts, the
// terminal and the number of processors. Everything else in the batch mode is
// portable.
#pragma once

#include <string>
#include <vector>

// Starts `argv` (argv[0] is the program's path) in `directory`, with standard
// input from the null device and standard output and error written to the two
// files. Returns the child's id, or -1 when it could not be started.
long start_child(const std::vector<std::string>& argv, const std::string& directory, const std::string& stdout_path,
                 const std::string& stderr_path);

// Waits until one of the started children ends. Returns its id and sets
// `status` to its exit status, or to 128 plus the signal that ended it; -1 when
// there is no child to wait for. An interrupt (see below) does not end the
// wait.
long wait_child(int* status);

// After install_interrupt_watch, SIGINT and SIGTERM no longer end the batch at
// once: interrupt_signal() returns the signal (0 while none came), so that the
// batch can wait for its children and remove its files first;
// end_by_signal(signal) then ends the process by that signal.
void install_interrupt_watch();
int interrupt_signal();
[[noreturn]] void end_by_signal(int signal);

// Creates a new directory, readable only by this user, named `prefix` and six
// random characters, inside the system's temporary directory; "" on failure.
std::string make_private_directory(const std::string& prefix);

// Makes `link` name the file or folder `target`.
bool link_entry(const std::string& target, const std::string& link);

bool stderr_is_terminal();
// Processors this process may run on (at least 1).
int processor_count();
