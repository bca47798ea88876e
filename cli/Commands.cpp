#include "Commands.h"

#include "Arguments.h"
#include "ChmEngine.h"
#include "Console.h"
#include "ExtractionPlan.h"
#include "InfoCommand.h"
#include "JsonList.h"
#include "PrintedList.h"
#include "ProgressBar.h"
#include "ProjectCommand.h"
#include "DecodeAhead.h"
#include "TestCommand.h"
#include "UnpackList.h"
#include "UnpackSteps.h"
#include "Utf8.h"
#include "WriteBehindFileSystem.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <optional>

#ifdef _WIN32
#include "ShellFileTypes.h"
using CPlatformFileTypes = CShellFileTypes;
#else
#include "GenericFileTypes.h"
using CPlatformFileTypes = CGenericFileTypes;
#endif

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
    L"  tarnwick-cli --help (或 -h)\n"
    L"      显示本说明.\n"
    L"  tarnwick-cli --version\n"
    L"      显示版本.\n"
    L"选项可以写在命令行的任何位置; -- 之后的参数都不是选项.\n"
    L"退出码: 0 成功; 1 不能打开帮助文件; 2 用法错误; 3 部分条目未能展开, 有损坏或命令未能完成.\n";

} // namespace

void ReportError(const std::wstring& message) { Print(ConsoleStream::Error, message + L"\n"); }

bool LoadRows(CChmEngine& engine, const std::wstring& file, IListControl& rows)
{
    if (FAILED(engine.OpenFile(file)) || !engine.GetRoot()) {
        ReportError(L"不能打开这个文件.");
        return false;
    }
    CPlatformFileTypes types;
    engine.ReleaseWalk();
    rows.SetRedraw(false);
    engine.WalkStorage(rows, types, engine.GetRoot(), L"");
    rows.SetRedraw(true);
    return true;
}

namespace {

template <class Rows> int ListInto(const std::wstring& file)
{
    CChmEngine engine(ReportError);
    Rows rows;
    if (!LoadRows(engine, file, rows)) return kExitCannotOpen;
    rows.Finish();
    return kExitOk;
}

int List(const std::wstring& file, bool json)
{
    return json ? ListInto<CJsonList>(file) : ListInto<CPrintedList>(file);
}

std::wstring FailureMessage(const CUnpackList& rows, std::vector<std::size_t> failed)
{
    // Named in listing order, whatever the order they were copied in; a row whose file failed
    // behind the read that failed too is named once.
    std::sort(failed.begin(), failed.end());
    failed.erase(std::unique(failed.begin(), failed.end()), failed.end());
    std::wstring message = L"有 " + std::to_wstring(failed.size()) + L" 个条目未能展开:\n";
    for (std::size_t i = 0; i < failed.size() && i < kFailuresNamed; ++i)
        message += L"  " + rows.InternalPath(failed[i]) + rows.Name(failed[i]) + L"\n";
    if (failed.size() > kFailuresNamed) message += L"  ...\n";
    return message;
}

// The engine writes through `fileSystem` for as long as this lives, then through the platform's again.
class FileSystemInUse {
public:
    FileSystemInUse(CChmEngine& engine, IFileSystem& fileSystem) : m_engine(engine) { engine.SetFileSystem(fileSystem); }
    ~FileSystemInUse() { m_engine.SetFileSystem(PlatformFileSystem()); }
    FileSystemInUse(const FileSystemInUse&) = delete;
    FileSystemInUse& operator=(const FileSystemInUse&) = delete;

private:
    CChmEngine& m_engine;
};

} // namespace

int UnpackRows(CChmEngine& engine, const CUnpackList& rows, const std::wstring& destination, const UnpackOptions& options)
{
    const bool usePaths = !options.flat;
    if (!MakeDirectories(PlatformFileSystem(), destination)) {
        ReportError(L"不能创建目标文件夹 " + destination + L".");
        return kExitSomeFailed;
    }

    const auto rowAt = [&](std::size_t row) {
        return ExtractionRow{engine.GetParentStorage(rows.ItemData(row)), rows.InternalPath(row), rows.Name(row)};
    };
    const std::size_t count = static_cast<std::size_t>(rows.GetRowCount());
    // With threads to spare, files are created and written on one of their own while the next
    // streams are read.
    std::optional<CWriteBehindFileSystem> writeBehind;
    if (options.threads > 1) writeBehind.emplace(PlatformFileSystem());
    const FileSystemInUse files(engine, writeBehind ? static_cast<IFileSystem&>(*writeBehind) : PlatformFileSystem());
    std::vector<std::size_t> failed;
    {
        CProgressBar progress(rows.GetRowCount());
        int done = 0;
        std::size_t writesFailed = 0;
        const ExtractionPlan plan = PlanExtraction(count, rowAt, usePaths);
        // The writer is one of the threads; decoding ahead gets the others.
        AnnounceReads(engine.GetRoot(), plan, writeBehind ? options.threads - 1 : options.threads);
        for (const std::size_t index : plan.order) {
            const ExtractionRow row = rowAt(index);
            progress.Show(done++, row.internalPath + row.name);
            if (writeBehind) writeBehind->SetTag(index);
            if (!engine.ExtractStream(row.parent, row.internalPath, row.name, destination, usePaths))
                failed.push_back(index);
            // As after a failure of its own: the folders it made may be what went away.
            if (writeBehind && writeBehind->FailureCount() != writesFailed) {
                writesFailed = writeBehind->FailureCount();
                engine.ForgetMadeFolders();
            }
        }
        if (writeBehind) std::ranges::copy(writeBehind->Finish(), std::back_inserter(failed));
    }
    if (failed.empty()) return kExitOk;
    Print(ConsoleStream::Error, FailureMessage(rows, std::move(failed)));
    return kExitSomeFailed;
}

namespace {

int Unpack(const std::wstring& file, const std::wstring& destination, const UnpackOptions& options)
{
    CChmEngine engine(ReportError);
    CUnpackList rows;
    if (!LoadRows(engine, file, rows)) return kExitCannotOpen;
    return UnpackRows(engine, rows, destination, options);
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
    if (line.command == L"test") return TestHelpFile(operands[0], tarnwick::storage::HardwareThreads());
    if (line.command == L"project") return Project(operands[0], operands[1], line.codePage);
    UnpackOptions options;
    options.flat = line.flat;
    if (line.threads) options.threads = *line.threads;
    return Unpack(operands[0], operands[1], options);
}

// What went wrong where no command expected it: allocation, or a name the system refused.
std::wstring Cause(const std::exception& error)
{
    if (dynamic_cast<const std::bad_alloc*>(&error)) return L"内存不足";
    return tarnwick::storage::WideFromUtf8(error.what());
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
