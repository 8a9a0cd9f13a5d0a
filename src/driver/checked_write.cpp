// Checked writing and the output file's replacement by rename.
#include "driver/checked_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

const char* const kWrittenFileNames[WF_COUNT] = {
    "output file",       // WF_OUTPUT
    "temporary file",    // WF_TEMPORARY
    "macro file",        // WF_MACRO
    "register report",   // WF_REGISTER_REPORT
    "cleaned copy",      // WF_CLEANED_DEFINITIONS
};

struct WriteFailure {
    bool pending = false;
    WrittenFile kind = WF_OUTPUT;
    std::string path;
    int error = 0;
};
WriteFailure first_failure;

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

bool flush_checked(FILE* stream) {
    if (std::fflush(stream) != 0) return false;  // errno from the failed write
    if (!std::ferror(stream)) return true;
    errno = reason_of_failed_write(fileno(stream));
    return false;
}

bool close_checked(FILE* file) {
    bool ok = flush_checked(file);
    int error = errno;
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        error = errno;
    }
    errno = error;
    return ok;
}

std::string write_failure_message(WrittenFile kind, const std::string& path, int error) {
    return std::string("Could not write ") + kWrittenFileNames[kind] + " " + path + ": " + std::strerror(error);
}

void note_write_failure(WrittenFile kind, const std::string& path, int error) {
    if (first_failure.pending) return;
    first_failure = {true, kind, path, error};
}

bool write_failure_pending() { return first_failure.pending; }

std::string take_write_failure() {
    std::string message =
        first_failure.pending ? write_failure_message(first_failure.kind, first_failure.path, first_failure.error) : "";
    first_failure = WriteFailure{};
    return message;
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
