// The batch mode is not built for Windows: main() refuses it with a message
// before any of these is called. They exist so that the program links.
#ifdef _WIN32
#include "driver/batch_process.h"

#include <cstdlib>

long start_child(const std::vector<std::string>&, const std::string&, const std::string&, const std::string&) {
    return -1;
}
long wait_child(int*) { return -1; }
void install_interrupt_watch() {}
int interrupt_signal() { return 0; }
void end_by_signal(int) { std::_Exit(1); }
std::string make_private_directory(const std::string&) { return std::string(); }
bool link_entry(const std::string&, const std::string&) { return false; }
bool stderr_is_terminal() { return false; }
int processor_count() { return 1; }
#endif
