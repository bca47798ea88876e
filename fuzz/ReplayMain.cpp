// Runs a fuzz target's entry point on the inputs named (files, or folders of them), without
// libFuzzer, so that the sanitized native build replays every input that ever made a target fail.
// Fails when it finds no input at all: a folder that moved must not pass for a clean replay.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> InputsIn(const fs::path& place)
{
    if (!fs::is_directory(place)) return {place};
    std::vector<fs::path> inputs;
    for (const auto& item : fs::directory_iterator(place))
        if (item.is_regular_file() && item.path().extension() != ".md") inputs.push_back(item.path());
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

} // namespace

int main(int argc, char** argv)
{
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const fs::path& input : InputsIn(argv[i])) {
            std::ifstream file(input, std::ios::binary);
            if (!file) {
                std::fprintf(stderr, "cannot read %s\n", input.c_str());
                return 1;
            }
            const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
            std::printf("replaying %s\n", input.c_str());
            std::fflush(stdout);
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++replayed;
        }
    }
    std::printf("%d inputs replayed\n", replayed);
    return replayed > 0 ? 0 : 1;
}
