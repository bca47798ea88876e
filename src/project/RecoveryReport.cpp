#include "project/RecoveryReport.h"

namespace tarnwick::project {

std::string ReportFileText(const RecoveryReport& report)
{
    std::string text = "\xEF\xBB\xBF"; // Notepad takes a file without it for the ANSI code page
    text += "未能恢复的内容 (" + std::to_string(report.lines.size()) + " 项):\r\n";
    for (const std::string& line : report.lines) text += "  " + line + "\r\n";
    return text;
}

} // namespace tarnwick::project
