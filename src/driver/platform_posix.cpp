// The platform interface on POSIX systems.
#ifndef _WIN32
#include "driver/platform.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <stdio_ext.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>


const char kDirectorySeparators[] = "/";
const char kPathSeparator = '/';

namespace {

int saved_stdout = -1;
int saved_stderr = -1;

void bind_null_device(int target, int flags) {
    int fd = open("/dev/null", flags);
    if (fd >= 0) {
        dup2(fd, target);
        close(fd);
    }
}

void (*interruption_cleanup)() = nullptr;

extern "C" void on_signal(int sig) {
    if (interruption_cleanup) interruption_cleanup();
    signal(sig, SIG_DFL);
    raise(sig);
}

struct StackRun {
    void (*body)(void*);
    void* argument;
};

void* stack_thread(void* p) {
    auto* run = static_cast<StackRun*>(p);
    run->body(run->argument);
    return nullptr;
}

}  // namespace

void prepare_standard_streams() {}

void save_standard_streams() {
    saved_stdout = dup(STDOUT_FILENO);
    saved_stderr = dup(STDERR_FILENO);
}

void restore_standard_streams() {
    std::fflush(stdout);
    std::fflush(stderr);
    if (saved_stdout >= 0) dup2(saved_stdout, STDOUT_FILENO);
    if (saved_stderr >= 0) dup2(saved_stderr, STDERR_FILENO);
}

void release_saved_streams() {
    for (int* fd : {&saved_stdout, &saved_stderr}) {
        if (*fd >= 0) close(*fd);
        *fd = -1;
    }
}

bool bind_standard_input(const char* path) {
    int fd = open(path, O_RDONLY);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        return false;
    }
    __fpurge(stdin);
    dup2(fd, STDIN_FILENO);
    close(fd);
    clearerr(stdin);
    return true;
}

void unbind_standard_input() {
    __fpurge(stdin);
    bind_null_device(STDIN_FILENO, O_RDONLY);
    clearerr(stdin);
}

bool bind_standard_output(const char* path) {
    std::fflush(stdout);
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) return false;
    dup2(fd, STDOUT_FILENO);
    close(fd);
    return true;
}

void unbind_standard_output() {
    std::fflush(stdout);
    bind_null_device(STDOUT_FILENO, O_WRONLY);
}

bool same_file(const char* a, const char* b) {
    struct stat sa, sb;
    if (stat(a, &sa) != 0 || stat(b, &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string temporary_directory() {
    std::error_code ec;
    std::string path = std::filesystem::temp_directory_path(ec).string();
    return ec ? std::string() : path;
}

std::string make_private_directory(const std::string& parent, const char* prefix) {
    std::string templ = parent + kPathSeparator + prefix + "XXXXXX";
    if (!mkdtemp(templ.data())) return std::string();
    return templ;
}

void remove_file_now(const char* path) { unlink(path); }
void remove_directory_now(const char* path) { rmdir(path); }

std::string program_own_path(const char* fallback) {
    std::vector<char> buffer(4096);
    for (;;) {
        ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return fallback ? fallback : "";
        if (static_cast<size_t>(length) < buffer.size()) return std::string(buffer.data(), static_cast<size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

void on_interruption(void (*cleanup)()) {
    interruption_cleanup = cleanup;
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

void run_with_stack(size_t bytes, void (*body)(void*), void* argument) {
    StackRun run{body, argument};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, bytes);
    pthread_t thread;
    if (pthread_create(&thread, &attr, stack_thread, &run) != 0)
        body(argument);
    else
        pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

void* allocate_aligned_chunk(size_t bytes) {
    void* memory = std::aligned_alloc(bytes, bytes);
    if (!memory) std::abort();
#ifdef MADV_HUGEPAGE
    madvise(memory, bytes, MADV_HUGEPAGE);
#endif
    return memory;
}
#endif
