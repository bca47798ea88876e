#include "cli/Arguments.h"

#include "helpfile/CodePageText.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

enum Option : unsigned { kJson = 1, kFlat = 2, kThreads = 4, kEncoding = 8, kFormat = 16 };

struct CommandShape {
    std::wstring_view name;
    std::size_t operands;
    unsigned options;
    bool moreOperands = false; // the first operand may be given more than once
};

constexpr std::array kCommands = {
    CommandShape{L"list", 1, kJson},
    CommandShape{L"info", 1, kJson | kEncoding},
    CommandShape{L"unpack", 2, kFlat | kThreads},
    CommandShape{L"test", 1, 0},
    CommandShape{L"project", 2, kEncoding},
    CommandShape{L"export", 2, kFormat | kEncoding | kJson | kThreads, true},
};

struct OptionName {
    std::wstring_view name;
    Option option;
    bool takesValue;
};

constexpr std::array kOptions = {
    OptionName{L"--json", kJson, false},
    OptionName{L"--flat", kFlat, false},
    OptionName{L"--threads", kThreads, true},
    OptionName{L"--encoding", kEncoding, true},
    OptionName{L"--format", kFormat, true},
};

// Each thread holds a decoder window of up to 2 MiB.
constexpr unsigned kMostThreads = 64;

bool IsDecimal(std::wstring_view text)
{
    return !text.empty() && text.size() <= 5 && text.find_first_not_of(L"0123456789") == std::wstring_view::npos;
}

std::optional<unsigned> ThreadCount(std::wstring_view text)
{
    if (!IsDecimal(text)) return std::nullopt;
    return std::clamp(static_cast<unsigned>(std::stoul(std::wstring(text))), 1u, kMostThreads);
}

std::wstring Lowered(std::wstring_view text)
{
    std::wstring lowered(text);
    for (wchar_t& c : lowered)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return lowered;
}

// A Windows code page number, "cp936", or "utf-8"; only one the system can convert.
std::optional<unsigned> CodePage(std::wstring_view text)
{
    std::wstring name = Lowered(text);
    if (name == L"utf-8" || name == L"utf8") name = L"65001";
    if (name.starts_with(L"cp")) name.erase(0, 2);
    if (!IsDecimal(name)) return std::nullopt;
    const auto codePage = static_cast<unsigned>(std::stoul(name));
    if (!tarnwick::helpfile::IsKnownCodePage(codePage)) return std::nullopt;
    return codePage;
}

const OptionName* FindOption(std::wstring_view name)
{
    const auto found = std::find_if(kOptions.begin(), kOptions.end(), [&](const OptionName& o) { return o.name == name; });
    return found == kOptions.end() ? nullptr : &*found;
}

std::optional<std::wstring> SetOption(CommandLine& line, Option option, std::wstring_view value)
{
    switch (option) {
    case kJson: line.json = true; break;
    case kFlat: line.flat = true; break;
    case kThreads:
        line.threads = ThreadCount(value);
        if (!line.threads) return L"--threads 的值应为正整数: " + std::wstring(value);
        break;
    case kFormat:
        if (value != L"site" && value != L"md" && value != L"txt") return L"--format 的值应为 site, md 或 txt: " + std::wstring(value);
        line.format = value;
        break;
    case kEncoding:
        line.codePage = CodePage(value);
        if (!line.codePage) return L"--encoding 的值不是本系统能转换的代码页: " + std::wstring(value);
        break;
    }
    return std::nullopt;
}

UsageError Mistake(std::wstring message) { return {std::move(message) + L" (用法见 tarnwick-cli --help)"}; }

} // namespace

std::variant<CommandLine, UsageError> ParseCommandLine(const std::vector<std::wstring>& arguments)
{
    CommandLine line;
    std::vector<std::wstring> words;
    unsigned given = 0;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != L'-') {
            words.push_back(argument);
            continue;
        }
        if (argument == L"--") {
            optionsEnded = true;
        } else if (argument == L"--help" || argument == L"-h" || argument == L"--version") {
            line.command = argument == L"-h" ? L"--help" : argument;
            return line;
        } else {
            const std::size_t equals = argument.find(L'=');
            const OptionName* option = FindOption(std::wstring_view(argument).substr(0, equals));
            if (!option) return Mistake(L"未知的选项 " + argument);
            if (!option->takesValue && equals != std::wstring::npos) return Mistake(L"选项 " + std::wstring(option->name) + L" 不带值");
            std::wstring value;
            if (option->takesValue && equals != std::wstring::npos) {
                value = argument.substr(equals + 1);
            } else if (option->takesValue) {
                if (i + 1 == arguments.size()) return Mistake(L"选项 " + argument + L" 缺少值");
                value = arguments[++i];
            }
            if (auto problem = SetOption(line, option->option, value)) return Mistake(std::move(*problem));
            given |= option->option;
        }
    }
    if (words.empty()) return Mistake(L"缺少命令");
    const auto shape = std::find_if(kCommands.begin(), kCommands.end(), [&](const CommandShape& c) { return c.name == words[0]; });
    if (shape == kCommands.end()) return Mistake(L"未知的命令 " + words[0]);
    line.command = words[0];
    line.operands.assign(words.begin() + 1, words.end());
    if (const unsigned foreign = given & ~shape->options) {
        const auto option = std::find_if(kOptions.begin(), kOptions.end(), [&](const OptionName& o) { return foreign & o.option; });
        return Mistake(L"命令 " + line.command + L" 不接受选项 " + std::wstring(option->name));
    }
    if (line.operands.size() < shape->operands) return Mistake(L"命令 " + line.command + L" 缺少参数");
    if (line.operands.size() > shape->operands && !shape->moreOperands) return Mistake(L"多余的参数 " + line.operands[shape->operands]);
    return line;
}
