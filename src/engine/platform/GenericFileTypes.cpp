#include "engine/platform/GenericFileTypes.h"

std::wstring CGenericFileTypes::GetTypeName(std::wstring_view name)
{
    std::wstring extension = ExtensionKey(name);
    if (extension.empty()) return L"文件";
    for (wchar_t& c : extension)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return extension + L" 文件";
}
