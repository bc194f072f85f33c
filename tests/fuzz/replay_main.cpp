// SPDX-License-Identifier: GPL-3.0-or-later
// The main of a fuzz target in the normal and sanitizer builds: runs the
// target once over each file it is given, and over every file of each folder
// it is given, in name order, as libFuzzer runs a corpus. A broken property
// aborts, as it does under libFuzzer.
//   fuzz_<name> FILE_OR_FOLDER...
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

std::vector<std::filesystem::path> inputsOf(const std::filesystem::path& p)
{
    std::vector<std::filesystem::path> out;
    if (std::filesystem::is_directory(p)) {
        for (const auto& e : std::filesystem::directory_iterator(p)) {
            if (e.is_regular_file())
                out.push_back(e.path());
        }
        std::sort(out.begin(), out.end());
    } else {
        out.push_back(p);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    int runs = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& file : inputsOf(argv[i])) {
            std::ifstream in(file, std::ios::binary);
            if (!in) {
                std::fprintf(stderr, "%s: cannot read %s\n", argv[0], file.c_str());
                return 2;
            }
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            ++runs;
        }
    }
    std::printf("%s: %d inputs run\n", argv[0], runs);
    return runs > 0 ? 0 : 2;
}
