#include "helpfile/CodePageText.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace tarnwick::helpfile {

std::wstring WideFromCodePage(std::string_view text, unsigned codePage)
{
    if (text.empty()) return {};
    if (!IsValidCodePage(codePage)) codePage = 1252;
    // Texts of a help file are small (a record holds at most 64 KiB); longer input is cut rather
    // than overflowing the API's int.
    const int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX / 2));
    const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring out(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, out.data(), needed);
    return out;
}

std::optional<std::wstring> WideFromCodePageStrictly(std::string_view text, unsigned codePage)
{
    if (text.empty()) return std::wstring();
    if (!IsValidCodePage(codePage)) return std::nullopt;
    const int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX / 2));
    const int needed = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (needed <= 0) return std::nullopt;
    std::wstring out(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, out.data(), needed);
    return out;
}

bool IsKnownCodePage(unsigned codePage) { return IsValidCodePage(codePage) != 0; }

unsigned SystemCodePage() { return GetACP(); }

std::optional<std::string> CodePageFromUtf16(std::u16string_view text, unsigned codePage)
{
    if (text.empty()) return std::string();
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX / 4));
    BOOL usedDefault = FALSE;
    // UTF-7 and UTF-8 refuse the default-character arguments.
    BOOL* const usedDefaultArgument = codePage == CP_UTF8 || codePage == CP_UTF7 ? nullptr : &usedDefault;
    const DWORD flags = usedDefaultArgument ? WC_NO_BEST_FIT_CHARS : 0;
    const int size = WideCharToMultiByte(codePage, flags, wide, length, nullptr, 0, nullptr, usedDefaultArgument);
    if (size <= 0 || usedDefault) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, flags, wide, length, bytes.data(), size, nullptr, usedDefaultArgument);
    return bytes;
}

} // namespace tarnwick::helpfile
