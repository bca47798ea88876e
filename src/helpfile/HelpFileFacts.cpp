#include "helpfile/HelpFileFacts.h"

#include "helpfile/EntryTable.h"
#include "helpfile/InternalFile.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tarnwick::helpfile {

using storage::ComRef;

namespace {

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) { return b > UINT64_MAX - a ? UINT64_MAX : a + b; }

StreamCounts CountStreams(IStorage* root)
{
    StreamCounts counts;
    counts.walkCut = WalkStreams(root, WalkScope::All, [&](const WalkedStream& stream) {
        std::uint64_t& streams = stream.internal ? counts.internalStreams : counts.listedStreams;
        std::uint64_t& bytes = stream.internal ? counts.internalBytes : counts.listedBytes;
        ++streams;
        bytes = SaturatingAdd(bytes, stream.size);
    }).cut;
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

void ReadWindows(IStorage* root, std::span<const std::uint8_t> strings, HelpFileFacts& facts)
{
    const auto windows = ReadInternalFile(root, L"#WINDOWS", kWindowsFileLimit);
    if (!windows) return;
    facts.windows = ParseWindowsFile(*windows, strings);
    facts.windowsState = facts.windows->damaged.empty() ? InternalFileState::Read : InternalFileState::Damaged;
}

// The texts the file's encoding is judged on: those of #SYSTEM, and every text of #STRINGS, where
// the compiler keeps the titles of topics, the contents' headings and the window types' texts.
void WeighTexts(const std::optional<SystemFile>& system, std::span<const std::uint8_t> strings, TextEncoding& encoding)
{
    if (system) {
        for (const std::optional<std::string>* text : {&system->contentsFile, &system->indexFile, &system->defaultTopic,
                                                        &system->title, &system->defaultWindow, &system->compiledFile,
                                                        &system->defaultFont})
            if (*text) encoding.Weigh(**text);
    }
    const std::string_view all(reinterpret_cast<const char*>(strings.data()), strings.size());
    for (std::size_t start = 0; start < all.size();) {
        const std::size_t end = std::min(all.find('\0', start), all.size());
        encoding.Weigh(all.substr(start, end - start));
        start = end + 1;
    }
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

HelpFileFacts GatherFacts(IStorage* root, std::optional<unsigned> chosenCodePage)
{
    HelpFileFacts facts;
    if (!root) return facts;
    ReadSystem(root, facts);
    const auto strings = ReadInternalFile(root, L"#STRINGS", kStringsFileLimit);
    const std::span<const std::uint8_t> stringsBytes = strings ? std::span<const std::uint8_t>(*strings) : std::span<const std::uint8_t>();
    ReadWindows(root, stringsBytes, facts);
    facts.archive = ReadArchiveFacts(root);
    facts.encoding = TextEncoding(facts.CodePage(), chosenCodePage);
    WeighTexts(facts.system, stringsBytes, facts.encoding);
    facts.streams = CountStreams(root);
    if (facts.archive) {
        facts.streams.internalStreams = SaturatingAdd(facts.streams.internalStreams, facts.archive->dataSpaceStreams);
        facts.streams.internalBytes = SaturatingAdd(facts.streams.internalBytes, facts.archive->dataSpaceBytes);
    }
    return facts;
}

} // namespace tarnwick::helpfile
