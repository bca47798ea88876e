// The [OPTIONS] and [WINDOWS] of the project as "#SYSTEM" and "#WINDOWS" kept them.
#pragma once

#include "ITStorage.h"
#include "ProjectFile.h"
#include "RecoveryReport.h"

namespace tarnwick::project {

struct SystemSections {
    ProjectSections sections; // options and windows filled; files, aliases and map left empty
    unsigned codePage = 0;    // the one every text of the file is in
};

SystemSections ReadSystemSections(IStorage* root, RecoveryReport& report);

} // namespace tarnwick::project
