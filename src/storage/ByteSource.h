// Random read-only access to the bytes of an opened help file.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tarnwick::storage {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Fills `out` from `offset`; false when the range reaches past the end or the read fails.
    virtual bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const = 0;
};

// Opens a file for reading while denying writers, as the component's open mode asks.
std::unique_ptr<ByteSource> OpenFileSource(const wchar_t* path);

// Serves bytes already in memory (fuzzing, tests).
std::unique_ptr<ByteSource> MakeMemorySource(std::vector<std::uint8_t> bytes);

} // namespace tarnwick::storage
