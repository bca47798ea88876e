#include "project/WindowsSection.h"

#include "base/Utf8.h"

#include <cstdio>

namespace tarnwick::project {

namespace {

// The members a window type marks as set (the viewer's HHWIN_PARAM_ flags).
constexpr std::uint32_t kSetProperties = 0x2;
constexpr std::uint32_t kSetStyles = 0x4;
constexpr std::uint32_t kSetExtendedStyles = 0x8;
constexpr std::uint32_t kSetRect = 0x10;
constexpr std::uint32_t kSetNavigationWidth = 0x20;
constexpr std::uint32_t kSetShowState = 0x40;
constexpr std::uint32_t kSetButtons = 0x100;
constexpr std::uint32_t kSetExpansion = 0x200;
constexpr std::uint32_t kSetTabPosition = 0x400;
constexpr std::uint32_t kSetCurrentTab = 0x2000;

std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(value));
    return text;
}

std::string Set(bool isSet, const std::string& value) { return isSet ? value : std::string(); }

class WindowLineWriter {
public:
    WindowLineWriter(const NameWriter& writtenName, const helpfile::TextEncoding& encoding, RecoveryReport& report)
        : m_writtenName(writtenName), m_encoding(encoding), m_report(report)
    {
    }

    std::string Line(const helpfile::WindowType& w)
    {
        m_window = w.name.text.value_or("");
        const std::uint32_t set = w.validMembers;
        std::string line = m_window + "=" + Quoted(w.caption, "标题") + "," + QuotedName(w.contentsFile, "目录文件") + "," +
                           QuotedName(w.indexFile, "索引文件") + "," + QuotedName(w.defaultFile, "默认文件") + "," +
                           QuotedName(w.homeFile, "主页") + "," + Quoted(w.jump1Url, "Jump1 URL") + "," +
                           Quoted(w.jump1Text, "Jump1 文本") + "," + Quoted(w.jump2Url, "Jump2 URL") + "," +
                           Quoted(w.jump2Text, "Jump2 文本") + ",";
        const helpfile::WindowRect& r = w.position;
        line += Set(set & kSetProperties, Hex(w.properties)) + ",";
        line += Set(set & kSetNavigationWidth, std::to_string(w.navigationWidth)) + ",";
        line += Set(set & kSetButtons, Hex(w.buttons)) + ",";
        line += Set(set & kSetRect, "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                                        std::to_string(r.right) + "," + std::to_string(r.bottom) + "]") + ",";
        line += Set(set & kSetStyles, Hex(w.styles)) + ",";
        line += Set(set & kSetExtendedStyles, Hex(w.extendedStyles)) + ",";
        line += Set(set & kSetShowState, std::to_string(w.showState)) + ",";
        line += Set(set & kSetExpansion, w.navigationClosed ? "1" : "0") + ",";
        line += Set(set & kSetCurrentTab, std::to_string(w.defaultTab)) + ",";
        line += Set(set & kSetTabPosition, std::to_string(w.tabPosition)) + ",";
        line += std::to_string(w.notifyId);
        return line;
    }

private:
    std::string Text(const helpfile::WindowText& text, const char* field)
    {
        if (text.damaged)
            m_report.Lost("[WINDOWS] " + tarnwick::Utf8FromWide(m_encoding.Decode(m_window)) + ": " + field +
                          " 的文本不在 #STRINGS 中");
        return text.text.value_or("");
    }

    std::string Quoted(const helpfile::WindowText& text, const char* field) { return "\"" + Text(text, field) + "\""; }

    std::string QuotedName(const helpfile::WindowText& text, const char* field)
    {
        const std::string reference = Text(text, field);
        return "\"" + (reference.empty() ? reference : m_writtenName(reference)) + "\"";
    }

    const NameWriter& m_writtenName;
    const helpfile::TextEncoding& m_encoding;
    RecoveryReport& m_report;
    std::string m_window;
};

} // namespace

std::vector<std::string> WindowsSection(const helpfile::WindowsFile& windows, const NameWriter& writtenName,
                                        const helpfile::TextEncoding& encoding, RecoveryReport& report)
{
    for (const helpfile::WindowsFault fault : windows.damaged) {
        switch (fault) {
        case helpfile::WindowsFault::TooShort: report.Lost("[WINDOWS]: #WINDOWS 太短, 没有窗口类型"); break;
        case helpfile::WindowsFault::EntryTooSmall: report.Lost("[WINDOWS]: #WINDOWS 的条目长度过小, 未读"); break;
        case helpfile::WindowsFault::FewerEntriesThanCounted:
            report.Lost("[WINDOWS]: #WINDOWS 记有 " + std::to_string(windows.count) + " 个窗口类型, 只有 " +
                        std::to_string(windows.windows.size()) + " 个完整");
            break;
        }
    }
    std::vector<std::string> lines;
    WindowLineWriter writer(writtenName, encoding, report);
    for (const helpfile::WindowType& window : windows.windows) {
        if (!window.name.text || window.name.text->empty()) {
            report.Lost("[WINDOWS]: 一个窗口类型没有名称, 未写入");
            continue;
        }
        lines.push_back(writer.Line(window));
    }
    return lines;
}

} // namespace tarnwick::project
