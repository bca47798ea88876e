// The round trip's helper (tests/cli/project-round-trip.sh):
//   project_probe pack DIR OUT.chm [LEAVE_OUT...]  every file under DIR, uncompressed, into a help
//       file; the names left out are how a compiler that keeps the contents only in binary form
//       leaves them
//   project_probe dump FILE.chm  title, default topic, language, the window types, the context
//       numbers with their files, and every entry of the binary contents and index, one per line,
//       in UTF-8 as a reader shows them (a text that is compiled again may change encoding, as a
//       name does), for comparing two help files
#include "base/Utf8.h"
#include "engine/ChmEngine.h"
#include "helpfile/AliasFile.h"
#include "helpfile/ContentsTree.h"
#include "helpfile/HelpFileFacts.h"
#include "helpfile/InternalFile.h"
#include "helpfile/KeywordIndex.h"
#include "support/ChmBuilder.h"
#include "support/TestData.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <set>

namespace {

using namespace tarnwick::helpfile;

int Pack(const fs::path& folder, const fs::path& output, const std::set<std::string>& leftOut)
{
    WriteFileBytes(output, BuildChm(FolderEntries(folder, leftOut)));
    return 0;
}

std::string Utf8Of(const std::u16string& text) { return tarnwick::Utf8FromWide(std::wstring(text.begin(), text.end())); }

// Texts and names of one help file as a reader shows them.
struct Reader {
    IStorage* root;
    const TextEncoding& encoding;

    std::string Text(std::string_view text) const { return tarnwick::Utf8FromWide(encoding.Decode(text)); }
    std::string Name(std::string_view name) const
    {
        return tarnwick::Utf8FromWide(
            encoding.DecodeName(name, [this](std::wstring_view wide) { return NamesStream(root, wide); }));
    }
};

std::vector<std::uint8_t> Read(IStorage* root, const wchar_t* path)
{
    auto bytes = ReadInternalFile(root, path, 64u << 20);
    return bytes ? *bytes : std::vector<std::uint8_t>();
}

int Dump(const std::wstring& file)
{
    CChmEngine engine;
    if (FAILED(engine.OpenFile(file)) || !engine.GetRoot()) return 1;
    IStorage* root = engine.GetRoot();
    const HelpFileFacts facts = GatherFacts(root);
    const Reader read{root, facts.encoding};
    if (facts.system) {
        std::cout << "title\t" << read.Text(facts.system->title.value_or("")) << "\n";
        std::cout << "default topic\t" << read.Name(facts.system->defaultTopic.value_or("")) << "\n";
    }
    std::cout << "language\t" << facts.Lcid().value_or(0) << "\n";
    if (facts.windows) {
        for (const WindowType& w : facts.windows->windows) {
            std::cout << "window";
            for (const WindowText* text : {&w.name, &w.caption, &w.jump1Text, &w.jump1Url, &w.jump2Text, &w.jump2Url})
                std::cout << "\t" << read.Text(text->text.value_or(""));
            for (const WindowText* name : {&w.contentsFile, &w.indexFile, &w.defaultFile, &w.homeFile})
                std::cout << "\t" << read.Name(name->text.value_or(""));
            // Which members count as set is left out: chmcmd marks the styles set in every window.
            for (const std::int64_t number : {std::int64_t{w.properties}, std::int64_t{w.styles},
                                               std::int64_t{w.extendedStyles}, std::int64_t{w.position.left},
                                               std::int64_t{w.position.bottom}, std::int64_t{w.showState},
                                               std::int64_t{w.navigationWidth}, std::int64_t{w.buttons},
                                               std::int64_t{w.defaultTab}, std::int64_t{w.tabPosition}})
                std::cout << "\t" << number;
            std::cout << "\n";
        }
    }

    const auto topics = Read(root, L"#TOPICS"), urlTable = Read(root, L"#URLTBL"), urlStrings = Read(root, L"#URLSTR"),
               strings = Read(root, L"#STRINGS");
    const TopicFiles files{topics, urlTable, urlStrings, strings};
    // By number: compilers keep them in their own orders.
    std::vector<ContextAlias> aliases = ReadAliasFile(Read(root, L"#IVB"), strings).aliases;
    std::sort(aliases.begin(), aliases.end(), [](const ContextAlias& a, const ContextAlias& b) { return a.id < b.id; });
    for (const ContextAlias& alias : aliases) std::cout << "alias\t" << alias.id << "\t" << read.Name(alias.file) << "\n";
    for (const ContentsEntry& e : ReadContentsTree(Read(root, L"#TOCIDX"), files).entries)
        std::cout << "contents\t" << e.depth << "\t" << read.Text(e.name) << "\t" << read.Name(e.local) << "\t"
                  << read.Text(e.url) << "\n";
    const auto btree = Read(root, L"$WWKeywordLinks/BTree");
    if (btree.empty()) return 0;
    for (const KeywordEntry& e : ReadKeywordIndex(btree, files).entries) {
        std::cout << "index\t" << e.depth << "\t" << Utf8Of(e.keyword) << "\t" << Utf8Of(e.seeAlso);
        for (const Topic& topic : e.topics) std::cout << "\t" << read.Name(topic.local) << read.Text(topic.url);
        std::cout << "\n";
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 3 && args[0] == "pack") return Pack(args[1], args[2], {args.begin() + 3, args.end()});
    if (args.size() == 2 && args[0] == "dump") return Dump(tarnwick::WideFromFileName(args[1]));
    std::cerr << "usage: project_probe pack DIR OUT.chm [LEAVE_OUT...] | dump FILE.chm\n";
    return 2;
}
