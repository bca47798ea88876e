// What `info` shows of a help file's facts: each one with its label for a person and its key for a
// script, and the state it was found in, so that text and JSON say the same things.
#pragma once

#include "helpfile/HelpFileFacts.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct InfoAbsent {};  // the file does not have it
struct InfoDamaged {}; // the file has it, but it could not be read
struct InfoUnknown {}; // the file has it, but it means nothing known (an LCID outside the table)
struct InfoNumber {
    std::uint64_t value = 0;
    const wchar_t* unit = L""; // after the number in the text form
    bool hex = false;          // in the text form
};
struct InfoRatio {
    double value = 0;
};
using InfoValue = std::variant<InfoAbsent, InfoDamaged, InfoUnknown, std::wstring, InfoNumber, bool, InfoRatio>;

// One handler per kind of value, for std::visit.
template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>; // clang before 17 deduces no aggregate

struct InfoFact {
    const char* key;
    const wchar_t* label;
    InfoValue value;
};

struct InfoWindow {
    InfoValue name, caption, contentsFile, indexFile, defaultFile, homeFile;
};

struct InfoRecord {
    std::uint16_t code = 0;
    std::uint16_t length = 0;
};

struct InfoDamage {
    const char* file;                   // "#SYSTEM", "#WINDOWS"
    std::optional<std::uint64_t> offset;
    std::optional<std::uint16_t> code;  // of a #SYSTEM record
    const char* fault;                  // for scripts: "lengthPastEnd"
    const wchar_t* description;         // for people
};

struct InfoReport {
    std::vector<InfoFact> facts;
    std::vector<InfoWindow> windows;
    std::vector<InfoRecord> otherRecords;
    std::vector<InfoDamage> damage;
};

// Whether a file name from the help file's texts names one of its streams: of the ways to read a
// name, the one that does is shown.
using NamesStream = std::function<bool(std::wstring_view)>;

InfoReport DescribeFacts(const tarnwick::helpfile::HelpFileFacts& facts, const NamesStream& namesStream);

// Whether the help file carries the mark Windows gives downloaded files (`mark`, the text of its
// zone mark; empty for none), and the zone it names: the reason the help viewer shows such a file's
// pages blank.
void AddZoneMark(std::string_view mark, InfoReport& report);
