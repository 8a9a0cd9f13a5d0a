// POSIX versions of the batch mode's process, signal and terminal calls.
#ifndef _WIN32
#include "driver/batch_process.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

volatile sig_atomic_t caught_signal = 0;

extern "C" void note_interrupt(int sig) { caught_signal = sig; }

// In the child, between fork and exec: only async-signal-safe calls.
[[noreturn]] void exec_child(char* const* argv, const char* directory, const char* out, const char* err) {
    int in_fd = open("/dev/null", O_RDONLY);
    int out_fd = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0666);
    int err_fd = open(err, O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (in_fd < 0 || out_fd < 0 || err_fd < 0 || chdir(directory) != 0) _exit(127);
    dup2(in_fd, STDIN_FILENO);
    dup2(out_fd, STDOUT_FILENO);
    dup2(err_fd, STDERR_FILENO);
    close(in_fd);
    close(out_fd);
    close(err_fd);
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    execv(argv[0], argv);
    static const char message[] = "Could not start the converter\n";
    ssize_t ignored = write(STDERR_FILENO, message, sizeof message - 1);
    (void)ignored;
    _exit(127);
}

}  // namespace

long start_child(const std::vector<std::string>& argv, const std::string& directory, const std::string& stdout_path,
                 const std::string& stderr_path) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) exec_child(args.data(), directory.c_str(), stdout_path.c_str(), stderr_path.c_str());
    return pid < 0 ? -1 : static_cast<long>(pid);
}

long wait_child(int* status) {
    for (;;) {
        int raw = 0;
        pid_t pid = waitpid(-1, &raw, 0);
        if (pid < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (WIFEXITED(raw))
            *status = WEXITSTATUS(raw);
        else if (WIFSIGNALED(raw))
            *status = 128 + WTERMSIG(raw);
        else
            continue;
        return static_cast<long>(pid);
    }
}

void install_interrupt_watch() {
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = note_interrupt;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

int interrupt_signal() { return caught_signal; }

void end_by_signal(int sig) {
    std::fflush(nullptr);
    signal(sig, SIG_DFL);
    raise(sig);
    std::_Exit(128 + sig);
}

std::string make_private_directory(const std::string& prefix) {
    std::error_code ec;
    std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
    if (ec) return "";
    std::string name = (temp / (prefix + "XXXXXX")).string();
    return mkdtemp(name.data()) ? name : "";
}

bool link_entry(const std::string& target, const std::string& link) {
    return symlink(target.c_str(), link.c_str()) == 0;
}

bool stderr_is_terminal() { return isatty(STDERR_FILENO) != 0; }

int processor_count() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        int n = CPU_COUNT(&set);
        if (n > 0) return n;
    }
    long n = sysconf(_SC_NPROCESSORS_ONLN);
    return n > 0 ? static_cast<int>(n) : 1;
}
#endif
