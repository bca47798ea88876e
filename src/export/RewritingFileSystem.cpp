#include "export/RewritingFileSystem.h"

#include "base/Utf8.h"

#include <algorithm>

using tarnwick::exporting::RewritePool;

namespace {

class RewrittenFile final : public IOutputFile {
public:
    RewrittenFile(std::unique_ptr<IOutputFile> target, std::size_t entry, std::wstring path, RewritePool& pool)
        : m_target(std::move(target)), m_entry(entry), m_path(std::move(path)), m_pool(pool)
    {
    }

    bool Write(std::span<const std::uint8_t> bytes, FileError&) override
    {
        m_bytes.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return true;
    }

    bool Close(FileError&) override
    {
        m_pool.Hand(m_entry, std::move(m_path), std::move(m_bytes), std::move(m_target));
        return true;
    }

private:
    std::unique_ptr<IOutputFile> m_target;
    std::size_t m_entry;
    std::wstring m_path;
    RewritePool& m_pool;
    std::string m_bytes;
};

} // namespace

CRewritingFileSystem::CRewritingFileSystem(IFileSystem& target, const std::wstring& folder,
                                           std::unordered_map<std::string_view, std::size_t> rewritten, RewritePool& pool)
    : m_target(target), m_folder(folder), m_rewritten(std::move(rewritten)), m_pool(pool)
{
}

std::vector<std::size_t> CRewritingFileSystem::Finish()
{
    std::vector<std::size_t> failed;
    for (const RewritePool::Failure& failure : m_pool.Finish()) {
        m_target.RemoveFile(failure.path);
        failed.push_back(failure.item);
    }
    return failed;
}

std::unique_ptr<IOutputFile> CRewritingFileSystem::CreateAlways(const std::wstring& path, FileError& error)
{
    std::unique_ptr<IOutputFile> file = m_target.CreateAlways(path, error);
    if (!file || path.size() <= m_folder.size() || path.compare(0, m_folder.size(), m_folder) != 0) return file;
    std::string relative = tarnwick::Utf8FromWide(std::wstring_view(path).substr(m_folder.size() + 1));
    std::replace(relative.begin(), relative.end(), '\\', '/');
    const auto found = m_rewritten.find(relative);
    if (found == m_rewritten.end()) return file;
    return std::make_unique<RewrittenFile>(std::move(file), found->second, path, m_pool);
}
