#include "CodePageText.h"

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

} // namespace tarnwick::helpfile
