// The shell's answers about a name, which depend on its extension alone.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

class IFileTypes {
public:
    virtual ~IFileTypes() = default;
    virtual std::wstring GetTypeName(std::wstring_view name) = 0;
    virtual int GetSmallIconIndex(std::wstring_view name) = 0;
};

// The extension by which the shell decides, folded to lower case: the text
// after the last dot, or empty.
std::wstring ExtensionKey(std::wstring_view name);

// The type name and icon of each extension, asked of the shell once: a help file has thousands of
// names and a handful of extensions.
class CFileTypeCache {
public:
    struct Type {
        std::wstring name;
        int icon = 0;
    };
    const Type& Of(IFileTypes& types, std::wstring_view name);
    void Clear()
    {
        m_known.clear();
        m_last = nullptr;
    }

private:
    std::unordered_map<std::wstring, Type> m_known;
    std::wstring m_key; // kept to spare an allocation per name
    // Names come folder by folder, where most share an extension as written: the last one is
    // tried first, before it is folded.
    std::wstring m_lastExtension;
    const Type* m_last = nullptr;
};
