// The Windows shell's type names and small system icons, by extension alone.
#pragma once

#include "engine/FileTypes.h"

#include <windows.h>

class CShellFileTypes final : public IFileTypes {
public:
    std::wstring GetTypeName(std::wstring_view name) override;
    int GetSmallIconIndex(std::wstring_view name) override;
};

// The shell's type name for `name` without touching the disk.
BOOL GetTypeName(const std::wstring& name, std::wstring& typeName);
