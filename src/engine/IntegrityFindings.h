// What the integrity check found, as `test` prints it and the window lists it.
#pragma once

#include "engine/IntegrityCheck.h"
#include "helpfile/EntryTable.h"

#include <string>
#include <vector>

// One line per damage: the compressed section's own first, then "PATH: reason" per stream.
std::vector<std::wstring> IntegrityFindings(const tarnwick::helpfile::EntryTable& entries, const IntegrityReport& report);

// "检查了 N 个流: ..." for a complete check.
std::wstring IntegritySummary(const tarnwick::helpfile::EntryTable& entries, const IntegrityReport& report);
