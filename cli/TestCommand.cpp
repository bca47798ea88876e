#include "TestCommand.h"

#include "ChmEngine.h"
#include "Commands.h"
#include "Console.h"
#include "ExtractionPlan.h"
#include "ProgressBar.h"

#include <algorithm>
#include <optional>
#include <vector>

using tarnwick::storage::ComRef;

namespace {

constexpr ULONG kReadChunk = 1u << 16;

struct TestedStream {
    ComRef<IStorage> parent;
    std::wstring internalPath; // "a\b\", empty for the root
    std::wstring name;
    std::uint64_t size = 0;
};

// Every stream beneath the root, storages walked from a list of their own rather than by
// recursion, so that a file's depth costs memory in proportion to its entries and no stack.
std::vector<TestedStream> AllStreams(IStorage* root)
{
    std::vector<TestedStream> streams;
    std::vector<std::pair<ComRef<IStorage>, std::wstring>> pending;
    root->AddRef();
    pending.emplace_back(ComRef<IStorage>(root), std::wstring());
    while (!pending.empty()) {
        auto [storage, path] = std::move(pending.back());
        pending.pop_back();
        ComRef<IEnumSTATSTG> elements;
        if (FAILED(storage->EnumElements(0, nullptr, 0, elements.Put())) || !elements) continue;
        STATSTG element{};
        while (elements->Next(1, &element, nullptr) == S_OK) {
            const std::wstring name = element.pwcsName ? element.pwcsName : L"";
            CoTaskMemFree(element.pwcsName);
            element.pwcsName = nullptr;
            if (element.type == STGTY_STREAM) {
                streams.push_back({storage, path, name, element.cbSize.QuadPart});
            } else if (element.type == STGTY_STORAGE) {
                ComRef<IStorage> child;
                if (SUCCEEDED(storage->OpenStorage(name.c_str(), nullptr, STGM_READ, nullptr, 0, child.Put())) && child)
                    pending.emplace_back(std::move(child), path + name + L"\\");
            }
        }
    }
    return streams;
}

DamageReport LastDamage(IUnknown* object)
{
    DamageReport report;
    ComRef<IDamageReport> damage;
    if (SUCCEEDED(object->QueryInterface(IID_IDamageReport, reinterpret_cast<void**>(damage.Put()))) && damage)
        damage->GetLastDamage(&report);
    return report;
}

std::wstring DamageText(StreamDamage damage)
{
    switch (damage) {
    case StreamDamage::UnknownSection: return L"目录指向不存在的内容分区";
    case StreamDamage::SectionUnusable: return L"压缩分区的控制数据缺失或不可用";
    case StreamDamage::OutsideSection: return L"目录中的位置或大小超出所在分区的结尾";
    case StreamDamage::DataMissing: return L"压缩数据在文件结尾之后 (文件被截断)";
    case StreamDamage::FrameTooLong: return L"重置表给出的帧长度不可能 (重置表损坏)";
    case StreamDamage::InputEnded: return L"帧的压缩数据提前结束";
    case StreamDamage::BadBlockHeader: return L"LZX 块头损坏或块越过重置点";
    case StreamDamage::BadTree: return L"LZX 编码树损坏";
    case StreamDamage::BadCode: return L"LZX 数据中出现无效编码";
    case StreamDamage::MatchOutsideWindow: return L"匹配距离超出窗口或重置点";
    case StreamDamage::MatchPastBlock: return L"匹配长度超出所在的块";
    case StreamDamage::WrongFrameEnd: return L"帧的结尾与其压缩数据不符 (数据或重置表损坏)";
    case StreamDamage::None: break;
    }
    return L"读取失败";
}

std::wstring Describe(const DamageReport& report)
{
    std::wstring text = DamageText(report.damage);
    if (report.damage >= StreamDamage::DataMissing)
        text += L" (第 " + std::to_wstring(report.frame) + L" 帧)";
    return text;
}

// What is wrong with the stream, or nothing when it reads whole.
std::optional<std::wstring> TestStream(const TestedStream& tested, std::vector<std::uint8_t>& buffer)
{
    ComRef<IStream> stream;
    if (FAILED(tested.parent->OpenStream(tested.name.c_str(), nullptr, STGM_READ, 0, stream.Put())) || !stream)
        return Describe(LastDamage(tested.parent.Get()));
    std::uint64_t total = 0;
    for (;;) {
        ULONG read = 0;
        if (FAILED(stream->Read(buffer.data(), kReadChunk, &read))) return Describe(LastDamage(stream.Get()));
        if (read == 0) break;
        total += read;
    }
    if (total != tested.size) return std::wstring(L"读到的字节数与目录中的大小不符");
    return std::nullopt;
}

// The damages of the compressed section as a whole, one line each.
std::vector<std::wstring> SectionNotes(IStorage* root)
{
    ULONG state = 0;
    ComRef<IDamageReport> damage;
    if (SUCCEEDED(root->QueryInterface(IID_IDamageReport, reinterpret_cast<void**>(damage.Put()))) && damage)
        damage->GetSectionState(&state);
    std::vector<std::wstring> notes;
    if (state & kSectionUnusable) notes.push_back(L"压缩分区无法读取");
    if (state & kSectionResetTableUnusable) notes.push_back(L"重置表缺失或损坏: 已从压缩分区开头依次解压");
    if (state & kSectionContentCut) notes.push_back(L"文件在压缩数据中间结束 (被截断)");
    return notes;
}

} // namespace

int TestHelpFile(const std::wstring& file, unsigned threads)
{
    CChmEngine engine([](const std::wstring& message) { Print(ConsoleStream::Error, message + L"\n"); });
    if (FAILED(engine.OpenFile(file)) || !engine.GetRoot()) {
        Print(ConsoleStream::Error, L"不能打开这个文件.\n");
        return kExitCannotOpen;
    }
    IStorage* root = engine.GetRoot();
    const std::vector<TestedStream> streams = AllStreams(root);
    const auto rowAt = [&](std::size_t i) {
        return ExtractionRow{streams[i].parent.Get(), streams[i].internalPath, streams[i].name};
    };
    const ExtractionPlan plan = PlanExtraction(streams.size(), rowAt, true);
    AnnounceReads(root, plan, threads);

    std::vector<std::pair<std::size_t, std::wstring>> damaged;
    {
        std::vector<std::uint8_t> buffer(kReadChunk);
        CProgressBar progress(static_cast<int>(streams.size()));
        int done = 0;
        for (const std::size_t index : plan.order) {
            const TestedStream& tested = streams[index];
            progress.Show(done++, tested.internalPath + tested.name);
            if (auto what = TestStream(tested, buffer)) damaged.emplace_back(index, std::move(*what));
        }
    }
    std::sort(damaged.begin(), damaged.end());

    std::wstring report;
    const std::vector<std::wstring> notes = SectionNotes(root);
    for (const std::wstring& note : notes) report += L"损坏: " + note + L"\n";
    for (const auto& [index, what] : damaged)
        report += L"损坏: " + streams[index].internalPath + streams[index].name + L": " + what + L"\n";
    report += L"检查了 " + std::to_wstring(streams.size()) + L" 个流: " +
              std::to_wstring(streams.size() - damaged.size()) + L" 个完好, " + std::to_wstring(damaged.size()) +
              L" 个损坏.\n";
    Print(ConsoleStream::Out, report);
    return damaged.empty() && notes.empty() ? kExitOk : kExitSomeFailed;
}
