#include "export/Navigation.h"

#include "base/Utf8.h"
#include "export/PageNames.h"
#include "helpfile/FileReference.h"
#include "helpfile/InternalFile.h"
#include "project/BinarySitemaps.h"
#include "storage/ComRef.h"

#include <functional>
#include <optional>

namespace tarnwick::exporting {

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string_view AsText(const Bytes& bytes) { return {reinterpret_cast<const char*>(bytes.data()), bytes.size()}; }

// The file a name from the help file's texts means, read the way that finds one of its streams.
std::optional<Bytes> StoredFile(IStorage* root, std::string_view reference, const helpfile::TextEncoding& encoding)
{
    const std::wstring name =
        encoding.DecodeName(reference, [root](std::wstring_view wide) { return helpfile::NamesStream(root, wide); });
    for (const helpfile::ReferencedPath& reading : helpfile::ReferencedPaths(name)) {
        if (reading.path.empty()) continue;
        if (auto bytes = helpfile::ReadInternalFile(root, reading.path, project::kBinaryFileLimit)) return bytes;
    }
    return std::nullopt;
}

bool EndsWithFolded(std::wstring_view name, std::string_view extension)
{
    if (name.size() < extension.size()) return false;
    return FoldedCase(Utf8FromWide(name.substr(name.size() - extension.size()))) == extension;
}

// A help file whose #SYSTEM names no contents file may still have one, stored at its root.
std::optional<Bytes> OnlyRootFileEndingIn(IStorage* root, std::string_view extension)
{
    storage::ComRef<IEnumSTATSTG> elements;
    if (FAILED(root->EnumElements(0, nullptr, 0, elements.Put())) || !elements) return std::nullopt;
    std::optional<std::wstring> found;
    int matches = 0;
    STATSTG element{};
    while (elements->Next(1, &element, nullptr) == S_OK) {
        const std::wstring name = element.pwcsName ? element.pwcsName : L"";
        CoTaskMemFree(element.pwcsName);
        element.pwcsName = nullptr;
        if (element.type != STGTY_STREAM || !EndsWithFolded(name, extension)) continue;
        found = name;
        ++matches;
    }
    if (matches != 1) return std::nullopt;
    return helpfile::ReadInternalFile(root, *found, project::kBinaryFileLimit);
}

class NavigationReader {
public:
    NavigationReader(IStorage* root, const helpfile::HelpFileFacts& facts) : m_root(root), m_encoding(facts.encoding)
    {
        if (facts.system) m_system = *facts.system;
    }

    Navigation Read()
    {
        Navigation navigation;
        SitemapTree contents;
        Sitemap(m_system.contentsFile, ".hhc", project::kBinaryContentsPath,
                [this](const Bytes& bytes) { return RebuiltContents(bytes); }, contents);
        navigation.contents = contents.Take();
        if (m_system.defaultTopic) navigation.defaultTopic = Utf8FromWide(Name(*m_system.defaultTopic));
        if (m_system.title) navigation.title = Utf8FromWide(m_encoding.Decode(*m_system.title));
        return navigation;
    }

    void ReadKeywords(SitemapItemSink& keywords)
    {
        Sitemap(m_system.indexFile, ".hhk", project::kBinaryIndexPath, [this](const Bytes& bytes) { return RebuiltIndex(bytes); },
                keywords);
    }

private:
    std::wstring Name(std::string_view reference) const
    {
        return m_encoding.DecodeName(reference, [this](std::wstring_view wide) { return helpfile::NamesStream(m_root, wide); });
    }

    void Sitemap(const std::optional<std::string>& named, std::string_view extension, std::wstring_view binaryPath,
                 const std::function<std::string(const Bytes&)>& rebuild, SitemapItemSink& items)
    {
        const std::optional<Bytes> stored = named && !named->empty() ? StoredFile(m_root, *named, m_encoding)
                                                                     : OnlyRootFileEndingIn(m_root, extension);
        if (stored) return ReadSitemap(AsText(*stored), m_encoding, items);
        const Bytes binary = project::ReadBinaryFileOrEmpty(m_root, binaryPath);
        if (binary.empty()) return;
        ReadSitemap(rebuild(binary), m_encoding, items);
    }

    // Names stay as the help file writes them, in its code page like the headings.
    static project::NameWriter NamesAsWritten()
    {
        return [](std::string_view reference) { return std::string(reference); };
    }

    std::string RebuiltContents(const Bytes& bytes)
    {
        return project::RebuildContents(bytes, Topics(), NamesAsWritten(), m_lost);
    }

    // The keywords in the code page of the topics' titles and names, so that the text reads in one.
    std::string RebuiltIndex(const Bytes& bytes)
    {
        const unsigned codePage = m_encoding.DifferingCodePage().value_or(m_encoding.DeclaredCodePage());
        return project::RebuildIndex(bytes, Topics(), NamesAsWritten(), m_encoding, codePage, m_lost);
    }

    const project::TopicBytes& Topics()
    {
        if (!m_topics) m_topics.emplace(m_root);
        return *m_topics;
    }

    IStorage* m_root;
    const helpfile::TextEncoding& m_encoding;
    helpfile::SystemFile m_system;
    std::optional<project::TopicBytes> m_topics;
    project::RecoveryReport m_lost; // export shows what it can; the project command reports losses
};

} // namespace

Navigation ReadNavigation(IStorage* root, const helpfile::HelpFileFacts& facts)
{
    if (!root) return {};
    return NavigationReader(root, facts).Read();
}

void ReadKeywords(IStorage* root, const helpfile::HelpFileFacts& facts, SitemapItemSink& keywords)
{
    if (root) NavigationReader(root, facts).ReadKeywords(keywords);
}

} // namespace tarnwick::exporting
