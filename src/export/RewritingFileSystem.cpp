#include "export/RewritingFileSystem.h"

#include "base/Utf8.h"

#include <algorithm>

namespace {

class RewrittenFile final : public IOutputFile {
public:
    RewrittenFile(std::unique_ptr<IOutputFile> target, std::size_t entry, const CRewritingFileSystem::Rewrite& rewrite)
        : m_target(std::move(target)), m_entry(entry), m_rewrite(rewrite)
    {
    }

    bool Write(std::span<const std::uint8_t> bytes, FileError&) override
    {
        m_bytes.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return true;
    }

    bool Close(FileError& error) override
    {
        const std::string rewritten = m_rewrite(m_entry, std::move(m_bytes));
        const auto* data = reinterpret_cast<const std::uint8_t*>(rewritten.data());
        return m_target->Write({data, rewritten.size()}, error) && m_target->Close(error);
    }

private:
    std::unique_ptr<IOutputFile> m_target;
    std::size_t m_entry;
    const CRewritingFileSystem::Rewrite& m_rewrite;
    std::string m_bytes;
};

} // namespace

CRewritingFileSystem::CRewritingFileSystem(IFileSystem& target, const std::wstring& folder,
                                           std::unordered_map<std::string, std::size_t> rewritten, Rewrite rewrite)
    : m_target(target), m_folder(folder), m_rewritten(std::move(rewritten)), m_rewrite(std::move(rewrite))
{
}

std::unique_ptr<IOutputFile> CRewritingFileSystem::CreateAlways(const std::wstring& path, FileError& error)
{
    std::unique_ptr<IOutputFile> file = m_target.CreateAlways(path, error);
    if (!file || path.size() <= m_folder.size() || path.compare(0, m_folder.size(), m_folder) != 0) return file;
    std::string relative = tarnwick::Utf8FromWide(std::wstring_view(path).substr(m_folder.size() + 1));
    std::replace(relative.begin(), relative.end(), '\\', '/');
    const auto found = m_rewritten.find(relative);
    if (found == m_rewritten.end()) return file;
    return std::make_unique<RewrittenFile>(std::move(file), found->second, m_rewrite);
}
