// A help file written as a website that opens from disk: every listed stream below "content/",
// its pages in UTF-8 with links that work there, and beside them index.html (the contents next to
// the default topic, the search box), keywords.html and export-report.txt.
#pragma once

#include "engine/ChmEngine.h"
#include "engine/UnpackPipeline.h"
#include "export/SiteLinks.h"
#include "helpfile/EntryTable.h"

#include <optional>
#include <string>
#include <vector>

namespace tarnwick::exporting {

struct ExportRequest {
    CChmEngine* engine = nullptr; // with the help file open
    const helpfile::EntryTable* entries = nullptr; // its listed streams
    std::wstring destination;
    std::string helpFileName; // "Guide.chm", which its own its:/ms-its: links name
    std::optional<unsigned> chosenCodePage; // the user's, for texts and pages that declare none
    UnpackSettings unpack;
    unsigned rewriteThreads = 1; // pages rewritten on that many threads of their own; 1: none
};

// A topic of the Markdown and text exports.
struct ExportedTopic {
    std::string title;                // UTF-8
    std::string file;                 // the file written, beside the others
    std::vector<std::string> parents; // the titles of the books above it in the contents, outermost first
};

struct ExportOutcome {
    std::string title;           // UTF-8; the file name when the help file has none
    std::size_t pages = 0;       // HTML streams exported
    std::vector<std::size_t> failed; // entries that could not be read or written
    std::vector<LinkProblem> problems; // in the order of the entries
    bool pagesWritten = true;    // index.html and the rest beside the content
    std::vector<ExportedTopic> topics; // Markdown and text, in the order of their numbers
    bool HasProblems() const { return !failed.empty() || !problems.empty() || !pagesWritten; }
};

// Whether export reads the stream as a page: by its extension, as the help viewer goes by it.
bool IsPage(std::string_view name);

ExportOutcome ExportSite(const ExportRequest& request, UnpackObserver& observer);

// The lines of export-report.txt, UTF-8.
std::string ExportReport(const helpfile::EntryTable& entries, const ExportOutcome& outcome);

} // namespace tarnwick::exporting
