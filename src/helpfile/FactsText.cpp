#include "helpfile/FactsText.h"

#include "base/Utf8.h"
#include "helpfile/HelpFileFacts.h"
#include "helpfile/InternalFile.h"

#include <cstdio>

namespace {

// One fact per line: a line end inside a text (a hostile title) must not start a false one.
std::wstring OneLine(std::wstring text)
{
    for (wchar_t& c : text)
        if (c < 0x20) c = L' ';
    return text;
}

std::wstring Text(const InfoValue& value)
{
    return std::visit(Overloaded{
                          [](const InfoAbsent&) { return std::wstring(L"(无)"); },
                          [](const InfoDamaged&) { return std::wstring(L"(已损坏)"); },
                          [](const InfoUnknown&) { return std::wstring(L"(未知)"); },
                          [](const std::wstring& text) { return OneLine(text); },
                          [](const InfoNumber& number) {
                              wchar_t hex[24];
                              std::swprintf(hex, 24, L"0x%04llX", static_cast<unsigned long long>(number.value));
                              return (number.hex ? std::wstring(hex) : std::to_wstring(number.value)) + number.unit;
                          },
                          [](bool flag) { return std::wstring(flag ? L"是" : L"否"); },
                          [](const InfoRatio& ratio) {
                              wchar_t percent[32];
                              std::swprintf(percent, 32, L"%.1f%%", ratio.value * 100);
                              return std::wstring(percent);
                          },
                      },
                      value);
}

} // namespace

InfoReport DescribeHelpFile(IStorage* root, std::optional<unsigned> codePage)
{
    return DescribeFacts(tarnwick::helpfile::GatherFacts(root, codePage),
                         [root](std::wstring_view name) { return tarnwick::helpfile::NamesStream(root, name); });
}

std::wstring FactsText(const InfoReport& report)
{
    std::wstring out;
    for (const InfoFact& fact : report.facts) out += std::wstring(fact.label) + L": " + Text(fact.value) + L"\n";
    for (const InfoWindow& window : report.windows)
        out += L"窗口类型: " + Text(window.name) + L", 标题 " + Text(window.caption) + L", 目录 " +
               Text(window.contentsFile) + L", 索引 " + Text(window.indexFile) + L", 默认主题 " +
               Text(window.defaultFile) + L", 主页 " + Text(window.homeFile) + L"\n";
    for (const InfoRecord& record : report.otherRecords)
        out += L"其他 #SYSTEM 记录: 代码 " + std::to_wstring(record.code) + L", 长度 " + std::to_wstring(record.length) +
               L"\n";
    for (const InfoDamage& damage : report.damage) {
        out += L"损坏: " + tarnwick::WideFromUtf8(damage.file);
        if (damage.offset) out += L", 偏移 " + std::to_wstring(*damage.offset);
        if (damage.code) out += L", 代码 " + std::to_wstring(*damage.code);
        out += L": " + std::wstring(damage.description) + L"\n";
    }
    return out;
}
