// The main of a fuzz target in normal builds: every file named on the command line, or found in a folder
// named there, goes once through LLVMFuzzerTestOneInput, in name order. A target stops the run with abort()
// when an input breaks it; the input's path is printed first.
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

char gCurrent[4096];

void reportCurrentInput(int signal)
{
    const char prefix[] = "\nfuzz driver: the failing input is ";
    [[maybe_unused]] ssize_t ignored = ::write(STDERR_FILENO, prefix, sizeof(prefix) - 1);
    ignored = ::write(STDERR_FILENO, gCurrent, std::strlen(gCurrent));
    ignored = ::write(STDERR_FILENO, "\n", 1);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path path(argv[i]);
        if (fs::is_directory(path)) {
            for (const auto& entry : fs::directory_iterator(path))
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
        } else if (fs::is_regular_file(path)) {
            inputs.push_back(path);
        }
        // A folder that does not exist is a target without saved inputs of that kind yet.
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) {
        std::fprintf(stderr, "fuzz driver: no inputs found\n");
        return 1;
    }
    for (int signal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
        std::signal(signal, reportCurrentInput);
    for (const fs::path& path : inputs) {
        std::snprintf(gCurrent, sizeof(gCurrent), "%s", path.c_str());
        std::ifstream file(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (!file.good() && !file.eof()) {
            std::fprintf(stderr, "fuzz driver: cannot read %s\n", path.c_str());
            return 1;
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs ran\n", inputs.size());
    return 0;
}
