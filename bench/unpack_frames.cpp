// unpack_frames FILE.chm DEST [--flat]: runs the command line's unpack and prints the LZX frames it
// decoded against the frames of the file's compressed section. Each frame decoded once is the aim.
#include "base/Utf8.h"
#include "cli/Commands.h"
#include "storage/ByteSource.h"
#include "storage/ChmArchive.h"
#include "storage/LzxDecoder.h"
#include "storage/LzxSection.h"

#include <cstdio>

using namespace tarnwick;
using namespace tarnwick::storage;

namespace {

std::uint64_t FramesInSection(const std::wstring& path)
{
    const auto archive = ChmArchive::Open(OpenFileSource(path.c_str()));
    ContentSection* section = archive ? archive->Section(1) : nullptr;
    if (!section) return 0;
    return (section->Size() + LzxDecoder::kFrameSize - 1) / LzxDecoder::kFrameSize;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: unpack_frames FILE.chm DEST [--flat]\n");
        return 2;
    }
    std::vector<std::wstring> arguments{L"unpack"};
    for (int i = 1; i < argc; ++i) arguments.push_back(WideFromFileName(argv[i]));
    const int exitCode = RunCommandLine(arguments);
    const LzxDecodeCounts decoded = LzxFramesDecoded();
    std::printf("unpack_frames: exit_code=%d lzx_frames_decoded=%llu decoded_again=%llu lzx_frames_in_section=%llu\n",
                exitCode, static_cast<unsigned long long>(decoded.frames),
                static_cast<unsigned long long>(decoded.again),
                static_cast<unsigned long long>(FramesInSection(arguments[1])));
    return exitCode;
}
