// libFuzzer entry point for the help file's own files, parsed from bytes without a help file
// around them. The first byte picks the parser; a parser that needs a second file ("#WINDOWS" its
// "#STRINGS") takes a 16-bit length of the first part and the rest as the second; the binary
// contents and index take the four files their topics resolve through so, then their own bytes. Each parser's
// results must stay inside the bytes it was given, and its texts must convert in any code page.
#include "helpfile/AliasFile.h"
#include "helpfile/CodePageText.h"
#include "helpfile/ContentsTree.h"
#include "helpfile/KeywordIndex.h"
#include "helpfile/StringsFile.h"
#include "helpfile/SystemFile.h"
#include "helpfile/WindowsFile.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <tuple>
#include <utility>

namespace {

using namespace tarnwick::helpfile;
using Bytes = std::span<const std::uint8_t>;

void Check(bool holds)
{
    if (!holds) __builtin_trap();
}

constexpr unsigned kCodePages[] = {936, 932, 949, 950, 1252, 1251, 1258, 874, 0};

// The first part (its 16-bit length first) and the rest.
std::pair<Bytes, Bytes> SplitTwo(Bytes input)
{
    if (input.size() < 2) return {input, {}};
    const std::size_t length = std::min<std::size_t>(input[0] | input[1] << 8, input.size() - 2);
    return {input.subspan(2, length), input.subspan(2 + length)};
}

void ConvertText(const std::string& text, Bytes input)
{
    const unsigned codePage = kCodePages[(input.empty() ? 0 : input.back()) % std::size(kCodePages)];
    Check(WideFromCodePage(text, codePage).size() <= text.size());
}

void FuzzSystem(Bytes input)
{
    const auto file = ParseSystemFile(input);
    if (!file) return;
    for (const SystemRecord& record : file->otherRecords) Check(record.offset + record.length <= input.size());
    for (const SystemDamage& damage : file->damaged) Check(damage.offset < input.size());
    for (const auto* text : {&file->title, &file->defaultTopic, &file->contentsFile, &file->compilerVersion}) {
        if (!*text) continue;
        Check((*text)->size() < input.size());
        ConvertText(**text, input);
    }
}

void FuzzWindows(Bytes input)
{
    const auto [windows, strings] = SplitTwo(input);
    const WindowsFile file = ParseWindowsFile(windows, strings);
    Check(file.windows.size() <= file.count);
    if (!file.windows.empty()) Check(8 + file.windows.size() * std::uint64_t{file.entrySize} <= windows.size());
    for (const WindowType& window : file.windows) {
        for (const WindowText* text : {&window.name, &window.caption, &window.contentsFile, &window.jump2Url}) {
            Check(!(text->text && text->damaged));
            if (!text->text) continue;
            Check(text->offset + text->text->size() < strings.size());
            ConvertText(*text->text, input);
        }
    }
}

// "#TOPICS", "#URLTBL", "#URLSTR" and "#STRINGS", each with its length first; `input` keeps the rest.
TopicFiles SplitTopicFiles(Bytes& input)
{
    TopicFiles files;
    for (Bytes* part : {&files.topics, &files.urlTable, &files.urlStrings, &files.strings})
        std::tie(*part, input) = SplitTwo(input);
    return files;
}

// Every entry is read from its own offset, once: no more entries than bytes, nesting no deeper
// than the entries before it.
void FuzzContents(Bytes input)
{
    const TopicFiles files = SplitTopicFiles(input);
    const ContentsTree tree = ReadContentsTree(input, files);
    Check(tree.entries.size() <= input.size());
    for (std::size_t i = 0; i < tree.entries.size(); ++i) Check(tree.entries[i].depth <= i);
}

// An entry takes at least 22 bytes of its block.
void FuzzKeywords(Bytes input)
{
    const TopicFiles files = SplitTopicFiles(input);
    const KeywordIndex index = ReadKeywordIndex(input, files);
    Check(index.entries.size() * 22 <= input.size());
    for (const KeywordEntry& entry : index.entries) Check(entry.topics.size() * 4 <= input.size());
}

void FuzzAliases(Bytes input)
{
    const auto [ivb, strings] = SplitTwo(input);
    const AliasFile file = ReadAliasFile(ivb, strings);
    Check(file.aliases.size() * 8 + 4 <= ivb.size() || file.aliases.empty());
    for (const ContextAlias& alias : file.aliases) Check(alias.file.size() < strings.size());
}

// One line for each parser; the first byte of an input picks one of them.
constexpr void (*kParsers[])(Bytes) = {
    FuzzSystem,
    FuzzWindows,
    FuzzContents,
    FuzzKeywords,
    FuzzAliases,
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    kParsers[data[0] % std::size(kParsers)](Bytes(data + 1, size - 1));
    return 0;
}
