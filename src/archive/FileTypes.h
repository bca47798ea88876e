// The shell's answers about a name, which depend on its extension alone.
#pragma once

#include <string>
#include <string_view>

class IFileTypes {
public:
    virtual ~IFileTypes() = default;
    virtual std::wstring GetTypeName(std::wstring_view name) = 0;
    virtual int GetSmallIconIndex(std::wstring_view name) = 0;
};

// The extension by which the shell decides, folded to lower case: the text
// after the last dot, or empty.
std::wstring ExtensionKey(std::wstring_view name);
