// Type names where no shell answers (the command line on Linux): the way the
// Windows shell names a type it has no entry for.
#pragma once

#include "engine/FileTypes.h"

class CGenericFileTypes final : public IFileTypes {
public:
    std::wstring GetTypeName(std::wstring_view name) override;
    int GetSmallIconIndex(std::wstring_view) override { return 0; }
};
