// The fuzzer's bytes opened as a help file held in memory: the root storage, or null when the
// container's headers do not open.
#pragma once

#include "storage/ChmArchive.h"
#include "storage/ComRef.h"
#include "storage/ItsStorage.h"

#include <cstddef>
#include <cstdint>
#include <vector>

inline tarnwick::storage::ComRef<IStorage> OpenHelpFileBytes(const std::uint8_t* data, std::size_t size)
{
    using namespace tarnwick::storage;
    std::shared_ptr<ChmArchive> archive = ChmArchive::Open(MakeMemorySource(std::vector<std::uint8_t>(data, data + size)));
    if (!archive) return {};
    return ComRef<IStorage>(new ItsStorage(std::move(archive), DirectoryTree::kRoot));
}
