#include "helpfile/SystemFile.h"

#include "base/LittleEndian.h"

#include <algorithm>
#include <set>

namespace tarnwick::helpfile {

using tarnwick::ReadLe16;
using tarnwick::ReadLe32;
using tarnwick::ReadLe64;

namespace {

constexpr std::size_t kRecordHeaderSize = 4;
constexpr std::size_t kSettingsWithoutTime = 20; // LCID and the four switches
constexpr std::size_t kSettingsWithTime = 28;

struct Record {
    std::uint16_t code;
    std::size_t offset; // of the record's header
    std::span<const std::uint8_t> data;
};

class Reader {
public:
    explicit Reader(SystemFile& file) : m_file(file) {}

    void Take(const Record& record)
    {
        if (!m_seen.insert(record.code).second) return Damage(record, SystemFault::Repeated);
        switch (record.code) {
        case kContentsFileCode: return Text(record, m_file.contentsFile);
        case kIndexFileCode: return Text(record, m_file.indexFile);
        case kDefaultTopicCode: return Text(record, m_file.defaultTopic);
        case kTitleCode: return Text(record, m_file.title);
        case kSettingsCode: return Settings(record);
        case kDefaultWindowCode: return Text(record, m_file.defaultWindow);
        case kCompiledFileCode: return Text(record, m_file.compiledFile);
        case kBinaryIndexCode: return Number(record, m_file.binaryIndex);
        case kCompilerVersionCode: return Text(record, m_file.compilerVersion);
        case kTimestampCode: return Number(record, m_file.timestamp);
        case kBinaryContentsCode: return Number(record, m_file.binaryContents);
        case kInformationTypeCountCode: return Number(record, m_file.informationTypeCount);
        case kDefaultFontCode: return Text(record, m_file.defaultFont);
        default:
            m_file.otherRecords.push_back({record.code, static_cast<std::uint16_t>(record.data.size()),
                                           record.offset + kRecordHeaderSize});
        }
    }

    void Damage(const Record& record, SystemFault fault) { m_file.damaged.push_back({record.offset, record.code, fault}); }

private:
    void Text(const Record& record, std::optional<std::string>& field)
    {
        const auto end = std::find(record.data.begin(), record.data.end(), std::uint8_t{0});
        if (end == record.data.end()) return Damage(record, SystemFault::Unterminated);
        field.emplace(record.data.begin(), end);
    }

    void Number(const Record& record, std::optional<std::uint32_t>& field)
    {
        if (record.data.size() < 4) return Damage(record, SystemFault::TooShort);
        field = ReadLe32(record.data, 0);
    }

    void Settings(const Record& record)
    {
        const auto data = record.data;
        if (data.size() < kSettingsWithoutTime) return Damage(record, SystemFault::TooShort);
        SystemSettings settings;
        settings.lcid = ReadLe32(data, 0);
        settings.dbcs = ReadLe32(data, 4) != 0;
        settings.fullTextSearch = ReadLe32(data, 8) != 0;
        settings.keywordLinks = ReadLe32(data, 12) != 0;
        settings.associativeLinks = ReadLe32(data, 16) != 0;
        if (data.size() >= kSettingsWithTime) settings.compiledAt = ReadLe64(data, kSettingsWithoutTime);
        m_file.settings = settings;
    }

    SystemFile& m_file;
    std::set<std::uint16_t> m_seen;
};

} // namespace

std::optional<SystemFile> ParseSystemFile(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 4) return std::nullopt;
    SystemFile file;
    file.version = ReadLe32(bytes, 0);
    Reader reader(file);
    std::size_t at = 4;
    while (at < bytes.size()) {
        if (bytes.size() - at < kRecordHeaderSize) {
            file.damaged.push_back({at, std::nullopt, SystemFault::TruncatedHeader});
            break;
        }
        const std::uint16_t code = ReadLe16(bytes, at);
        const std::size_t length = ReadLe16(bytes, at + 2);
        const std::size_t dataStart = at + kRecordHeaderSize;
        if (length > bytes.size() - dataStart) {
            reader.Damage({code, at, {}}, SystemFault::LengthPastEnd);
            break;
        }
        reader.Take({code, at, bytes.subspan(dataStart, length)});
        at = dataStart + length;
    }
    return file;
}

} // namespace tarnwick::helpfile
