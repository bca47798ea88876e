// Files written through it pass as they are, except those of the entries it is told to rewrite:
// their bytes are gathered until the file closes, handed to the rewrite, and what it gives back is
// written instead. Placed under the unpack's writer thread, it rewrites pages there while the next
// streams are decoded.
#pragma once

#include "engine/FileSystem.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CRewritingFileSystem final : public IFileSystem {
public:
    using Rewrite = std::function<std::string(std::size_t entry, std::string&& bytes)>;
    // `rewritten` maps the paths unpacking writes, relative to `folder` ("a/b.htm", "/"-separated
    // UTF-8), to the entries whose files are rewritten.
    CRewritingFileSystem(IFileSystem& target, const std::wstring& folder,
                         std::unordered_map<std::string, std::size_t> rewritten, Rewrite rewrite);

    bool DirectoryExists(const std::wstring& path) override { return m_target.DirectoryExists(path); }
    void MakeDirectory(const std::wstring& path) override { m_target.MakeDirectory(path); }
    std::unique_ptr<IOutputFile> CreateAlways(const std::wstring& path, FileError& error) override;
    void RemoveFile(const std::wstring& path) override { m_target.RemoveFile(path); }
    void ForgetFolders() override { m_target.ForgetFolders(); }

private:
    IFileSystem& m_target;
    std::wstring m_folder;
    std::unordered_map<std::string, std::size_t> m_rewritten;
    Rewrite m_rewrite;
};
