// What the fuzz targets share: a scratch directory, standard input bound to
// the input bytes, and runs that end through RunExit instead of the process.
#pragma once

#include <stdio_ext.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver/diagnostics.h"
#include "driver/run.h"

namespace fuzz {

[[noreturn]] inline void throw_exit(int status) { throw RunExit{status}; }

// A private working directory (also the system's temporary directory), and
// the run's ends turned into exceptions. Standard output goes nowhere.
inline bool setup_scratch() {
    char dir[] = "/tmp/gel2querna-fuzz.XXXXXX";
    if (!mkdtemp(dir)) std::abort();
    if (chdir(dir) != 0) std::abort();
    std::string tmp = std::string(dir) + "/tmp";
    mkdir(tmp.c_str(), 0700);
    setenv("TMPDIR", tmp.c_str(), 1);
    run_exit_hook = throw_exit;
    return true;
}

inline void discard_standard_output() {
    std::fflush(stdout);
    if (!std::freopen("/dev/null", "w", stdout)) std::abort();
}

// Standard input reads the bytes from the start (a file in memory, rewritten
// for each input).
inline void bind_input(const uint8_t* data, size_t size) {
    static int fd = memfd_create("fuzz-input", 0);
    if (fd < 0) std::abort();
    if (ftruncate(fd, 0) != 0) std::abort();
    for (size_t done = 0; done < size;) {
        ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        if (n <= 0) std::abort();
        done += static_cast<size_t>(n);
    }
    __fpurge(stdin);
    if (dup2(fd, STDIN_FILENO) < 0) std::abort();
    lseek(STDIN_FILENO, 0, SEEK_SET);
    clearerr(stdin);
}

}  // namespace fuzz
