// The index file (.hhk) rebuilt from the keyword B-tree. The tree keeps its keywords in UTF-16;
// they are written in the code page the tree names, as the compiler reads them.
#pragma once

#include "KeywordIndex.h"
#include "RecoveryReport.h"

#include <string>

namespace tarnwick::project {

std::string IndexSitemap(const helpfile::KeywordIndex& index, RecoveryReport& report);

} // namespace tarnwick::project
