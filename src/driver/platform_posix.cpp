// The platform interface on POSIX systems.
#ifndef _WIN32
#include "driver/platform.h"

#include "driver/checked_write.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <stdio_ext.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>


const char kDirectorySeparators[] = "/";
const char kPathSeparator = '/';
const bool kBatchModeAvailable = true;

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

// A stream whose error flag is set no longer knows why its write failed (the
// C library keeps no reason, and errno may have changed since): one more byte
// written through the descriptor tells. A regular file gets the byte past
// its end, taken back at once; a device or pipe is asked with an empty write.
int reason_of_failed_write(int fd) {
    struct stat st;
    char byte = 0;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        ssize_t n = pwrite(fd, &byte, 1, st.st_size);
        if (n == 1) {
            if (ftruncate(fd, st.st_size) != 0) return errno;
            return EIO;
        }
        return n < 0 ? errno : ENOSPC;
    }
    if (write(fd, &byte, 0) < 0) return errno;
    return EIO;
}

std::string directory_of(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string file_name_of(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

mode_t creation_mode() {
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

int failed_write_reason(int fd) { return reason_of_failed_write(fd); }

bool standard_output_closes() {
    int fd = dup(STDOUT_FILENO);
    return fd < 0 || close(fd) == 0;
}


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
    clearerr(stdout);  // a failed write to a stage file is not the console's
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

FILE* open_regular_file(const char* path) {
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* f = fdopen(fd, "r");
    if (!f) close(fd);
    return f;
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

void prepare_output(const char* path, OutputTarget* target) {
    *target = OutputTarget{path, path, path, true};
    std::string final_path = path;
    struct stat st;
    bool exists = stat(path, &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        target->remove_on_failure.clear();  // a device or pipe is never removed
        return;
    }
    if (!exists && lstat(path, &st) == 0) return;  // a dangling link: written through as before
    if (exists) {
        // A link is followed, so that the file it names receives the script.
        if (char* real = realpath(path, nullptr)) {
            final_path = real;
            std::free(real);
        }
    }
    std::string temporary = directory_of(final_path) + "/." + file_name_of(final_path) + ".XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0) return;  // a directory we may not write in: the file itself is written
    fchmod(fd, exists ? (st.st_mode & 07777) : creation_mode());
    close(fd);
    *target = OutputTarget{final_path, temporary, temporary, false};
    return;
}

bool commit_output(const OutputTarget& target) {
    if (target.direct) return true;
    if (std::rename(target.write_path.c_str(), target.final_path.c_str()) == 0) return true;
    int error = errno;
    unlink(target.write_path.c_str());
    errno = error;
    return false;
}

void discard_output(const OutputTarget& target) {
    if (!target.direct) unlink(target.write_path.c_str());
}

void remove_output_file(const char* path) {
    struct stat st;
    if (lstat(path, &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode))) unlink(path);
}
#endif
