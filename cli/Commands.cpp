#include "cli/Commands.h"

#include "base/HardwareThreads.h"
#include "base/Utf8.h"
#include "cli/Arguments.h"
#include "cli/Console.h"
#include "cli/ExportCommand.h"
#include "cli/InfoCommand.h"
#include "cli/JsonList.h"
#include "cli/PrintedList.h"
#include "cli/ProgressBar.h"
#include "cli/ProjectCommand.h"
#include "cli/TestCommand.h"
#include "cli/UnpackSteps.h"
#include "engine/ChmEngine.h"
#include "engine/UnpackPipeline.h"

#include <new>

#ifdef _WIN32
#include "engine/platform/ShellFileTypes.h"
using CPlatformFileTypes = CShellFileTypes;
#else
#include "engine/platform/GenericFileTypes.h"
using CPlatformFileTypes = CGenericFileTypes;
#endif

using tarnwick::helpfile::EntryTable;
using tarnwick::helpfile::ReadEntryTable;
using tarnwick::helpfile::WalkedStream;
using tarnwick::helpfile::WalkScope;
using tarnwick::helpfile::WalkStreams;

namespace {

constexpr std::size_t kFailuresNamed = 20;

const wchar_t kUsage[] =
    L"用法:\n"
    L"  tarnwick-cli list 帮助文件 [--json]\n"
    L"      按遍历顺序列出帮助文件中的每个流, 每行一个:\n"
    L"      名称<TAB>大小<TAB>类型<TAB>内部路径 (内部路径以反斜杠分隔并结尾, 根目录为空)\n"
    L"      加 --json 则输出一个 UTF-8 的 JSON 文档: {\"streams\": [{\"name\", \"size\", \"type\", \"path\"}...]}.\n"
    L"  tarnwick-cli info 帮助文件 [--json] [--encoding 代码页]\n"
    L"      显示帮助文件关于自身的信息, 每行一项: 标题, 默认主题, 默认窗口, 目录和索引文件,\n"
    L"      编译器版本, 语言 (LCID, 名称, 文本代码页), 全文搜索, 二进制目录和索引, ITSF 版本,\n"
    L"      LZX 窗口和重置间隔, 列出的流和内部流的个数与总大小, 压缩率.\n"
    L"      文件中没有的项显示为 (无), 损坏的显示为 (已损坏) 并在末尾说明.\n"
    L"      加 --json 则输出一个 UTF-8 的 JSON 文档, 没有或损坏的项为 null.\n"
    L"      文本按语言的代码页读取; 文本本身是 UTF-8 时按 UTF-8 读取, 并显示所用的代码页.\n"
    L"      --encoding 代码页: 按指定的代码页读取文本 (如 936, 1251, utf-8).\n"
    L"  tarnwick-cli unpack 帮助文件 目标文件夹 [--flat] [--threads N]\n"
    L"      把列出的每个流展开到目标文件夹, 按帮助文件内部的文件夹存放;\n"
    L"      加 --flat 则全部直接放在目标文件夹中 (同名文件后者替换前者).\n"
    L"      目标文件夹及其上级不存在时先创建.\n"
    L"      --threads N: 用 N 个线程解压 (默认为处理器数, 1 为不另开线程).\n"
    L"      不安全的名称 (如 \"..\", \"CON\", 含 : ? * 等字符) 中的字符写成 %XX.\n"
    L"      帮助文件损坏 (截断, 个别位出错) 时, 仍展开数据完好的每个条目.\n"
    L"  tarnwick-cli test 帮助文件\n"
    L"      解压每个流 (含 # 和 $ 开头的内部流), 检查大小, 重置表和 LZX 数据,\n"
    L"      逐个列出损坏的条目及原因, 最后一行为汇总.\n"
    L"  tarnwick-cli project 帮助文件 目标文件夹 [--encoding 代码页]\n"
    L"      同 unpack 展开每个流, 并在目标文件夹中写出可再次编译的项目文件 名称.hhp;\n"
    L"      目录 (.hhc) 或索引 (.hhk) 只以二进制形式保存时, 由二进制形式重建.\n"
    L"      项目中的文件名是本机磁盘上的文件名, 由本机的帮助编译器读取; 其他文本保持帮助文件原有的字节.\n"
    L"      未能恢复的内容列在目标文件夹的 project-report.txt 中, 也显示在标准错误上.\n"
    L"      --encoding 代码页: 按指定的代码页读取帮助文件的文本, 同 info.\n"
    L"  tarnwick-cli export 帮助文件或文件夹... 目标文件夹 [--format site|md|txt] [--encoding 代码页] [--json]\n"
    L"      把帮助文件导出为在任何浏览器中从磁盘打开的网站 (site, 默认): index.html 显示目录和默认主题,\n"
    L"      另有关键字索引页和离线搜索; 页面转为 UTF-8, 链接改写为磁盘上可用的相对链接.\n"
    L"      md: 每个主题一个 Markdown 文件; txt: 每个主题一个 UTF-8 文本文件; 均按目录顺序编号.\n"
    L"      文件夹表示其下的每个帮助文件, 各自导出到目标文件夹的子文件夹, 并写出列出它们的 index.html.\n"
    L"      原文件中已失效的链接和指向其他帮助文件的链接保留原样, 列在 export-report.txt 中.\n"
    L"      --encoding 代码页: 按指定的代码页读取没有声明字符集的页面和帮助文件的文本.\n"
    L"      --json: 输出一个 UTF-8 的 JSON 文档, 列出每个帮助文件的标题, 页面数和问题数.\n"
    L"  tarnwick-cli --help (或 -h)\n"
    L"      显示本说明.\n"
    L"  tarnwick-cli --version\n"
    L"      显示版本.\n"
    L"选项可以写在命令行的任何位置; -- 之后的参数都不是选项.\n"
    L"退出码: 0 成功; 1 不能打开帮助文件; 2 用法错误; 3 部分条目未能展开, 有损坏或命令未能完成.\n";

} // namespace

void ReportError(const std::wstring& message) { Print(ConsoleStream::Error, message + L"\n"); }

// The file's name without its folder and its last extension: "help" of "/x/help.chm".
std::wstring Stem(const std::wstring& file)
{
#ifdef _WIN32
    const std::size_t folderEnd = file.find_last_of(L"\\/:");
#else
    const std::size_t folderEnd = file.find_last_of(L'/');
#endif
    std::wstring name = folderEnd == std::wstring::npos ? file : file.substr(folderEnd + 1);
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0) name.erase(dot);
    return name.empty() ? std::wstring(L"project") : name;
}


bool OpenHelpFile(CChmEngine& engine, const std::wstring& file)
{
    if (FAILED(engine.OpenFile(file)) || !engine.GetRoot()) {
        ReportError(L"不能打开这个文件.");
        return false;
    }
    return true;
}

namespace {

// Listing keeps no table: each stream is written out as the walk meets it.
template <class List> int ListInto(const std::wstring& file)
{
    CChmEngine engine(ReportError);
    if (!OpenHelpFile(engine, file)) return kExitCannotOpen;
    CPlatformFileTypes shell;
    CFileTypeCache types;
    List list;
    WalkStreams(engine.GetRoot(), WalkScope::Listed,
                [&](const WalkedStream& stream) { list.Write(stream, types.Of(shell, stream.name).name); });
    list.Finish();
    return kExitOk;
}

int List(const std::wstring& file, bool json)
{
    return json ? ListInto<CJsonList>(file) : ListInto<CPrintedList>(file);
}

std::wstring FailureMessage(const EntryTable& entries, const std::vector<std::size_t>& failed)
{
    std::wstring message = L"有 " + std::to_wstring(failed.size()) + L" 个条目未能展开:\n";
    for (std::size_t i = 0; i < failed.size() && i < kFailuresNamed; ++i)
        message += L"  " + entries.Path(failed[i]) + L"\n";
    if (failed.size() > kFailuresNamed) message += L"  ...\n";
    return message;
}

} // namespace

ProgressShown::ProgressShown(const EntryTable& entries) : m_entries(entries), m_bar(static_cast<int>(entries.Size())) {}

bool ProgressShown::Starting(std::size_t done, std::size_t index)
{
    m_bar.Show(static_cast<int>(done), m_entries.Path(index));
    return true;
}

int UnpackTable(CChmEngine& engine, const EntryTable& entries, const std::wstring& destination,
                const UnpackOptions& options)
{
    if (!MakeDirectories(PlatformFileSystem(), destination)) {
        ReportError(L"不能创建目标文件夹 " + destination + L".");
        return kExitSomeFailed;
    }
    std::vector<std::size_t> failed;
    {
        ProgressShown progress(entries);
        // With threads to spare, files are written on one of them while the next streams are read;
        // decoding ahead gets the others.
        const bool writeBehind = options.threads > 1;
        const UnpackSettings settings{!options.flat, writeBehind ? options.threads - 1 : 1, writeBehind};
        failed = UnpackEntries(engine, entries, destination, settings, progress);
    }
    if (failed.empty()) return kExitOk;
    Print(ConsoleStream::Error, FailureMessage(entries, failed));
    return kExitSomeFailed;
}

namespace {

int Unpack(const std::wstring& file, const std::wstring& destination, const UnpackOptions& options)
{
    CChmEngine engine(ReportError);
    if (!OpenHelpFile(engine, file)) return kExitCannotOpen;
    return UnpackTable(engine, ReadEntryTable(engine.GetRoot(), WalkScope::Listed), destination, options);
}

int Run(const CommandLine& line)
{
    const std::vector<std::wstring>& operands = line.operands;
    if (line.command == L"--help") {
        Print(ConsoleStream::Out, kUsage);
        return kExitOk;
    }
    if (line.command == L"--version") {
        Print(ConsoleStream::Out, L"tarnwick-cli " TARNWICK_VERSION L"\n");
        return kExitOk;
    }
    if (line.command == L"list") return List(operands[0], line.json);
    if (line.command == L"info") return Info(operands[0], line.json, line.codePage);
    if (line.command == L"test") return TestHelpFile(operands[0], tarnwick::HardwareThreads());
    if (line.command == L"project") return Project(operands[0], operands[1], line.codePage);
    if (line.command == L"export") {
        ExportOptions exportOptions{line.format, line.codePage, line.json, tarnwick::HardwareThreads()};
        if (line.threads) exportOptions.threads = *line.threads;
        return Export({operands.begin(), operands.end() - 1}, operands.back(), exportOptions);
    }
    UnpackOptions options;
    options.flat = line.flat;
    if (line.threads) options.threads = *line.threads;
    return Unpack(operands[0], operands[1], options);
}

// What went wrong where no command expected it: allocation, or a name the system refused.
std::wstring Cause(const std::exception& error)
{
    if (dynamic_cast<const std::bad_alloc*>(&error)) return L"内存不足";
    return tarnwick::WideFromUtf8(error.what());
}

} // namespace

int RunCommandLine(const std::vector<std::wstring>& arguments)
{
    const auto parsed = ParseCommandLine(arguments);
    if (const auto* mistake = std::get_if<UsageError>(&parsed)) {
        Print(ConsoleStream::Error, L"tarnwick-cli: " + mistake->message + L"\n");
        return kExitUsage;
    }
    const CommandLine& line = std::get<CommandLine>(parsed);
    try {
        return Run(line);
    } catch (const std::exception& error) {
        const std::wstring subject = line.operands.empty() ? line.command : line.operands[0];
        ReportError(L"tarnwick-cli: " + subject + L": 命令未能完成: " + Cause(error));
        return kExitSomeFailed;
    }
}
