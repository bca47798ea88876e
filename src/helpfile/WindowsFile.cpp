#include "helpfile/WindowsFile.h"

#include "base/LittleEndian.h"
#include "helpfile/StringsFile.h"

#include <algorithm>

namespace tarnwick::helpfile {

using tarnwick::ReadLe32;

namespace {

constexpr std::size_t kHeaderSize = 8;

// Offsets inside an entry, as the viewer's window-type structure lays them out with 32-bit
// pointers. Entries of 188 and 196 bytes are both seen; the last field read ends at 0xAC.
enum EntryOffset : std::size_t {
    kName = 0x08,
    kValidMembers = 0x0C,
    kProperties = 0x10,
    kCaption = 0x14,
    kStyles = 0x18,
    kExtendedStyles = 0x1C,
    kPosition = 0x20,
    kShowState = 0x30,
    kNavigationWidth = 0x4C,
    kContentsFile = 0x60,
    kIndexFile = 0x64,
    kDefaultFile = 0x68,
    kHomeFile = 0x6C,
    kButtons = 0x70,
    kNavigationClosed = 0x74,
    kDefaultTab = 0x78,
    kTabPosition = 0x7C,
    kNotifyId = 0x80,
    kJump1Text = 0x9C,
    kJump2Text = 0xA0,
    kJump1Url = 0xA4,
    kJump2Url = 0xA8,
    kFieldsEnd = 0xAC,
};

std::int32_t ReadSigned(std::span<const std::uint8_t> entry, std::size_t at)
{
    return static_cast<std::int32_t>(ReadLe32(entry, at));
}

WindowText TextAt(std::span<const std::uint8_t> entry, std::size_t at, std::span<const std::uint8_t> strings)
{
    WindowText text;
    text.offset = ReadLe32(entry, at);
    if (text.offset == 0) return text;
    if (const auto found = StringAt(strings, text.offset))
        text.text.emplace(*found);
    else
        text.damaged = true;
    return text;
}

WindowType ReadEntry(std::span<const std::uint8_t> entry, std::span<const std::uint8_t> strings)
{
    WindowType window;
    window.name = TextAt(entry, kName, strings);
    window.caption = TextAt(entry, kCaption, strings);
    window.contentsFile = TextAt(entry, kContentsFile, strings);
    window.indexFile = TextAt(entry, kIndexFile, strings);
    window.defaultFile = TextAt(entry, kDefaultFile, strings);
    window.homeFile = TextAt(entry, kHomeFile, strings);
    window.jump1Text = TextAt(entry, kJump1Text, strings);
    window.jump1Url = TextAt(entry, kJump1Url, strings);
    window.jump2Text = TextAt(entry, kJump2Text, strings);
    window.jump2Url = TextAt(entry, kJump2Url, strings);
    window.validMembers = ReadLe32(entry, kValidMembers);
    window.properties = ReadLe32(entry, kProperties);
    window.styles = ReadLe32(entry, kStyles);
    window.extendedStyles = ReadLe32(entry, kExtendedStyles);
    window.position = {ReadSigned(entry, kPosition), ReadSigned(entry, kPosition + 4), ReadSigned(entry, kPosition + 8),
                       ReadSigned(entry, kPosition + 12)};
    window.showState = ReadLe32(entry, kShowState);
    window.navigationWidth = ReadSigned(entry, kNavigationWidth);
    window.buttons = ReadLe32(entry, kButtons);
    window.navigationClosed = ReadLe32(entry, kNavigationClosed) != 0;
    window.defaultTab = ReadLe32(entry, kDefaultTab);
    window.tabPosition = ReadLe32(entry, kTabPosition);
    window.notifyId = ReadLe32(entry, kNotifyId);
    return window;
}

} // namespace

WindowsFile ParseWindowsFile(std::span<const std::uint8_t> windows, std::span<const std::uint8_t> strings)
{
    WindowsFile file;
    if (windows.size() < kHeaderSize) {
        file.damaged.push_back(WindowsFault::TooShort);
        return file;
    }
    file.count = ReadLe32(windows, 0);
    file.entrySize = ReadLe32(windows, 4);
    if (file.count == 0) return file;
    if (file.entrySize < kFieldsEnd) {
        file.damaged.push_back(WindowsFault::EntryTooSmall);
        return file;
    }
    // The count decides nothing by itself: only entries that are there are read.
    const std::size_t fitting = (windows.size() - kHeaderSize) / file.entrySize;
    if (fitting < file.count) file.damaged.push_back(WindowsFault::FewerEntriesThanCounted);
    const std::size_t entries = std::min<std::size_t>(fitting, file.count);
    file.windows.reserve(entries);
    for (std::size_t i = 0; i < entries; ++i)
        file.windows.push_back(ReadEntry(windows.subspan(kHeaderSize + i * file.entrySize, file.entrySize), strings));
    return file;
}

} // namespace tarnwick::helpfile
