#include "engine/DamageReasons.h"

#include "storage/ComRef.h"

#include <cwchar>
#include <iterator>

using tarnwick::storage::ComRef;

namespace {

ComRef<IDamageReport> DamageReportOf(IUnknown* object)
{
    ComRef<IDamageReport> damage;
    if (object) object->QueryInterface(IID_IDamageReport, reinterpret_cast<void**>(damage.Put()));
    return damage;
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
    case StreamDamage::NonzeroPadding: return L"帧末尾补齐到 16 位边界的填充位不全为零 (压缩数据损坏)";
    case StreamDamage::None: break;
    }
    return L"读取失败";
}

} // namespace

DamageReport LastDamage(IUnknown* object)
{
    DamageReport report;
    if (const ComRef<IDamageReport> damage = DamageReportOf(object)) damage->GetLastDamage(&report);
    return report;
}

ULONG SectionState(IStorage* root)
{
    ULONG state = 0;
    if (const ComRef<IDamageReport> damage = DamageReportOf(root)) damage->GetSectionState(&state);
    return state;
}

std::wstring OpenFailureReason(HRESULT result)
{
    switch (result) {
    case STG_E_FILENOTFOUND: return L"文件不存在或不能读取";
    case STG_E_INVALIDHEADER: return L"这不是编译的 HTML 帮助文件 (.chm), 或者它的文件头或目录已损坏";
    case STG_E_ACCESSDENIED: return L"拒绝访问";
    default: break;
    }
    wchar_t code[16] = {};
    swprintf(code, std::size(code), L"%08X", static_cast<unsigned>(result));
    return std::wstring(L"存储组件不能读取它 (错误 0x") + code + L")";
}

std::wstring DescribeDamage(const DamageReport& report)
{
    std::wstring text = DamageText(report.damage);
    if (report.damage >= StreamDamage::DataMissing) text += L" (第 " + std::to_wstring(report.frame) + L" 帧)";
    return text;
}

std::vector<std::wstring> SectionDamageNotes(ULONG state)
{
    std::vector<std::wstring> notes;
    if (state & kSectionUnusable) notes.push_back(L"压缩分区无法读取");
    if (state & kSectionResetTableUnusable) notes.push_back(L"重置表缺失或损坏: 已从压缩分区开头依次解压");
    if (state & kSectionContentCut) notes.push_back(L"文件在压缩数据中间结束 (被截断)");
    return notes;
}
