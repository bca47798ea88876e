#include "project/SystemOptions.h"

#include "project/WindowsSection.h"

namespace tarnwick::project {

namespace {

// Records the compiler makes itself from the project: a copy of "#IDXHDR" and a checksum of the
// information types.
constexpr std::uint16_t kIndexHeaderCopy = 13;
constexpr std::uint16_t kInformationTypeChecksum = 15;

std::string FaultText(helpfile::SystemFault fault)
{
    switch (fault) {
    case helpfile::SystemFault::TruncatedHeader: return "记录头被截断";
    case helpfile::SystemFault::LengthPastEnd: return "长度超出文件末尾, 其后的记录未读";
    case helpfile::SystemFault::Unterminated: return "文本没有结尾";
    case helpfile::SystemFault::TooShort: return "比其字段短";
    case helpfile::SystemFault::Repeated: return "重复, 只用第一个";
    }
    return "损坏";
}

void ReportSystemLosses(const helpfile::SystemFile& system, RecoveryReport& report)
{
    for (const helpfile::SystemDamage& damage : system.damaged)
        report.Lost("#SYSTEM: 偏移 " + std::to_string(damage.offset) + " 处的记录" +
                    (damage.code ? " (代码 " + std::to_string(*damage.code) + ")" : std::string()) + FaultText(damage.fault));
    for (const helpfile::SystemRecord& record : system.otherRecords) {
        if (record.code == kIndexHeaderCopy || record.code == kInformationTypeChecksum) continue;
        report.Lost("#SYSTEM: 代码 " + std::to_string(record.code) + " 的记录 (" + std::to_string(record.length) +
                    " 字节) 没有对应的项目选项, 未写入");
    }
}

std::string NameOrEmpty(const std::optional<std::string>& reference, const NameWriter& writtenName)
{
    return reference && !reference->empty() ? writtenName(*reference) : std::string();
}

void FillOptions(const helpfile::SystemFile& system, const NameWriter& writtenName, ProjectOptions& options)
{
    options.compiledFile = system.compiledFile.value_or("");
    options.contentsFile = system.contentsFile.value_or("");
    options.indexFile = system.indexFile.value_or("");
    options.defaultTopic = NameOrEmpty(system.defaultTopic, writtenName);
    options.title = system.title.value_or("");
    options.defaultWindow = system.defaultWindow.value_or("");
    options.defaultFont = system.defaultFont.value_or("");
    options.fullTextSearch = system.settings && system.settings->fullTextSearch;
    options.binaryContents = system.binaryContents.has_value();
    options.binaryIndex = system.binaryIndex.has_value();
    // Version 2 files come from compilers that wrote for the first viewer.
    options.compatibility = system.version >= 3 ? "1.1 or later" : "1.0";
}

// Projects that name their contents and index files only in the window type, as many do, leave
// them out of "#SYSTEM": the default window's, else the first window's that names them, is taken.
void FillFromWindows(const helpfile::WindowsFile& windows, ProjectOptions& options)
{
    const auto pick = [&](std::string& option, auto field) {
        if (!option.empty()) return;
        for (const bool defaultOnly : {true, false}) {
            for (const helpfile::WindowType& window : windows.windows) {
                const std::optional<std::string>& text = (window.*field).text;
                if (defaultOnly && window.name.text != options.defaultWindow) continue;
                if (text && !text->empty()) {
                    option = *text;
                    return;
                }
            }
        }
    };
    pick(options.contentsFile, &helpfile::WindowType::contentsFile);
    pick(options.indexFile, &helpfile::WindowType::indexFile);
}

} // namespace

ProjectSections ReadSystemSections(const helpfile::HelpFileFacts& facts, const NameWriter& writtenName,
                                   RecoveryReport& report)
{
    ProjectSections sections;
    sections.options.language = facts.Lcid();
    if (facts.system) {
        FillOptions(*facts.system, writtenName, sections.options);
        ReportSystemLosses(*facts.system, report);
    } else {
        report.Lost("#SYSTEM 缺失或损坏: [OPTIONS] 中只有能从别处得知的选项");
    }
    if (facts.windows) {
        sections.windows = WindowsSection(*facts.windows, writtenName, facts.encoding, report);
        FillFromWindows(*facts.windows, sections.options);
    } else if (facts.windowsState == helpfile::InternalFileState::Damaged) {
        report.Lost("#WINDOWS 不能读取: 没有 [WINDOWS]");
    }
    return sections;
}

} // namespace tarnwick::project
