// read_all FILE.chm [PASSES]: opens a help file through the storage component, walks the whole
// tree and reads every stream in 4096-byte reads, as the engine does when it extracts everything.
// Prints what it read, the wall time of the best and median pass, the process's peak memory and the
// LZX frames each pass decoded: the window reads in this order.
#include "base/Utf8.h"
#include "storage/ComRef.h"
#include "storage/ITStorage.h"
#include "storage/LzxSection.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

using tarnwick::storage::ComRef;

struct Totals {
    std::uint64_t streams = 0;
    std::uint64_t storages = 0;
    std::uint64_t bytes = 0;
    std::uint64_t failures = 0;
    std::uint64_t checksum = 1469598103934665603ull; // FNV-1a over the bytes, to keep reads honest
};

void ReadStream(IStream* stream, Totals& totals)
{
    static unsigned char buffer[4096];
    for (;;) {
        ULONG got = 0;
        if (FAILED(stream->Read(buffer, sizeof buffer, &got))) {
            ++totals.failures;
            return;
        }
        if (got == 0) return;
        totals.bytes += got;
        // Sampling every 64th byte keeps the checksum from dominating the timing.
        for (ULONG i = 0; i < got; i += 64) totals.checksum = (totals.checksum ^ buffer[i]) * 1099511628211ull;
    }
}

void Walk(IStorage* storage, Totals& totals)
{
    ComRef<IEnumSTATSTG> enumerator;
    if (FAILED(storage->EnumElements(0, nullptr, 0, enumerator.Put()))) {
        ++totals.failures;
        return;
    }
    STATSTG record{};
    while (enumerator->Next(1, &record, nullptr) == S_OK) {
        if (record.type == STGTY_STORAGE) {
            ++totals.storages;
            ComRef<IStorage> child;
            if (SUCCEEDED(storage->OpenStorage(record.pwcsName, nullptr, 0, nullptr, 0, child.Put())))
                Walk(child.Get(), totals);
            else
                ++totals.failures;
        } else {
            ++totals.streams;
            ComRef<IStream> stream;
            if (SUCCEEDED(storage->OpenStream(record.pwcsName, nullptr, 0, 0, stream.Put())))
                ReadStream(stream.Get(), totals);
            else
                ++totals.failures;
        }
        CoTaskMemFree(record.pwcsName);
    }
}

long PeakKilobytes()
{
#ifndef _WIN32
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#else
    return -1;
#endif
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: read_all FILE.chm [PASSES]\n");
        return 2;
    }
    const std::wstring path = tarnwick::WideFromFileName(argv[1]);
    const int passes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;

    ComRef<IITStorage> factory;
    if (FAILED(CreateITStorage(factory.Put()))) return 1;

    std::vector<double> seconds;
    Totals totals;
    for (int pass = 0; pass < passes; ++pass) {
        totals = Totals{};
        const auto start = std::chrono::steady_clock::now();
        ComRef<IStorage> root;
        const HRESULT hr = factory->StgOpenStorage(path.c_str(), nullptr, 0x20, nullptr, 0, root.Put());
        if (FAILED(hr)) {
            std::fprintf(stderr, "read_all: cannot open %s (0x%08x)\n", argv[1], static_cast<unsigned>(hr));
            return 1;
        }
        Walk(root.Get(), totals);
        root.Reset();
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("read_all: streams=%llu storages=%llu bytes=%llu failures=%llu checksum=%016llx "
                "best_s=%.3f median_s=%.3f peak_kb=%ld lzx_frames_decoded_per_pass=%llu\n",
                static_cast<unsigned long long>(totals.streams), static_cast<unsigned long long>(totals.storages),
                static_cast<unsigned long long>(totals.bytes), static_cast<unsigned long long>(totals.failures),
                static_cast<unsigned long long>(totals.checksum), seconds.front(), seconds[seconds.size() / 2],
                PeakKilobytes(), static_cast<unsigned long long>(tarnwick::storage::LzxFramesDecoded().frames / passes));
    return totals.failures == 0 ? 0 : 1;
}
