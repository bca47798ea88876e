// Writes the project of an unpacked help file beside its files: NAME.hhp, and the contents and
// index files where the help file keeps them only in binary form.
#pragma once

#include "engine/FileSystem.h"
#include "helpfile/EntryTable.h"
#include "project/RecoveryReport.h"
#include "storage/ITStorage.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::project {

// The code pages the help compiler of a system reads a project in. chmcmd, the compiler on Linux,
// opens the files a project names by those very bytes, the system's UTF-8 names, and decodes the
// keywords of an index as UTF-8; the Microsoft compiler reads the project in the ANSI code page
// and takes an index's keywords in the code page the index was made for.
struct CompilerCodePages {
    unsigned fileNames = 0;
    bool utf8Keywords = false;
};

CompilerCodePages ThisSystemsCompiler();

struct ProjectRequest {
    IStorage* root = nullptr;
    const helpfile::EntryTable* listed = nullptr; // every listed stream, as unpacked
    std::wstring destination;
    std::wstring name; // NAME of NAME.hhp
    IFileSystem* fileSystem = &PlatformFileSystem();
    std::optional<unsigned> chosenCodePage; // the user's, for the help file's texts
    CompilerCodePages compiler = ThisSystemsCompiler();
};

// False when the project file could not be written. What could not be recovered is added to
// `report` either way; writing the report file is the caller's, once its own losses are in.
bool WriteProject(const ProjectRequest& request, RecoveryReport& report);

// Writes `bytes` to `relativePath` ("/"-separated) under `destination`, making its folders.
bool WriteDestinationFile(IFileSystem& fileSystem, const std::wstring& destination, const std::wstring& relativePath,
                          std::string_view bytes);

// The same for a file made in pieces: `write` hands each to its sink as it is made, so that a
// file of megabytes never lies whole in memory. A piece that cannot be written fails the file.
using PieceSink = std::function<void(std::string_view piece)>;
bool WriteDestinationFile(IFileSystem& fileSystem, const std::wstring& destination, const std::wstring& relativePath,
                          const std::function<void(const PieceSink&)>& write);

} // namespace tarnwick::project
