#include "helpfile/InternalFile.h"

#include "helpfile/FileReference.h"
#include "storage/ComRef.h"

#include <algorithm>
#include <string>

namespace tarnwick::helpfile {

using storage::ComRef;

namespace {

ComRef<IStream> OpenInternalStream(IStorage* root, std::wstring_view path)
{
    ComRef<IStorage> folder;
    IStorage* parent = root;
    std::size_t start = 0;
    for (std::size_t slash = path.find(L'/'); slash != std::wstring_view::npos; slash = path.find(L'/', start)) {
        const std::wstring level(path.substr(start, slash - start));
        ComRef<IStorage> child;
        if (FAILED(parent->OpenStorage(level.c_str(), nullptr, STGM_READ, nullptr, 0, child.Put())) || !child) return {};
        folder = std::move(child);
        parent = folder.Get();
        start = slash + 1;
    }
    const std::wstring name(path.substr(start));
    ComRef<IStream> stream;
    if (FAILED(parent->OpenStream(name.c_str(), nullptr, STGM_READ, 0, stream.Put()))) return {};
    return stream;
}

} // namespace

std::optional<std::vector<std::uint8_t>> ReadInternalFile(IStorage* root, std::wstring_view path, std::size_t limit)
{
    if (!root) return std::nullopt;
    const ComRef<IStream> stream = OpenInternalStream(root, path);
    if (!stream) return std::nullopt;
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.QuadPart > limit) return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stat.cbSize.QuadPart));
    ULONG got = 0;
    if (!bytes.empty() &&
        (FAILED(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got)) || got != bytes.size()))
        return std::nullopt;
    return bytes;
}

bool NamesStream(IStorage* root, std::wstring_view reference)
{
    if (!root) return false;
    const std::vector<ReferencedPath> readings = ReferencedPaths(reference);
    return std::any_of(readings.begin(), readings.end(),
                       [&](const ReferencedPath& reading) { return !reading.path.empty() && OpenInternalStream(root, reading.path); });
}

} // namespace tarnwick::helpfile
