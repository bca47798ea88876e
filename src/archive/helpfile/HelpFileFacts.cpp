#include "HelpFileFacts.h"

#include "ComRef.h"
#include "InternalFile.h"

#include <cstdint>
#include <vector>

namespace tarnwick::helpfile {

using storage::ComRef;

namespace {

// As deep as the engine's walk goes.
constexpr int kMaxWalkDepth = 256;

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) { return b > UINT64_MAX - a ? UINT64_MAX : a + b; }

bool IsInternalName(const wchar_t* name) { return name[0] == L'#' || name[0] == L'$'; }

struct PendingStorage {
    ComRef<IStorage> storage;
    int depth = 0;
    bool internal = false;
};

void CountStream(StreamCounts& counts, bool internal, std::uint64_t size)
{
    if (internal) {
        ++counts.internalStreams;
        counts.internalBytes = SaturatingAdd(counts.internalBytes, size);
    } else {
        ++counts.listedStreams;
        counts.listedBytes = SaturatingAdd(counts.listedBytes, size);
    }
}

// Without recursion: a file decides how deep its folders go.
StreamCounts CountStreams(IStorage* root)
{
    StreamCounts counts;
    std::vector<PendingStorage> pending;
    root->AddRef();
    pending.push_back({ComRef<IStorage>(root), 0, false});
    while (!pending.empty()) {
        PendingStorage current = std::move(pending.back());
        pending.pop_back();
        ComRef<IEnumSTATSTG> elements;
        if (FAILED(current.storage->EnumElements(0, nullptr, 0, elements.Put())) || !elements) continue;
        STATSTG element{};
        while (elements->Next(1, &element, nullptr) == S_OK) {
            const wchar_t* name = element.pwcsName ? element.pwcsName : L"";
            const bool internal = current.internal || IsInternalName(name);
            if (element.type == STGTY_STREAM) {
                CountStream(counts, internal, element.cbSize.QuadPart);
            } else if (element.type == STGTY_STORAGE && current.depth >= kMaxWalkDepth) {
                counts.walkCut = true;
            } else if (element.type == STGTY_STORAGE) {
                ComRef<IStorage> child;
                if (SUCCEEDED(current.storage->OpenStorage(name, nullptr, STGM_READ, nullptr, 0, child.Put())) && child)
                    pending.push_back({std::move(child), current.depth + 1, internal});
            }
            CoTaskMemFree(element.pwcsName);
            element.pwcsName = nullptr;
        }
    }
    return counts;
}

std::optional<ArchiveFacts> ReadArchiveFacts(IStorage* root)
{
    ComRef<IArchiveFacts> source;
    if (FAILED(root->QueryInterface(IID_IArchiveFacts, reinterpret_cast<void**>(source.Put()))) || !source)
        return std::nullopt;
    ArchiveFacts facts;
    if (FAILED(source->GetArchiveFacts(&facts))) return std::nullopt;
    return facts;
}

void ReadSystem(IStorage* root, HelpFileFacts& facts)
{
    const auto bytes = ReadInternalFile(root, L"#SYSTEM", kSystemFileLimit);
    if (!bytes) return;
    facts.system = ParseSystemFile(*bytes);
    facts.systemState = facts.system && facts.system->damaged.empty() ? InternalFileState::Read : InternalFileState::Damaged;
}

void ReadWindows(IStorage* root, HelpFileFacts& facts)
{
    const auto windows = ReadInternalFile(root, L"#WINDOWS", kWindowsFileLimit);
    if (!windows) return;
    const auto strings = ReadInternalFile(root, L"#STRINGS", kStringsFileLimit);
    facts.windows = ParseWindowsFile(*windows, strings ? std::span<const std::uint8_t>(*strings) : std::span<const std::uint8_t>());
    facts.windowsState = facts.windows->damaged.empty() ? InternalFileState::Read : InternalFileState::Damaged;
}

} // namespace

std::optional<std::uint32_t> HelpFileFacts::Lcid() const
{
    if (system && system->settings) return system->settings->lcid;
    if (archive) return archive->headerLanguage;
    return std::nullopt;
}

std::optional<Language> HelpFileFacts::KnownLanguage() const
{
    const auto lcid = Lcid();
    return lcid ? helpfile::FindLanguage(*lcid) : std::nullopt;
}

unsigned HelpFileFacts::CodePage() const
{
    const auto language = KnownLanguage();
    return language ? language->codePage : kFallbackCodePage;
}

std::optional<double> HelpFileFacts::CompressionRatio() const
{
    if (!archive) return std::nullopt;
    const std::uint64_t all = SaturatingAdd(streams.listedBytes, streams.internalBytes);
    const std::uint64_t total = all > archive->dataSpaceBytes ? all - archive->dataSpaceBytes : 0;
    if (archive->compressedSize == 0 || total == 0) return std::nullopt;
    return static_cast<double>(archive->compressedSize) / static_cast<double>(total);
}

HelpFileFacts GatherFacts(IStorage* root)
{
    HelpFileFacts facts;
    if (!root) return facts;
    ReadSystem(root, facts);
    ReadWindows(root, facts);
    facts.archive = ReadArchiveFacts(root);
    facts.streams = CountStreams(root);
    if (facts.archive) {
        facts.streams.internalStreams = SaturatingAdd(facts.streams.internalStreams, facts.archive->dataSpaceStreams);
        facts.streams.internalBytes = SaturatingAdd(facts.streams.internalBytes, facts.archive->dataSpaceBytes);
    }
    return facts;
}

} // namespace tarnwick::helpfile
