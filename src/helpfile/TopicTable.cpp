#include "helpfile/TopicTable.h"

#include "base/LittleEndian.h"
#include "helpfile/StringsFile.h"

namespace tarnwick::helpfile {

namespace {

constexpr std::uint32_t kTopicEntrySize = 16;
constexpr std::uint32_t kNoText = 0xFFFFFFFF;
// "#URLSTR" entries: the offset of an outside link, the offset of a frame name, then the file's name.
constexpr std::uint32_t kUrlStringNameAt = 8;

std::string TextOrEmpty(std::span<const std::uint8_t> texts, std::uint64_t offset)
{
    const auto text = StringAt(texts, offset);
    return text ? std::string(*text) : std::string();
}

} // namespace

std::optional<Topic> TopicAt(const TopicFiles& files, std::uint32_t index)
{
    const std::uint64_t entry = static_cast<std::uint64_t>(index) * kTopicEntrySize;
    const auto titleAt = Le32At(files.topics, entry + 4);
    const auto urlEntry = Le32At(files.topics, entry + 8);
    if (!titleAt || !urlEntry) return std::nullopt;
    const auto urlStringAt = Le32At(files.urlTable, std::uint64_t{*urlEntry} + 8);
    if (!urlStringAt) return std::nullopt;
    const auto outsideAt = Le32At(files.urlStrings, *urlStringAt);
    const auto local = StringAt(files.urlStrings, std::uint64_t{*urlStringAt} + kUrlStringNameAt);
    if (!outsideAt || !local) return std::nullopt;

    Topic topic;
    topic.local = std::string(*local);
    if (*titleAt != kNoText) topic.title = TextOrEmpty(files.strings, *titleAt);
    if (*outsideAt != 0) topic.url = TextOrEmpty(files.urlStrings, *outsideAt);
    return topic;
}

} // namespace tarnwick::helpfile
