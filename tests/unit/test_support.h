// Helpers for unit tests: capture what a routine writes to standard output or
// standard error, and write scratch files.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <fstream>
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
