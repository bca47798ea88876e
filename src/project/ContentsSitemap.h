// The contents file (.hhc) rebuilt from the binary table of contents.
#pragma once

#include "helpfile/ContentsTree.h"
#include "project/ProjectFile.h"

#include <string>
#include <vector>

namespace tarnwick::project {

// Headings as stored, pages under the names they have on disk.
std::string ContentsSitemap(const std::vector<helpfile::ContentsEntry>& entries, const NameWriter& writtenName);

} // namespace tarnwick::project
