// The platform interface on Windows.
#ifdef _WIN32
#include "driver/platform.h"

#include "driver/checked_write.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <vector>

const char kDirectorySeparators[] = "\\/:";
const char kPathSeparator = '\\';
const bool kBatchModeAvailable = false;

namespace {

int saved_stdout = -1;
int saved_stderr = -1;

void bind_null_device(int target, int flags) {
    int fd = _open("NUL", flags | _O_BINARY);
    if (fd >= 0) {
        _dup2(fd, target);
        _close(fd);
    }
}

// Drops whatever standard input has buffered or had pushed back, and its end
// and error marks. Seeking a stream empties its buffer.
void reset_standard_input() {
    std::fseek(stdin, 0, SEEK_SET);
    std::clearerr(stdin);
}

void (*interruption_cleanup)() = nullptr;

// Runs on a thread of its own while the conversion goes on. The stage files
// are let go first: Windows removes no file that is still open.
BOOL WINAPI on_console_event(DWORD event) {
    if (interruption_cleanup) {
        bind_null_device(0, _O_RDONLY);
        bind_null_device(1, _O_WRONLY);
        interruption_cleanup();
    }
    (void)event;
    return FALSE;  // the default handler ends the process
}

struct StackRun {
    void (*body)(void*);
    void* argument;
};

unsigned __stdcall stack_thread(void* p) {
    auto* run = static_cast<StackRun*>(p);
    run->body(run->argument);
    return 0;
}

}  // namespace

void prepare_standard_streams() {
    _fmode = _O_BINARY;
    _setmode(0, _O_BINARY);
    _setmode(1, _O_BINARY);
    _setmode(2, _O_BINARY);
}

void save_standard_streams() {
    saved_stdout = _dup(1);
    saved_stderr = _dup(2);
}

void restore_standard_streams() {
    std::fflush(stdout);
    std::fflush(stderr);
    if (saved_stdout >= 0) _dup2(saved_stdout, 1);
    if (saved_stderr >= 0) _dup2(saved_stderr, 2);
    clearerr(stdout);  // a failed write to a stage file is not the console's
}

void release_saved_streams() {
    for (int* fd : {&saved_stdout, &saved_stderr}) {
        if (*fd >= 0) _close(*fd);
        *fd = -1;
    }
}

bool bind_standard_input(const char* path) {
    int fd = _open(path, _O_RDONLY | _O_BINARY);
    if (fd < 0) return false;
    struct _stat64 st;
    if (_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFMT) == _S_IFDIR) {
        _close(fd);
        return false;
    }
    _dup2(fd, 0);
    _close(fd);
    reset_standard_input();
    return true;
}

void unbind_standard_input() {
    bind_null_device(0, _O_RDONLY);
    reset_standard_input();
}

bool bind_standard_output(const char* path) {
    std::fflush(stdout);
    int fd = _open(path, _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return false;
    _dup2(fd, 1);
    _close(fd);
    return true;
}

void unbind_standard_output() {
    std::fflush(stdout);
    bind_null_device(1, _O_WRONLY);
}

// The volume and the file index identify a file; st_ino is always 0 here.
bool same_file(const char* a, const char* b) {
    auto identify = [](const char* path, BY_HANDLE_FILE_INFORMATION* info) {
        HANDLE h = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        bool ok = GetFileInformationByHandle(h, info) != 0;
        CloseHandle(h);
        return ok;
    };
    BY_HANDLE_FILE_INFORMATION ia, ib;
    if (!identify(a, &ia) || !identify(b, &ib)) return false;
    return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
           ia.nFileIndexLow == ib.nFileIndexLow;
}

FILE* open_regular_file(const char* path) {
    struct _stat64 st;
    if (_stat64(path, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) return nullptr;
    return std::fopen(path, "rb");
}

// The narrow form, as every other path of the program.
std::string temporary_directory() {
    char buffer[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof buffer, buffer);
    if (length == 0 || length > MAX_PATH) return std::string();
    std::string path(buffer, length);
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

// Tries names made of the process id, a counter and the clock until one is
// free: CreateDirectory fails on a name that exists, so no two runs share one.
std::string make_private_directory(const std::string& parent, const char* prefix) {
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string base = parent;
    if (!base.empty() && base.back() != '\\' && base.back() != '/') base += kPathSeparator;
    base += prefix;
    unsigned long long seed = GetCurrentProcessId();
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        unsigned long long n = seed * 1000003ull + static_cast<unsigned long long>(now.QuadPart) + attempt * 7919ull;
        std::string name = base;
        for (int i = 0; i < 6; ++i, n /= 36) name += digits[n % 36];
        if (CreateDirectoryA(name.c_str(), nullptr)) return name;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
    }
    return std::string();
}

void remove_file_now(const char* path) { DeleteFileA(path); }
void remove_directory_now(const char* path) { RemoveDirectoryA(path); }

std::string program_own_path(const char* fallback) {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return fallback ? fallback : "";
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

void on_interruption(void (*cleanup)()) {
    interruption_cleanup = cleanup;
    SetConsoleCtrlHandler(on_console_event, TRUE);
}

void run_with_stack(size_t bytes, void (*body)(void*), void* argument) {
    StackRun run{body, argument};
    uintptr_t thread = _beginthreadex(nullptr, static_cast<unsigned>(bytes), stack_thread, &run,
                                      STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == 0) {
        body(argument);
        return;
    }
    WaitForSingleObject(reinterpret_cast<HANDLE>(thread), INFINITE);
    CloseHandle(reinterpret_cast<HANDLE>(thread));
}

// The C library's formatted printing to a stream writes every character
// through a locked putc and costs some 30 microseconds a call; the program is
// linked with --wrap=__mingw_vfprintf, so every printf, fprintf and vfprintf
// formats into memory with the same formatter and writes the text at once.
extern "C" int __wrap___mingw_vfprintf(FILE* stream, const char* format, va_list args) {
    char small[2048];
    va_list again;
    va_copy(again, args);
    int length = __mingw_vsnprintf(small, sizeof small, format, args);
    if (length < 0) {
        va_end(again);
        return length;
    }
    const char* text = small;
    std::vector<char> large;
    if (static_cast<size_t>(length) >= sizeof small) {
        large.resize(static_cast<size_t>(length) + 1);
        __mingw_vsnprintf(large.data(), large.size(), format, again);
        text = large.data();
    }
    va_end(again);
    size_t written = std::fwrite(text, 1, static_cast<size_t>(length), stream);
    return written == static_cast<size_t>(length) ? length : -1;
}

void* allocate_aligned_chunk(size_t bytes) {
    void* memory = _aligned_malloc(bytes, bytes);
    if (!memory) std::abort();
    return memory;
}
bool standard_output_closes() {
    int fd = _dup(1);
    return fd < 0 || _close(fd) == 0;
}

// The C library keeps no reason for a failed buffered write.
int failed_write_reason(int fd) {
    char byte = 0;
    if (_write(fd, &byte, 0) < 0) return errno;
    return EIO;
}

namespace {
bool is_regular_file(const char* path, bool* exists) {
    struct _stat64 st;
    *exists = _stat64(path, &st) == 0;
    return *exists && (st.st_mode & _S_IFMT) == _S_IFREG;
}
}  // namespace

// The temporary file is made beside the output, with a name of this process
// and a counter; MoveFileEx then replaces the output, which rename cannot.
void prepare_output(const char* path, OutputTarget* target) {
    *target = OutputTarget{path, path, path, true};
    bool exists;
    if (!is_regular_file(path, &exists) && exists) {
        target->remove_on_failure.clear();  // a device is never removed
        return;
    }
    std::string final_path = path;
    size_t separator = final_path.find_last_of(kDirectorySeparators);
    std::string directory = separator == std::string::npos ? std::string() : final_path.substr(0, separator + 1);
    std::string name = separator == std::string::npos ? final_path : final_path.substr(separator + 1);
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temporary = directory + "." + name + "." + std::to_string(GetCurrentProcessId()) + "." +
                                std::to_string(++counter);
        int fd = _open(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (fd >= 0) {
            _close(fd);
            *target = OutputTarget{final_path, temporary, temporary, false};
            return;
        }
        if (errno != EEXIST) return;  // a directory we may not write in: the file itself is written
    }
}

bool commit_output(const OutputTarget& target) {
    if (target.direct) return true;
    if (MoveFileExA(target.write_path.c_str(), target.final_path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    DeleteFileA(target.write_path.c_str());
    errno = EACCES;
    return false;
}

void discard_output(const OutputTarget& target) {
    if (!target.direct) DeleteFileA(target.write_path.c_str());
}

void remove_output_file(const char* path) {
    bool exists;
    if (is_regular_file(path, &exists)) DeleteFileA(path);
}
#endif
