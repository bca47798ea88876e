// Writes the project of an unpacked help file beside its files: NAME.hhp, and the contents and
// index files where the help file keeps them only in binary form.
#pragma once

#include "FileSystem.h"
#include "ITStorage.h"
#include "RecoveryReport.h"

#include <string>
#include <vector>

namespace tarnwick::project {

struct ProjectRequest {
    IStorage* root = nullptr;
    std::vector<std::wstring> listedFiles; // every listed stream, "/"-separated, as unpacked
    std::wstring destination;
    std::wstring name; // NAME of NAME.hhp
    IFileSystem* fileSystem = &PlatformFileSystem();
};

// False when the project file could not be written. What could not be recovered is added to
// `report` either way; writing the report file is the caller's, once its own losses are in.
bool WriteProject(const ProjectRequest& request, RecoveryReport& report);

// Writes `bytes` to `relativePath` ("/"-separated) under `destination`, making its folders.
bool WriteDestinationFile(IFileSystem& fileSystem, const std::wstring& destination, const std::wstring& relativePath,
                          std::string_view bytes);

} // namespace tarnwick::project
