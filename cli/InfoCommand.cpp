#include "cli/InfoCommand.h"

#include "base/Utf8.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/JsonWriter.h"
#include "cli/UnpackSteps.h"
#include "engine/ChmEngine.h"
#include "helpfile/FactsText.h"
#include "helpfile/InfoReport.h"

namespace {

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
    InfoReport report = DescribeHelpFile(engine.GetRoot(), codePage);
    AddZoneMark(engine.GetFileSystem().ReadZoneMark(file), report);
    if (json)
        PrintJson(file, report);
    else
        Print(ConsoleStream::Out, FactsText(report));
    return kExitOk;
}
