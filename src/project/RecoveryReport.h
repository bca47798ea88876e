// What a project could not take back from the help file: each line is said on the standard error
// and kept in a report file beside the project, so that nothing is dropped silently.
#pragma once

#include <string>
#include <vector>

namespace tarnwick::project {

struct RecoveryReport {
    std::vector<std::string> lines; // UTF-8

    void Lost(std::string line) { lines.push_back(std::move(line)); }
};

// The report file's contents: a heading, then one line each, in UTF-8 with CR LF.
std::string ReportFileText(const RecoveryReport& report);

inline constexpr char kReportFileName[] = "project-report.txt";

} // namespace tarnwick::project
