// "#SYSTEM": what the help compiler kept of the project's [OPTIONS] and of itself, as a list of
// records (code, length, data). Texts stay in the help file's code page, as the compiler wrote them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarnwick::helpfile {

// The codes of the records read into fields of SystemFile.
enum SystemCode : std::uint16_t {
    kContentsFileCode = 0,
    kIndexFileCode = 1,
    kDefaultTopicCode = 2,
    kTitleCode = 3,
    kSettingsCode = 4,
    kDefaultWindowCode = 5,
    kCompiledFileCode = 6,
    kBinaryIndexCode = 7,
    kCompilerVersionCode = 9,
    kTimestampCode = 10,
    kBinaryContentsCode = 11,
    kInformationTypeCountCode = 12,
    kDefaultFontCode = 16,
};

// Record 4: the language and the switches of the project file.
struct SystemSettings {
    std::uint32_t lcid = 0;
    bool dbcs = false;
    bool fullTextSearch = false;
    bool keywordLinks = false;     // KLinks
    bool associativeLinks = false; // ALinks
    std::optional<std::uint64_t> compiledAt; // FILETIME; older compilers wrote a shorter record without it
};

enum class SystemFault {
    TruncatedHeader, // fewer than four bytes left for a record's code and length
    LengthPastEnd,   // the record claims more bytes than the file has; nothing after it is read
    Unterminated,    // a text record without its NUL
    TooShort,        // a number or structure record shorter than its fields
    Repeated,        // a second record of a code already read; the first one is kept
};

struct SystemDamage {
    std::size_t offset = 0;             // where the record starts
    std::optional<std::uint16_t> code;  // none when not even the code could be read
    SystemFault fault = SystemFault::TruncatedHeader;
};

// A record kept as it was, not interpreted: codes this reader does not know, and those whose
// contents are only carried along (information types, the copy of #IDXHDR, custom tabs).
struct SystemRecord {
    std::uint16_t code = 0;
    std::uint16_t length = 0;
    std::size_t offset = 0; // of the data, inside the file
};

struct SystemFile {
    std::uint32_t version = 0;
    std::optional<std::string> contentsFile;          // 0
    std::optional<std::string> indexFile;             // 1
    std::optional<std::string> defaultTopic;          // 2
    std::optional<std::string> title;                 // 3
    std::optional<SystemSettings> settings;           // 4
    std::optional<std::string> defaultWindow;         // 5
    std::optional<std::string> compiledFile;          // 6
    std::optional<std::uint32_t> binaryIndex;         // 7: present when the index was compiled in binary form
    std::optional<std::string> compilerVersion;       // 9
    std::optional<std::uint32_t> timestamp;           // 10
    std::optional<std::uint32_t> binaryContents;      // 11: present when the contents were compiled in binary form
    std::optional<std::uint32_t> informationTypeCount; // 12
    std::optional<std::string> defaultFont;           // 16
    std::vector<SystemRecord> otherRecords;
    std::vector<SystemDamage> damaged;
};

// Nothing when the file is too short for its version number; otherwise every record that could be
// read, with the damaged ones listed instead of used.
std::optional<SystemFile> ParseSystemFile(std::span<const std::uint8_t> bytes);

// The size past which "#SYSTEM" is not read at all: real ones hold a few kilobytes.
inline constexpr std::size_t kSystemFileLimit = 1u << 20;

} // namespace tarnwick::helpfile
