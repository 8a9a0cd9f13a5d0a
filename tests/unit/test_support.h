// Helpers for unit tests: capture what a routine writes to standard output or
// standard error, and write scratch files.
#pragma once

#include <pthread.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace test_support {

// Redirects a standard stream (stdout or stderr) into a temporary file for the
// lifetime of the object; text() returns what was written so far.
class Capture {
public:
    explicit Capture(FILE* stream) : stream_(stream) {
        std::fflush(stream_);
        char name[] = "/tmp/capture.XXXXXX";
        int fd = mkstemp(name);
        path_ = name;
        saved_ = dup(fileno(stream_));
        dup2(fd, fileno(stream_));
        close(fd);
    }
    ~Capture() { restore(); std::remove(path_.c_str()); }
    std::string text() {
        std::fflush(stream_);
        std::ifstream in(path_, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    void restore() {
        if (saved_ < 0) return;
        std::fflush(stream_);
        dup2(saved_, fileno(stream_));
        close(saved_);
        saved_ = -1;
    }

private:
    FILE* stream_;
    std::string path_;
    int saved_ = -1;
};

// Runs `fn` on a thread with a 1 GiB stack, as the program runs a conversion:
// deep nesting then needs the room the program gives it, also in sanitizer
// builds, whose frames are several times larger.
inline void run_with_program_stack(const std::function<void()>& fn) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, size_t(1) << 30);
    pthread_t thread;
    auto body = [](void* p) -> void* {
        (*static_cast<const std::function<void()>*>(p))();
        return nullptr;
    };
    if (pthread_create(&thread, &attr, body, const_cast<std::function<void()>*>(&fn)) == 0)
        pthread_join(thread, nullptr);
    else
        fn();
    pthread_attr_destroy(&attr);
}

// A path in /tmp of this test process's own: ctest runs test processes in
// parallel, and a fixed name would be shared between them.
inline std::string private_path(const char* name) {
    return "/tmp/" + std::string(name) + "." + std::to_string(getpid());
}

inline std::string write_temp_file(const std::string& content, const char* suffix = "") {
    char name[] = "/tmp/unit.XXXXXX";
    int fd = mkstemp(name);
    close(fd);
    std::string path = std::string(name) + suffix;
    if (*suffix) std::rename(name, path.c_str());
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

}  // namespace test_support
