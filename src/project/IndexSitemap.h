// The index file (.hhk) rebuilt from the keyword B-tree. The tree keeps its keywords in UTF-16;
// they are written in the code page the index names (`index.codePage`), as the compiler reads them.
#pragma once

#include "helpfile/KeywordIndex.h"
#include "helpfile/TextEncoding.h"
#include "project/ProjectFile.h"
#include "project/RecoveryReport.h"

#include <string>

namespace tarnwick::project {

// Topics under the names their files have on disk; `encoding` reads the topics' titles for the report.
std::string IndexSitemap(const helpfile::KeywordIndex& index, const NameWriter& writtenName,
                         const helpfile::TextEncoding& encoding, RecoveryReport& report);

} // namespace tarnwick::project
