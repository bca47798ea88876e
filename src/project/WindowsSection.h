// The [WINDOWS] lines of a project file from the window types "#WINDOWS" kept.
#pragma once

#include "helpfile/TextEncoding.h"
#include "helpfile/WindowsFile.h"
#include "project/ProjectFile.h"
#include "project/RecoveryReport.h"

#include <string>
#include <vector>

namespace tarnwick::project {

// One line per window type with a name: name="caption","contents","index","default","home",
// "jump 1 URL","jump 1 text","jump 2 URL","jump 2 text", then the numbers, each left empty when
// the author did not set it. The four files are named as on disk, the other texts kept as stored.
std::vector<std::string> WindowsSection(const helpfile::WindowsFile& windows, const NameWriter& writtenName,
                                        const helpfile::TextEncoding& encoding, RecoveryReport& report);

} // namespace tarnwick::project
