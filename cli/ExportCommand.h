// "export FILE_OR_FOLDER... DEST": help files as websites (or Markdown, or text) that read
// anywhere. A folder stands for every help file below it.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct ExportOptions {
    std::wstring format = L"site"; // "site", "md" or "txt"
    std::optional<unsigned> codePage;  // the user's, for texts and pages that declare none
    bool json = false;
    unsigned threads = 1;
};

int Export(const std::vector<std::wstring>& sources, const std::wstring& destination, const ExportOptions& options);
