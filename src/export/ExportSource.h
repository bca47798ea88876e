// What every export reads of a help file before it writes anything: its facts, its streams as
// links name them, its contents and index, and its title.
#pragma once

#include "export/Navigation.h"
#include "export/SiteExport.h"
#include "export/SiteLinks.h"
#include "helpfile/HelpFileFacts.h"

#include <string>
#include <string_view>

namespace tarnwick::exporting {

// The folder below the destination that holds the help file's own streams.
inline constexpr std::string_view kContentFolder = "content";

struct ExportSource {
    explicit ExportSource(const ExportRequest& request);

    const helpfile::EntryTable& entries;
    helpfile::HelpFileFacts facts;
    SiteLinks links;
    Navigation navigation;
    std::string title; // the help file's own, else its file name
};

} // namespace tarnwick::exporting
