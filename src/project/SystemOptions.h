// The [OPTIONS] and [WINDOWS] of the project as "#SYSTEM" and "#WINDOWS" kept them.
#pragma once

#include "helpfile/HelpFileFacts.h"
#include "project/ProjectFile.h"
#include "project/RecoveryReport.h"

namespace tarnwick::project {

// Options and windows filled, files, aliases and map left empty. The compiled file and the
// contents and index files are left as the help file names them: which names they get on disk is
// the writer's to decide.
ProjectSections ReadSystemSections(const helpfile::HelpFileFacts& facts, const NameWriter& writtenName,
                                   RecoveryReport& report);

} // namespace tarnwick::project
