// The contents file (.hhc) rebuilt from the binary table of contents.
#pragma once

#include "ContentsTree.h"

#include <string>
#include <vector>

namespace tarnwick::project {

std::string ContentsSitemap(const std::vector<helpfile::ContentsEntry>& entries);

} // namespace tarnwick::project
