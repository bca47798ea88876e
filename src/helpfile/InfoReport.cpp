#include "helpfile/InfoReport.h"

#include "base/ZoneMark.h"
#include "helpfile/CodePageText.h"

#include <algorithm>

namespace {

using namespace tarnwick::helpfile;

class SystemFacts {
public:
    SystemFacts(const HelpFileFacts& facts, const NamesStream& namesStream) : m_facts(facts), m_namesStream(namesStream) {}

    InfoValue Text(std::uint16_t code, const std::optional<std::string>& text) const
    {
        if (const auto missing = Unread(code)) return *missing;
        if (!text) return InfoAbsent{};
        return m_facts.encoding.Decode(*text);
    }

    InfoValue Name(std::uint16_t code, const std::optional<std::string>& text) const
    {
        if (const auto missing = Unread(code)) return *missing;
        if (!text) return InfoAbsent{};
        return m_facts.encoding.DecodeName(*text, m_namesStream);
    }

    // A record whose presence is the answer: binary contents and index.
    InfoValue Present(std::uint16_t code, bool present) const
    {
        if (const auto missing = Unread(code)) return *missing;
        return present;
    }

    InfoValue Setting(bool SystemSettings::*flag) const
    {
        if (const auto missing = Unread(kSettingsCode)) return *missing;
        const auto& settings = m_facts.system->settings;
        if (!settings) return InfoAbsent{};
        return (*settings).*flag;
    }

private:
    // Why a record cannot be shown: there is no readable #SYSTEM, or this record is damaged.
    std::optional<InfoValue> Unread(std::uint16_t code) const
    {
        if (m_facts.systemState == InternalFileState::Missing) return InfoAbsent{};
        if (!m_facts.system) return InfoDamaged{};
        const auto& damaged = m_facts.system->damaged;
        if (std::any_of(damaged.begin(), damaged.end(), [&](const SystemDamage& d) { return d.code == code; }))
            return InfoDamaged{};
        return std::nullopt;
    }

    const HelpFileFacts& m_facts;
    const NamesStream& m_namesStream;
};

InfoValue Bytes(std::uint64_t value) { return InfoNumber{value, L" 字节"}; }
InfoValue Count(std::uint64_t value) { return InfoNumber{value, L" 个"}; }

InfoValue TextValue(const WindowText& text, const TextEncoding& encoding)
{
    if (text.damaged) return InfoDamaged{};
    if (!text.text) return InfoAbsent{};
    return encoding.Decode(*text.text);
}

InfoValue NameValue(const WindowText& text, const TextEncoding& encoding, const NamesStream& namesStream)
{
    if (text.damaged) return InfoDamaged{};
    if (!text.text) return InfoAbsent{};
    return encoding.DecodeName(*text.text, namesStream);
}

// What a language fact is when the table has no entry for the file's LCID, or there is no LCID.
InfoValue NotInTable(const HelpFileFacts& facts)
{
    if (facts.Lcid()) return InfoUnknown{};
    return InfoAbsent{};
}

void AddLanguage(const HelpFileFacts& facts, std::vector<InfoFact>& out)
{
    const auto lcid = facts.Lcid();
    const auto language = facts.KnownLanguage();
    out.push_back({"lcid", L"语言 LCID", lcid ? InfoValue(InfoNumber{*lcid, L"", true}) : InfoValue(InfoAbsent{})});
    if (!language) {
        out.push_back({"languageTag", L"语言", NotInTable(facts)});
        out.push_back({"languageName", L"语言名称", NotInTable(facts)});
        out.push_back({"codePage", L"文本代码页", NotInTable(facts)});
        return;
    }
    out.push_back({"languageTag", L"语言", std::wstring(language->tag.begin(), language->tag.end())});
    out.push_back({"languageName", L"语言名称", std::wstring(language->name)});
    out.push_back({"codePage", L"文本代码页", InfoNumber{language->codePage}});
}

// Said only when the texts are not read in the code page their language declares.
void AddTextCodePage(const HelpFileFacts& facts, std::vector<InfoFact>& out)
{
    if (const auto used = facts.encoding.DifferingCodePage())
        out.push_back({"textCodePage", L"文本按代码页读取", InfoNumber{*used, *used == kUtf8CodePage ? L" (UTF-8)" : L""}});
}

void AddArchive(const HelpFileFacts& facts, std::vector<InfoFact>& out)
{
    const auto& archive = facts.archive;
    const InfoValue none = InfoAbsent{};
    const bool lzx = archive && archive->controlDataUsable;
    const InfoValue lzxMissing = archive && archive->hasCompressedSection ? InfoValue(InfoDamaged{}) : none;
    out.push_back({"itsfVersion", L"ITSF 版本", archive ? InfoValue(InfoNumber{archive->itsfVersion}) : none});
    out.push_back({"lzxWindowSize", L"LZX 窗口", lzx ? Bytes(archive->windowSize) : lzxMissing});
    out.push_back({"lzxResetInterval", L"LZX 重置间隔", lzx ? Bytes(archive->resetInterval) : lzxMissing});
    out.push_back({"compressedSize", L"压缩节大小",
                   archive && archive->hasCompressedSection ? Bytes(archive->compressedSize) : none});
    out.push_back({"uncompressedSize", L"压缩节解压后大小",
                   archive && archive->sectionReadable ? Bytes(archive->uncompressedSize) : lzxMissing});
}

void AddStreams(const HelpFileFacts& facts, std::vector<InfoFact>& out)
{
    const StreamCounts& streams = facts.streams;
    out.push_back({"listedStreams", L"列出的流", Count(streams.listedStreams)});
    out.push_back({"listedBytes", L"列出的流总大小", Bytes(streams.listedBytes)});
    out.push_back({"internalStreams", L"内部流", Count(streams.internalStreams)});
    out.push_back({"internalBytes", L"内部流总大小", Bytes(streams.internalBytes)});
    const auto ratio = facts.CompressionRatio();
    out.push_back({"compressionRatio", L"压缩率", ratio ? InfoValue(InfoRatio{*ratio}) : InfoValue(InfoAbsent{})});
}

const wchar_t* Describe(SystemFault fault)
{
    switch (fault) {
    case SystemFault::TruncatedHeader: return L"记录头不完整";
    case SystemFault::LengthPastEnd: return L"长度超出文件末尾, 其后的记录无法读取";
    case SystemFault::Unterminated: return L"文本没有结尾的 NUL";
    case SystemFault::TooShort: return L"记录短于其字段";
    case SystemFault::Repeated: return L"重复的记录, 只采用第一个";
    }
    return L"";
}

const char* Key(SystemFault fault)
{
    switch (fault) {
    case SystemFault::TruncatedHeader: return "truncatedHeader";
    case SystemFault::LengthPastEnd: return "lengthPastEnd";
    case SystemFault::Unterminated: return "unterminated";
    case SystemFault::TooShort: return "tooShort";
    case SystemFault::Repeated: return "repeated";
    }
    return "";
}

InfoDamage WindowsDamage(WindowsFault fault)
{
    switch (fault) {
    case WindowsFault::TooShort: return {"#WINDOWS", std::nullopt, std::nullopt, "tooShort", L"文件短于其头部"};
    case WindowsFault::EntryTooSmall:
        return {"#WINDOWS", std::nullopt, std::nullopt, "entryTooSmall", L"条目大小小于其字段, 未读取任何条目"};
    case WindowsFault::FewerEntriesThanCounted:
        return {"#WINDOWS", std::nullopt, std::nullopt, "fewerEntriesThanCounted", L"条目数超出文件, 只读取了其中完整的条目"};
    }
    return {};
}

void AddDamage(const HelpFileFacts& facts, InfoReport& report)
{
    if (facts.systemState == InternalFileState::Damaged && !facts.system)
        report.damage.push_back({"#SYSTEM", std::nullopt, std::nullopt, "tooShort", L"文件短于其版本号"});
    if (facts.system)
        for (const SystemDamage& damage : facts.system->damaged)
            report.damage.push_back({"#SYSTEM", damage.offset, damage.code, Key(damage.fault), Describe(damage.fault)});
    if (facts.windows)
        for (const WindowsFault fault : facts.windows->damaged) report.damage.push_back(WindowsDamage(fault));
    const auto& archive = facts.archive;
    if (!archive || !archive->hasCompressedSection) return;
    if (!archive->controlDataUsable)
        report.damage.push_back({"ControlData", std::nullopt, std::nullopt, "controlDataUnusable",
                                 L"压缩节的控制数据缺失或不可用"});
    else if (!archive->sectionReadable)
        report.damage.push_back({"ResetTable", std::nullopt, std::nullopt, "compressedSectionUnusable",
                                 L"压缩节的复位表缺失或不可用, 或压缩数据超出文件末尾"});
}

void AddWindows(const HelpFileFacts& facts, const NamesStream& namesStream, InfoReport& report)
{
    if (!facts.windows) return;
    const TextEncoding& encoding = facts.encoding;
    for (const WindowType& window : facts.windows->windows) {
        report.windows.push_back({TextValue(window.name, encoding), TextValue(window.caption, encoding),
                                  NameValue(window.contentsFile, encoding, namesStream),
                                  NameValue(window.indexFile, encoding, namesStream),
                                  NameValue(window.defaultFile, encoding, namesStream),
                                  NameValue(window.homeFile, encoding, namesStream)});
        for (const auto* text : {&window.name, &window.caption, &window.contentsFile, &window.indexFile,
                                 &window.defaultFile, &window.homeFile, &window.jump1Text, &window.jump1Url,
                                 &window.jump2Text, &window.jump2Url})
            if (text->damaged)
                report.damage.push_back({"#WINDOWS", text->offset, std::nullopt, "stringOffsetPastStrings",
                                         L"文本偏移不在 #STRINGS 之内"});
    }
}

} // namespace

InfoReport DescribeFacts(const HelpFileFacts& facts, const NamesStream& namesStream)
{
    InfoReport report;
    const SystemFacts system(facts, namesStream);
    const SystemFile empty;
    const SystemFile& file = facts.system ? *facts.system : empty;
    auto& out = report.facts;
    out.push_back({"title", L"标题", system.Text(kTitleCode, file.title)});
    out.push_back({"defaultTopic", L"默认主题", system.Name(kDefaultTopicCode, file.defaultTopic)});
    out.push_back({"defaultWindow", L"默认窗口", system.Text(kDefaultWindowCode, file.defaultWindow)});
    out.push_back({"contentsFile", L"目录文件", system.Name(kContentsFileCode, file.contentsFile)});
    out.push_back({"indexFile", L"索引文件", system.Name(kIndexFileCode, file.indexFile)});
    out.push_back({"compiledFile", L"编译文件名", system.Text(kCompiledFileCode, file.compiledFile)});
    out.push_back({"defaultFont", L"默认字体", system.Text(kDefaultFontCode, file.defaultFont)});
    out.push_back({"compilerVersion", L"编译器版本", system.Text(kCompilerVersionCode, file.compilerVersion)});
    AddLanguage(facts, out);
    AddTextCodePage(facts, out);
    out.push_back({"fullTextSearch", L"全文搜索", system.Setting(&SystemSettings::fullTextSearch)});
    out.push_back({"keywordLinks", L"关键字链接 (KLinks)", system.Setting(&SystemSettings::keywordLinks)});
    out.push_back({"associativeLinks", L"关联链接 (ALinks)", system.Setting(&SystemSettings::associativeLinks)});
    out.push_back({"dbcs", L"双字节字符集 (DBCS)", system.Setting(&SystemSettings::dbcs)});
    out.push_back({"binaryContents", L"二进制目录", system.Present(kBinaryContentsCode, file.binaryContents.has_value())});
    out.push_back({"binaryIndex", L"二进制索引", system.Present(kBinaryIndexCode, file.binaryIndex.has_value())});
    AddArchive(facts, out);
    AddStreams(facts, out);
    AddWindows(facts, namesStream, report);
    for (const SystemRecord& record : file.otherRecords) report.otherRecords.push_back({record.code, record.length});
    AddDamage(facts, report);
    return report;
}

namespace {

// After the zone's number: its name in the security settings.
const wchar_t* ZoneUnit(int zone)
{
    switch (zone) {
    case 0: return L" (本地计算机)";
    case 1: return L" (本地 Intranet)";
    case 2: return L" (受信任的站点)";
    case 3: return L" (Internet)";
    case 4: return L" (受限制的站点)";
    default: return L"";
    }
}

} // namespace

void AddZoneMark(std::string_view mark, InfoReport& report)
{
    report.facts.push_back({"zoneMarked", L"下载标记", !mark.empty()});
    InfoValue zone = InfoAbsent{};
    if (!mark.empty()) {
        const std::optional<int> id = ZoneOfMark(mark);
        zone = id ? InfoValue(InfoNumber{static_cast<std::uint64_t>(*id), ZoneUnit(*id)}) : InfoValue(InfoUnknown{});
    }
    report.facts.push_back({"zoneId", L"标记的区域", zone});
}
