// "#WINDOWS": the window types of the project's [WINDOWS] section, each stored as the viewer's
// window-type structure with its texts replaced by offsets into "#STRINGS".
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarnwick::helpfile {

struct WindowRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// A text of the entry: absent when its offset is 0; damaged when the offset is not inside
// "#STRINGS" or its text runs off the end.
struct WindowText {
    std::uint32_t offset = 0;
    std::optional<std::string> text;
    bool damaged = false;
};

struct WindowType {
    WindowText name;
    WindowText caption;
    WindowText contentsFile;
    WindowText indexFile;
    WindowText defaultFile;
    WindowText homeFile;
    WindowText jump1Text;
    WindowText jump1Url;
    WindowText jump2Text;
    WindowText jump2Url;
    std::uint32_t validMembers = 0;     // which of the fields below the author set
    std::uint32_t properties = 0;       // navigation pane style
    std::uint32_t styles = 0;
    std::uint32_t extendedStyles = 0;
    WindowRect position;
    std::uint32_t showState = 0;
    std::int32_t navigationWidth = 0;
    std::uint32_t buttons = 0;
    bool navigationClosed = false;
    std::uint32_t defaultTab = 0;
    std::uint32_t tabPosition = 0;
    std::uint32_t notifyId = 0;
};

enum class WindowsFault {
    TooShort,           // not even the header's count and entry size
    EntryTooSmall,      // the entry size is below the fields read; no entry is read
    FewerEntriesThanCounted, // the count promises entries past the end; those that fit are read
};

struct WindowsFile {
    std::uint32_t count = 0;     // as the header says
    std::uint32_t entrySize = 0;
    std::vector<WindowType> windows;
    std::vector<WindowsFault> damaged;
};

// Every entry that lies wholly inside `windows`, its texts looked up in `strings`.
WindowsFile ParseWindowsFile(std::span<const std::uint8_t> windows, std::span<const std::uint8_t> strings);

inline constexpr std::size_t kWindowsFileLimit = 1u << 20;
inline constexpr std::size_t kStringsFileLimit = 16u << 20;

} // namespace tarnwick::helpfile
