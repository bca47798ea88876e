#include "project/ProjectNames.h"

#include "base/Utf8.h"
#include "engine/SafeName.h"
#include "helpfile/FileReference.h"

#include <algorithm>

namespace tarnwick::project {
namespace {

std::wstring Folded(std::wstring_view path)
{
    std::wstring folded(path);
    for (wchar_t& c : folded)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return folded;
}

// Unpacking writes an unsafe name with %XX (SafeName.h); the project names the file as it was
// written, so that it never refers to anything outside the destination ("../x").
std::wstring AsUnpacked(std::wstring_view path)
{
    std::wstring unpacked;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = std::min(path.find(L'/', start), path.size());
        unpacked += SafeFileName(path.substr(start, slash - start));
        if (slash == path.size()) return unpacked;
        unpacked += L'/';
        start = slash + 1;
    }
}

} // namespace

ProjectNames::ProjectNames(const helpfile::EntryTable& entries, RecoveryReport& report)
{
    m_files.reserve(entries.Size());
    for (std::size_t i = 0; i < entries.Size(); ++i) {
        // "/"-separated, as the help file's texts name it; a backslash inside a name stays.
        std::wstring listed = entries.Folder(i);
        std::replace(listed.begin(), listed.end(), L'\\', L'/');
        listed += entries.Name(i);
        std::wstring unpacked = AsUnpacked(listed);
        if (unpacked != listed)
            report.Lost("文件 " + tarnwick::Utf8FromWide(listed) + " 展开时改名为 " + tarnwick::Utf8FromWide(unpacked) +
                        ", 项目中也用此名");
        m_byFoldedName.try_emplace(Folded(listed), m_files.size());
        m_files.push_back(std::move(unpacked));
    }
}

std::optional<std::wstring> ProjectNames::Find(std::wstring_view reference) const
{
    for (const helpfile::ReferencedPath& reading : helpfile::ReferencedPaths(reference)) {
        const auto found = m_byFoldedName.find(Folded(reading.path));
        if (found != m_byFoldedName.end()) return m_files[found->second] + reading.fragment;
    }
    return std::nullopt;
}

} // namespace tarnwick::project
