// Checked writing and the output file's replacement by rename.
#include "driver/checked_write.h"

#include "driver/platform.h"

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

}  // namespace

bool flush_checked(FILE* stream) {
    if (std::fflush(stream) != 0) return false;  // errno from the failed write
    if (!std::ferror(stream)) return true;
    errno = failed_write_reason(fileno(stream));
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

