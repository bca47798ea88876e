#include "CodePageEncoder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

#include <vector>

namespace tarnwick::project {

namespace {

bool IsAscii(std::u16string_view text)
{
    for (const char16_t unit : text)
        if (unit >= 0x80) return false;
    return true;
}

#ifdef _WIN32

std::optional<std::string> Encode(std::u16string_view text, std::uint32_t codePage)
{
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
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

#else

class Converter {
public:
    explicit Converter(std::uint32_t codePage)
    {
        const std::string name = codePage == 65001 ? "UTF-8" : "CP" + std::to_string(codePage);
        m_handle = iconv_open(name.c_str(), "UTF-16LE");
    }
    ~Converter()
    {
        if (Valid()) iconv_close(m_handle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Valid() const { return m_handle != reinterpret_cast<iconv_t>(-1); }

    std::optional<std::string> Convert(std::u16string_view text)
    {
        std::vector<char> in;
        for (const char16_t unit : text) {
            in.push_back(static_cast<char>(unit & 0xFF));
            in.push_back(static_cast<char>(unit >> 8));
        }
        // A character of any code page takes at most four bytes.
        std::string out(text.size() * 4, '\0');
        char* inAt = in.data();
        std::size_t inLeft = in.size();
        char* outAt = out.data();
        std::size_t outLeft = out.size();
        if (iconv(m_handle, &inAt, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
            return std::nullopt;
        out.resize(out.size() - outLeft);
        return out;
    }

private:
    iconv_t m_handle;
};

std::optional<std::string> Encode(std::u16string_view text, std::uint32_t codePage)
{
    Converter converter(codePage);
    if (!converter.Valid()) return std::nullopt;
    return converter.Convert(text);
}

#endif

} // namespace

std::optional<std::string> TextInCodePage(std::u16string_view text, std::uint32_t codePage)
{
    // Every ANSI code page a help file can be written in keeps ASCII as it is.
    if (IsAscii(text)) return std::string(text.begin(), text.end());
    if (codePage == 0) return std::nullopt;
    return Encode(text, codePage);
}

std::u16string Utf16FromWide(std::wstring_view text)
{
    std::u16string units;
    for (const wchar_t c : text) {
        const auto code = static_cast<std::uint32_t>(c);
        if (code > 0xFFFF) {
            units.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(code));
        }
    }
    return units;
}

} // namespace tarnwick::project
