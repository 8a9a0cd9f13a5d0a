// One conversion run: working directory, command line, the four stages joined
// by temporary files bound to standard input and output, the output file, the
// register report, clean-up and the exit status.
#include "driver/run.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <stdio_ext.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "compiler/compiler.h"
#include "driver/checked_write.h"
#include "driver/command_line.h"
#include "driver/diagnostics.h"
#include "driver/format_output.h"
#include "driver/targets.h"
#include "frontend/frontend.h"
#include "preprocessor/preprocessor.h"

namespace fs = std::filesystem;

namespace {

int saved_stdout = -1;
int saved_stderr = -1;

struct RunFiles {
    std::string temp_dir;
    std::string pre_file;
    std::string dts_file;
    std::string macro_file;
};

void remove_file(const std::string& path) { std::remove(path.c_str()); }

// What an interrupted or stopped run must remove. Plain arrays, so that the
// signal handler can use them without allocating.
struct CleanupPaths {
    char temp_dir[4096];
    char files[3][4096];
    char output[4096];
    volatile sig_atomic_t armed;
    volatile sig_atomic_t output_started;
};
CleanupPaths cleanup_paths;

void copy_path(char* dst, const std::string& src) {
    size_t n = src.size() < 4095 ? src.size() : 4095;
    std::memcpy(dst, src.data(), n);
    dst[n] = '\0';
}

// Removes the run's private working directory (async-signal-safe).
void remove_working_directory() {
    if (!cleanup_paths.armed) return;
    for (const char* f : cleanup_paths.files)
        if (f[0]) unlink(f);
    if (cleanup_paths.temp_dir[0]) rmdir(cleanup_paths.temp_dir);
}

extern "C" void on_interrupt(int sig) {
    remove_working_directory();
    if (cleanup_paths.output_started && cleanup_paths.output[0]) unlink(cleanup_paths.output);
    signal(sig, SIG_DFL);
    raise(sig);
}

void disarm_cleanup() {
    remove_working_directory();
    cleanup_paths.armed = 0;
    cleanup_paths.output_started = 0;
}

void restore_standard_streams() {
    std::fflush(stdout);
    std::fflush(stderr);
    if (saved_stdout >= 0) dup2(saved_stdout, STDOUT_FILENO);
    if (saved_stderr >= 0) dup2(saved_stderr, STDERR_FILENO);
    clearerr(stdout);  // a failed write to a stage file is not the console's
}

// Opens `path` for reading as standard input; false when it cannot be opened
// (a directory cannot be read as a script either).
bool bind_input(const char* path) {
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

void close_input() {
    __fpurge(stdin);
    int fd = open("/dev/null", O_RDONLY);
    if (fd >= 0) {
        dup2(fd, STDIN_FILENO);
        close(fd);
    }
    clearerr(stdin);
}

void close_output() {
    std::fflush(stdout);
    int fd = open("/dev/null", O_WRONLY);
    if (fd >= 0) {
        dup2(fd, STDOUT_FILENO);
        close(fd);
    }
}

// Binds standard input to `input` and standard output to `output`.
void open_stage_files(const char* input, const char* output) {
    if (!bind_input(input)) {
        std::fputs("Could not open input file\n", stderr);
        terminate_run(1);
    }
    std::fflush(stdout);
    int fd = open(output, O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) {
        restore_standard_streams();
        close_input();
        std::fputs("Could not open temporary file for preprocessing\n", stderr);
        terminate_run(1);
    }
    dup2(fd, STDOUT_FILENO);
    close(fd);
    clearerr(stdout);
}

bool same_file(const char* a, const char* b) {
    struct stat sa, sb;
    if (stat(a, &sa) != 0 || stat(b, &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

void copy_stream(FILE* in, FILE* out) {
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) std::fwrite(buffer, 1, n, out);
}

[[noreturn]] void early_exit(const char* remove1 = nullptr, const char* remove2 = nullptr,
                             const char* remove3 = nullptr) {
    close_input();
    close_output();
    restore_standard_streams();
    for (const char* p : {remove1, remove2, remove3})
        if (p) std::remove(p);
    free_global_lists();
    debug_trace_close();
    terminate_run(1);
}

// The output of the run, once stage 4 has prepared it.
OutputTarget output_target;
bool output_prepared = false;

// Ends the run after a failed write: the message, no output file (as after an
// Error) and no working files, exit status 1.
[[noreturn]] void write_failure_exit(const char* output) {
    std::string message = take_write_failure();
    close_input();
    close_output();
    restore_standard_streams();
    std::fprintf(stderr, "%s\n", message.c_str());
    if (output_prepared) discard_output(output_target);
    output_prepared = false;
    cleanup_paths.output_started = 0;
    if (output) remove_output_file(output);
    free_global_lists();
    debug_trace_close();
    terminate_run(1);
}

// Ends the run when a write of the stage failed: to standard output, bound to
// `stage_file`, or by a writer that recorded its failure. A close is checked
// too (a network file system reports errors there).
void check_stage_writes(WrittenFile kind, const std::string& stage_file, const char* output) {
    bool written = flush_checked(stdout);
    int error = errno;
    if (written) {
        int fd = dup(STDOUT_FILENO);
        if (fd >= 0 && close(fd) != 0) {
            written = false;
            error = errno;
        }
    }
    if (!written) note_write_failure(kind, stage_file, error);
    if (write_failure_pending()) write_failure_exit(output);
}

int conversion(int argc, char** argv) {
    // Alone on the command line, --help and --version answer and end.
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "--version") == 0)) {
        if (argv[1][2] == 'h')
            print_help();
        else
            std::puts("GEL to QUERNA converter 2.5.8");
        return 0;
    }

    RunFiles files;
    std::error_code ec;
    fs::path temp = fs::temp_directory_path(ec);
    if (ec) return 1;
    // A private working directory for each run, made the way mkdtemp makes it,
    // so that parallel runs never touch each other's files.
    std::string templ = (temp / "GEL_TEMPXXXXXX").string();
    if (!mkdtemp(templ.data())) {
        std::fprintf(stderr, "Could not create working directory %s: %s\n", templ.c_str(), std::strerror(errno));
        return 1;
    }
    files.temp_dir = templ;
    std::memset(&cleanup_paths, 0, sizeof cleanup_paths);
    copy_path(cleanup_paths.temp_dir, files.temp_dir);
    cleanup_paths.armed = 1;
    run_cleanup_hook = disarm_cleanup;

    saved_stdout = dup(STDOUT_FILENO);
    saved_stderr = dup(STDERR_FILENO);
    error_flag = 0;
    disable_unsupported_errors = false;
    textout_window_disabled = false;
    tree = nullptr;
    take_write_failure();
    output_prepared = false;

    CommandLine cl;
    if (!parse_command_line(argc, argv, &cl)) return 1;
    if (same_file(cl.input, cl.output)) {
        std::fputs("Input and output file must differ.\n", stdout);
        print_usage();
        return 1;
    }

    std::string out_name = fs::path(cl.output).filename().string();
    files.pre_file = (fs::path(files.temp_dir) / (out_name + ".tmp.pre")).string();
    files.dts_file = (fs::path(files.temp_dir) / (out_name + ".tmp.dts")).string();
    files.macro_file = (fs::path(files.temp_dir) / "macro_file.dts").string();
    const char* macrofilename = files.macro_file.c_str();
    copy_path(cleanup_paths.files[0], files.pre_file);
    copy_path(cleanup_paths.files[1], files.dts_file);
    copy_path(cleanup_paths.files[2], files.macro_file);
    copy_path(cleanup_paths.output, cl.output);

    debug_trace_start();

    // Stage 1: preprocessing, and a second pass over the subroutines that
    // macro conversion wrote into the macro file.
    open_stage_files(cl.input, files.pre_file.c_str());
    preprocessor_reset();
    if (run_preprocessor(macrofilename) != 0) early_exit(files.pre_file.c_str());
    if (bind_input(macrofilename)) {
        if (run_preprocessor(macrofilename) != 0) early_exit(files.pre_file.c_str(), macrofilename);
        close_input();
        remove_file(files.macro_file);
    } else {
        close_input();
    }
    check_stage_writes(WF_TEMPORARY, files.pre_file, cl.output);
    close_output();

    // Stage 2: parsing.
    open_stage_files(files.pre_file.c_str(), files.dts_file.c_str());
    tree = list_create();
    scanner_line = 1;
    scanner_reset();
    parse();
    if (error_flag) early_exit(macrofilename, files.pre_file.c_str(), files.dts_file.c_str());

    // Stage 3: code generation.
    regroup_menus(tree);
    debug_trace("Before compile().\n");
    compile(tree, cl.output, macrofilename);
    debug_trace("After compile().\n");
    free_global_lists();
    check_stage_writes(WF_TEMPORARY, files.dts_file, cl.output);

    if (cl.target_given && cl.regs_requested) write_register_report(cl.output);
    if (write_failure_pending()) write_failure_exit(cl.output);

    // Stage 4: the output file is the macro file, a newline and the indented body.
    // It is written under a temporary name and renamed when complete.
    close_input();
    close_output();
    prepare_output(cl.output, &output_target);
    output_prepared = true;
    copy_path(cleanup_paths.output, output_target.remove_on_failure);
    cleanup_paths.output_started = 1;
    open_stage_files(files.dts_file.c_str(), output_target.write_path.c_str());
    if (FILE* macros = std::fopen(macrofilename, "rb")) {
        copy_stream(macros, stdout);
        std::fclose(macros);
    }
    std::fputc('\n', stdout);
    format_output(stdin, stdout);
    check_stage_writes(WF_OUTPUT, cl.output, cl.output);

    close_input();
    close_output();
    restore_standard_streams();
    if (error_flag) {
        discard_output(output_target);
        remove_output_file(cl.output);
    } else if (!commit_output(output_target)) {
        note_write_failure(WF_OUTPUT, cl.output, errno);
        write_failure_exit(cl.output);
    }
    output_prepared = false;
    disarm_cleanup();
    debug_trace("Debug end.\n");
    debug_trace_close();
    free_target_definitions();
    return 0;
}

struct ThreadArgs {
    int argc;
    char** argv;
    int status;
};

void* conversion_thread(void* p) {
    auto* args = static_cast<ThreadArgs*>(p);
    try {
        args->status = conversion(args->argc, args->argv);
    } catch (const RunExit& e) {
        args->status = e.status;
    }
    return nullptr;
}

// Leaves the standard streams as the run found them.
void end_of_run() {
    disarm_cleanup();
    restore_standard_streams();
    for (int* fd : {&saved_stdout, &saved_stderr}) {
        if (*fd >= 0) close(*fd);
        *fd = -1;
    }
    debug_trace_close();
}

}  // namespace

void free_global_lists() {
    if (tree) list_release(tree);
    tree = nullptr;
    free_compiler_lists();
    text_arena_reset();
}

// The conversion walks trees whose depth follows the nesting of the script, so
// it runs on a thread with room for the deepest tree the parser accepts.
int run_conversion(int argc, char** argv) {
    ThreadArgs args{argc, argv, 1};
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = on_interrupt;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, size_t(1) << 30);
    pthread_t thread;
    if (pthread_create(&thread, &attr, conversion_thread, &args) != 0)
        conversion_thread(&args);
    else
        pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
    end_of_run();
    return args.status;
}
