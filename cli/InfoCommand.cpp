#include "cli/InfoCommand.h"

#include "base/Utf8.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/InfoReport.h"
#include "cli/JsonWriter.h"
#include "cli/UnpackSteps.h"
#include "engine/ChmEngine.h"
#include "helpfile/InternalFile.h"

#include <cstdio>

namespace {

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };

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

void Json(CJsonWriter& json, const InfoValue& value)
{
    std::visit(Overloaded{
                   [&](const InfoAbsent&) { json.Null(); },
                   [&](const InfoDamaged&) { json.Null(); },
                   [&](const InfoUnknown&) { json.Null(); },
                   [&](const std::wstring& text) { json.String(text); },
                   [&](const InfoNumber& number) { json.Number(number.value); },
                   [&](bool flag) { json.Bool(flag); },
                   [&](const InfoRatio& ratio) { json.Number(ratio.value); },
               },
               value);
}

std::wstring Wide(const char* ascii) { return tarnwick::WideFromUtf8(ascii); }

void PrintText(const InfoReport& report)
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
        out += L"损坏: " + Wide(damage.file);
        if (damage.offset) out += L", 偏移 " + std::to_wstring(*damage.offset);
        if (damage.code) out += L", 代码 " + std::to_wstring(*damage.code);
        out += L": " + std::wstring(damage.description) + L"\n";
    }
    Print(ConsoleStream::Out, out);
}

void WriteWindow(CJsonWriter& json, const InfoWindow& window)
{
    json.BeginObject();
    const std::pair<const char*, const InfoValue*> fields[] = {
        {"name", &window.name},           {"caption", &window.caption},         {"contentsFile", &window.contentsFile},
        {"indexFile", &window.indexFile}, {"defaultFile", &window.defaultFile}, {"homeFile", &window.homeFile},
    };
    for (const auto& [key, value] : fields) {
        json.Key(key);
        Json(json, *value);
    }
    json.EndObject();
}

void WriteDamage(CJsonWriter& json, const InfoDamage& damage)
{
    json.BeginObject();
    json.Key("file");
    json.String(Wide(damage.file));
    json.Key("offset");
    damage.offset ? json.Number(*damage.offset) : json.Null();
    json.Key("code");
    damage.code ? json.Number(std::uint64_t{*damage.code}) : json.Null();
    json.Key("fault");
    json.String(Wide(damage.fault));
    json.EndObject();
}

void PrintJson(const std::wstring& file, const InfoReport& report)
{
    CJsonWriter json;
    json.BeginObject();
    json.Key("file");
    json.String(file);
    for (const InfoFact& fact : report.facts) {
        json.Key(fact.key);
        Json(json, fact.value);
    }
    json.Key("windows");
    json.BeginArray();
    for (const InfoWindow& window : report.windows) WriteWindow(json, window);
    json.EndArray();
    json.Key("otherRecords");
    json.BeginArray();
    for (const InfoRecord& record : report.otherRecords) {
        json.BeginObject();
        json.Key("code");
        json.Number(std::uint64_t{record.code});
        json.Key("length");
        json.Number(std::uint64_t{record.length});
        json.EndObject();
    }
    json.EndArray();
    json.Key("damaged");
    json.BeginArray();
    for (const InfoDamage& damage : report.damage) WriteDamage(json, damage);
    json.EndArray();
    json.EndObject();
    Print(ConsoleStream::Out, tarnwick::WideFromUtf8(json.Take()));
}

} // namespace

int Info(const std::wstring& file, bool json, std::optional<unsigned> codePage)
{
    CChmEngine engine(ReportError);
    if (!OpenHelpFile(engine, file)) return kExitCannotOpen;
    IStorage* root = engine.GetRoot();
    InfoReport report = DescribeFacts(tarnwick::helpfile::GatherFacts(root, codePage), [root](std::wstring_view name) {
        return tarnwick::helpfile::NamesStream(root, name);
    });
    AddZoneMark(engine.GetFileSystem().ReadZoneMark(file), report);
    if (json)
        PrintJson(file, report);
    else
        PrintText(report);
    return kExitOk;
}
