// Files written through it pass as they are, except those of the entries it is told to rewrite:
// their bytes are gathered until the file closes and handed to a RewritePool, which writes what
// the rewrite gives back instead. Placed under the unpack's writer thread, so that pages are
// rewritten while the next streams are decoded.
#pragma once

#include "engine/FileSystem.h"
#include "export/RewritePool.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CRewritingFileSystem final : public IFileSystem {
public:
    // `rewritten` maps the paths unpacking writes, relative to `folder` ("a/b.htm", "/"-separated
    // UTF-8, viewing text that outlives this), to the entries whose files are rewritten, the
    // entries being the pool's items. A rewritten file's Close only hands it over: whether it was
    // written, Finish tells.
    CRewritingFileSystem(IFileSystem& target, const std::wstring& folder,
                         std::unordered_map<std::string_view, std::size_t> rewritten, tarnwick::exporting::RewritePool& pool);

    bool DirectoryExists(const std::wstring& path) override { return m_target.DirectoryExists(path); }
    bool FileExists(const std::wstring& path) override { return m_target.FileExists(path); }
    void MakeDirectory(const std::wstring& path) override { m_target.MakeDirectory(path); }
    std::unique_ptr<IOutputFile> CreateAlways(const std::wstring& path, FileError& error) override;
    void RemoveFile(const std::wstring& path) override { m_target.RemoveFile(path); }
    void ForgetFolders() override { m_target.ForgetFolders(); }

    // Once the unpack has ended: waits until every rewritten file is written, removes those that
    // could not be (the file system is the writer thread's until then) and gives their entries.
    std::vector<std::size_t> Finish();

private:
    IFileSystem& m_target;
    std::wstring m_folder;
    std::unordered_map<std::string_view, std::size_t> m_rewritten;
    tarnwick::exporting::RewritePool& m_pool;
};
