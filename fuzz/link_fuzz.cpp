// libFuzzer entry point for export's links: the input is a page's internal path, a line break and
// an href (without a line break, all of it is the href of a page at the root), resolved against a
// small help file whose names unpacking has to change. Traps when an internal link names an entry
// the names would not find again, when a fragment does not start with "#", and when a relative url
// from the page to any file of the table is not ASCII or, resolved as a browser resolves it on
// disk, leaves the export folder or reaches another file. The whole input is also rewritten as a
// page of that help file: the result must be UTF-8 whose first declaration says so, and the search
// terms gathered from its title and text must be those of the text, each once.
#include "export/LinkTarget.h"
#include "export/OutputPath.h"
#include "export/PageCharset.h"
#include "export/PageRewriter.h"
#include "export/PageTerms.h"
#include "export/SearchTerms.h"
#include "export/RelativeUrl.h"
#include "HelpFileBytes.h"
#include "base/Utf8.h"
#include "engine/SafeName.h"
#include "helpfile/EntryTable.h"
#include "support/ChmBuilder.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace {

using namespace tarnwick::exporting;
using tarnwick::helpfile::EntryTable;

void Check(bool holds)
{
    if (!holds) __builtin_trap();
}

// Names a browser would misread if they reached a url unescaped, and ones unpacking renames.
EntryTable MakeTable()
{
    const std::vector<std::uint8_t> bytes = BuildChm({{"/index.htm"},
                                                      {"/Docs/Intro.htm"},
                                                      {"/说明/第二章 附录.htm"},
                                                      {"/../up.htm"},
                                                      {"/./a/con.htm"},
                                                      {"/dir./trail .htm"},
                                                      {"/a%41 #?&.htm"},
                                                      {"/x:y/%2e%2e"}});
    const auto root = OpenHelpFileBytes(bytes.data(), bytes.size());
    return tarnwick::helpfile::ReadEntryTable(root.Get(), tarnwick::helpfile::WalkScope::Listed);
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string Unescaped(std::string_view segment)
{
    std::string out;
    for (std::size_t i = 0; i < segment.size(); ++i) {
        if (segment[i] == '%' && i + 2 < segment.size() && HexValue(segment[i + 1]) >= 0 && HexValue(segment[i + 2]) >= 0) {
            out.push_back(static_cast<char>(HexValue(segment[i + 1]) * 16 + HexValue(segment[i + 2])));
            i += 2;
        } else {
            out.push_back(segment[i]);
        }
    }
    return out;
}

// What a browser does with a relative url in a page at `from`, everything below the export folder;
// ".." past the folder's top traps. Escaped dots count as dots, as in the url standard.
std::string ResolvedOnDisk(std::string_view from, std::string_view url)
{
    for (const char c : url) Check(c > ' ' && c < 0x7F && c != '\\' && c != '?' && c != '#');
    Check(!url.empty() && url.substr(0, url.find('/')).find(':') == std::string_view::npos);
    std::vector<std::string> folders;
    for (std::size_t slash = from.find('/'); slash != std::string_view::npos; slash = from.find('/')) {
        folders.emplace_back(from.substr(0, slash));
        from.remove_prefix(slash + 1);
    }
    std::string file;
    for (std::size_t start = 0;;) {
        const std::size_t slash = url.find('/', start);
        const std::string segment = Unescaped(url.substr(start, slash - start));
        if (slash == std::string_view::npos) {
            file = segment;
            break;
        }
        if (segment == "..") {
            Check(!folders.empty());
            folders.pop_back();
        } else if (segment != ".") {
            folders.push_back(segment);
        }
        start = slash + 1;
    }
    Check(file != "." && file != "..");
    std::string path;
    for (const std::string& folder : folders) path += folder + "/";
    return path + file;
}

// Any "/"-separated name as unpacking writes it, so that the urls meet names no table holds.
std::string WrittenAs(std::string_view path)
{
    std::string written;
    for (std::size_t slash = path.find('/');; slash = path.find('/')) {
        written += tarnwick::Utf8FromWide(SafeFileName(tarnwick::WideFromUtf8(path.substr(0, slash))));
        if (slash == std::string_view::npos) return written;
        written.push_back('/');
        path.remove_prefix(slash + 1);
    }
}

void CheckFragment(const std::string& fragment) { Check(fragment.empty() || fragment[0] == '#'); }

void CheckPageTerms(const RewrittenPage& page)
{
    std::vector<std::string> expected;
    std::unordered_set<std::string> seen;
    for (const std::string_view text : {std::string_view(page.title), std::string_view(page.visibleText)})
        for (std::string& term : SearchTerms(text))
            if (seen.insert(term).second) expected.push_back(std::move(term));
    PageTerms terms;
    terms.Gather("", "a word left from the page before");
    terms.Gather(page.title, page.visibleText);
    Check(terms.Count() == expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) Check(terms.At(i) == expected[i]);
}

void CheckRewrittenPage(const EntryTable& table, std::string_view bytes)
{
    static const SiteLinks links(table, "guide.chm", 936, "content");
    LinkCache cache(links);
    const RewrittenPage page = RewritePage(cache, 0, std::string(bytes), tarnwick::helpfile::TextEncoding(936));
    Check(tarnwick::IsWellFormedUtf8(page.html));
    std::optional<CharsetDeclaration> first;
    tarnwick::html::TokenizeEach(page.html, [&](tarnwick::html::Token&& token) {
        if (!first) first = CharsetDeclarationOf(token);
    });
    Check(first && first->codePage == 65001u);
    CheckPageTerms(page);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const EntryTable table = MakeTable();
    static const PageNames names(table, "guide.chm", 936);
    Check(table.Size() > 0);

    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t lineBreak = input.find('\n');
    const std::string_view page = lineBreak == std::string_view::npos ? "index.htm" : input.substr(0, lineBreak);
    const std::string_view href = lineBreak == std::string_view::npos ? input : input.substr(lineBreak + 1);

    const LinkTarget target = ResolveLink(names, page, href);
    CheckFragment(target.fragment);
    if (target.kind == LinkKind::Internal) {
        Check(target.entry < table.Size());
        const std::optional<std::size_t> again = names.Find(target.path);
        Check(again && *again == target.entry);
    }

    const std::string from = OutputPath(table, names.Find(page).value_or(0));
    const std::string written = WrittenAs(page);
    for (std::size_t entry = 0; entry < table.Size(); ++entry) {
        const std::string to = OutputPath(table, entry);
        Check(ResolvedOnDisk(from, RelativeUrl(from, to)) == to);
        Check(ResolvedOnDisk(written, RelativeUrl(written, to)) == to);
        Check(ResolvedOnDisk(to, RelativeUrl(to, written)) == written);
    }
    CheckRewrittenPage(table, input);
    return 0;
}
