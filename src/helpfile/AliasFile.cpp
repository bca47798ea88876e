#include "helpfile/AliasFile.h"

#include "base/LittleEndian.h"
#include "helpfile/StringsFile.h"

namespace tarnwick::helpfile {

namespace {

constexpr std::uint64_t kPairSize = 8;

} // namespace

AliasFile ReadAliasFile(std::span<const std::uint8_t> ivb, std::span<const std::uint8_t> strings)
{
    AliasFile file;
    const auto length = Le32At(ivb, 0);
    if (!length) {
        file.damage.push_back("#IVB: 太短, 读不出长度");
        return file;
    }
    std::uint64_t pairs = *length / kPairSize;
    if (*length > ivb.size() - 4) {
        file.damage.push_back("#IVB: 声明 " + std::to_string(*length) + " 字节, 实有 " + std::to_string(ivb.size() - 4) + " 字节");
        pairs = (ivb.size() - 4) / kPairSize;
    }
    for (std::uint64_t i = 0; i < pairs; ++i) {
        const std::uint32_t id = *Le32At(ivb, 4 + i * kPairSize);
        const std::uint32_t fileAt = *Le32At(ivb, 8 + i * kPairSize);
        const auto name = StringAt(strings, fileAt);
        if (!name) {
            file.damage.push_back("#IVB: 上下文编号 " + std::to_string(id) + " 的文件名不在 #STRINGS 中");
            continue;
        }
        file.aliases.push_back({id, std::string(*name)});
    }
    return file;
}

} // namespace tarnwick::helpfile
