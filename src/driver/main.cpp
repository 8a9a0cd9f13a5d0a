#include <cstdio>

#include "driver/batch.h"
#include "driver/platform.h"
#include "driver/run.h"

// Every stage reads its input through the standard input and writes its
// output through the standard output, bound to the stage's files: both get
// large buffers before their first use.
int main(int argc, char** argv) {
    prepare_standard_streams();
    if (is_batch_command_line(argc, argv)) {
        if (!kBatchModeAvailable) {
            std::fputs("The batch mode is not available in the Windows build: convert one script per run.\n", stderr);
            return 1;
        }
        return run_batch(argc, argv);
    }
    static char input_buffer[size_t(256) << 10];
    static char output_buffer[size_t(256) << 10];
    std::setvbuf(stdin, input_buffer, _IOFBF, sizeof input_buffer);
    std::setvbuf(stdout, output_buffer, _IOFBF, sizeof output_buffer);
    return run_conversion(argc, argv);
}
