#include "Commands.h"

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
#include "WriteBehindFileSystem.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <span>

#ifdef _WIN32
#include "ShellFileTypes.h"
using CPlatformFileTypes = CShellFileTypes;
#else
#include "GenericFileTypes.h"
using CPlatformFileTypes = CGenericFileTypes;
#endif

namespace {

constexpr std::size_t kFailuresNamed = 20;
constexpr int kMostThreads = 64;

const wchar_t kUsage[] =
    L"用法:\n"
    L"  tarnwick-cli list 帮助文件 [--json]\n"
    L"      按遍历顺序列出帮助文件中的每个流, 每行一个:\n"
    L"      名称<TAB>大小<TAB>类型<TAB>内部路径 (内部路径以反斜杠分隔并结尾, 根目录为空)\n"
    L"      加 --json 则输出一个 UTF-8 的 JSON 文档: {\"streams\": [{\"name\", \"size\", \"type\", \"path\"}...]}.\n"
    L"  tarnwick-cli info 帮助文件 [--json]\n"
    L"      显示帮助文件关于自身的信息, 每行一项: 标题, 默认主题, 默认窗口, 目录和索引文件,\n"
    L"      编译器版本, 语言 (LCID, 名称, 文本代码页), 全文搜索, 二进制目录和索引, ITSF 版本,\n"
    L"      LZX 窗口和重置间隔, 列出的流和内部流的个数与总大小, 压缩率.\n"
    L"      文件中没有的项显示为 (无), 损坏的显示为 (已损坏) 并在末尾说明.\n"
    L"      加 --json 则输出一个 UTF-8 的 JSON 文档, 没有或损坏的项为 null.\n"
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
    L"  tarnwick-cli project 帮助文件 目标文件夹\n"
    L"      同 unpack 展开每个流, 并在目标文件夹中写出可再次编译的项目文件 名称.hhp;\n"
    L"      目录 (.hhc) 或索引 (.hhk) 只以二进制形式保存时, 由二进制形式重建.\n"
    L"      未能恢复的内容列在目标文件夹的 project-report.txt 中, 也显示在标准错误上.\n"
    L"  tarnwick-cli --help\n"
    L"      显示本说明.\n"
    L"退出码: 0 成功; 1 不能打开帮助文件; 2 用法错误; 3 部分条目未能展开或有损坏.\n";

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

// The options after "unpack FILE DEST"; nothing when they are not understood.
std::optional<UnpackOptions> ParseUnpackOptions(std::span<const std::wstring> arguments)
{
    UnpackOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == L"--flat") {
            options.flat = true;
        } else if (arguments[i] == L"--threads" && i + 1 < arguments.size()) {
            const std::wstring& count = arguments[++i];
            if (count.empty() || count.size() > 3 || count.find_first_not_of(L"0123456789") != std::wstring::npos)
                return std::nullopt;
            // Each thread holds a decoder window of up to 2 MiB.
            options.threads = static_cast<unsigned>(std::clamp(std::stoi(count), 1, kMostThreads));
        } else {
            return std::nullopt;
        }
    }
    return options;
}

} // namespace

int RunCommandLine(const std::vector<std::wstring>& arguments)
{
    const std::size_t count = arguments.size();
    if (count == 1 && (arguments[0] == L"--help" || arguments[0] == L"-h")) {
        Print(ConsoleStream::Out, kUsage);
        return kExitOk;
    }
    const bool json = count == 3 && arguments[2] == L"--json";
    if ((count == 2 || json) && arguments[0] == L"list") return List(arguments[1], json);
    if ((count == 2 || json) && arguments[0] == L"info") return Info(arguments[1], json);
    if (count == 2 && arguments[0] == L"test") return TestHelpFile(arguments[1], tarnwick::storage::HardwareThreads());
    if (count >= 3 && arguments[0] == L"unpack") {
        if (const auto options = ParseUnpackOptions(std::span(arguments).subspan(3)))
            return Unpack(arguments[1], arguments[2], *options);
    }
    if (count == 3 && arguments[0] == L"project") return Project(arguments[1], arguments[2]);
    Print(ConsoleStream::Error, kUsage);
    return kExitUsage;
}
