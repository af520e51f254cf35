// Replays a fuzz target's corpus in an ordinary build: every file in the
// folders given (seeds, then regressions), in name order, goes once through
// the target's entry point. A failed check aborts, and ctest shows the name
// of the input printed just before. A folder that does not exist holds no
// inputs yet; names starting with '.' (such as .gitkeep) are not inputs.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> InputsIn(const fs::path& folder)
{
    std::vector<fs::path> inputs;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
            inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

bool Replay(const fs::path& input)
{
    std::ifstream file(input, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof())
        return false;
    std::printf("%s (%zu bytes)\n", input.c_str(), bytes.size());
    std::fflush(stdout);
    // libFuzzer never passes a null pointer, not even for an empty input.
    static const uint8_t kNoBytes = 0;
    LLVMFuzzerTestOneInput(bytes.empty() ? &kNoBytes : bytes.data(), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const fs::path& input : InputsIn(argv[i])) {
            if (!Replay(input)) {
                std::fprintf(stderr, "cannot read %s\n", input.c_str());
                return 1;
            }
            ++replayed;
        }
    }
    std::printf("%zu inputs replayed\n", replayed);
    return 0;
}
