// iconv (glibc) knows Windows' code pages by the names "CP936", "CP1252" and so on.
#include "helpfile/CodePageText.h"

#include "base/Utf8.h"

#include <cerrno>
#include <iconv.h>

namespace tarnwick::helpfile {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

std::string IconvName(unsigned codePage) { return codePage == kUtf8CodePage ? "UTF-8" : "CP" + std::to_string(codePage); }

class Iconv {
public:
    Iconv(const std::string& to, const std::string& from) : m_handle(iconv_open(to.c_str(), from.c_str())) {}
    ~Iconv()
    {
        if (Usable()) iconv_close(m_handle);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool Usable() const { return m_handle != reinterpret_cast<iconv_t>(-1); }
    iconv_t Handle() const { return m_handle; }

private:
    iconv_t m_handle;
};

std::string Utf8Replacing(const Iconv& converter, std::string_view text)
{
    std::string out;
    char buffer[1024];
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    while (inLeft > 0) {
        char* next = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t result = iconv(converter.Handle(), &in, &inLeft, &next, &room);
        out.append(buffer, static_cast<std::size_t>(next - buffer));
        if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        // Not text in this code page, or a character cut off at the end: one byte is skipped.
        out += kReplacementUtf8;
        ++in;
        --inLeft;
        iconv(converter.Handle(), nullptr, nullptr, nullptr, nullptr);
    }
    // A converter that combines characters (Vietnamese) may still hold the last one.
    char* next = buffer;
    std::size_t room = sizeof buffer;
    iconv(converter.Handle(), nullptr, nullptr, &next, &room);
    out.append(buffer, static_cast<std::size_t>(next - buffer));
    return out;
}

std::wstring WideFromLatin1(std::string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (const char c : text) out += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return out;
}

} // namespace

std::wstring WideFromCodePage(std::string_view text, unsigned codePage)
{
    const Iconv converter("UTF-8", IconvName(codePage));
    if (converter.Usable()) return tarnwick::WideFromUtf8(Utf8Replacing(converter, text));
    const Iconv fallback("UTF-8", IconvName(1252));
    if (fallback.Usable()) return tarnwick::WideFromUtf8(Utf8Replacing(fallback, text));
    return WideFromLatin1(text);
}

std::optional<std::wstring> WideFromCodePageStrictly(std::string_view text, unsigned codePage)
{
    const Iconv converter("UTF-8", IconvName(codePage));
    if (!converter.Usable()) return std::nullopt;
    std::string out;
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* next = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t result = iconv(converter.Handle(), &in, &inLeft, &next, &room);
        out.append(buffer, static_cast<std::size_t>(next - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) return std::nullopt;
    }
    return tarnwick::WideFromUtf8(out);
}

bool IsKnownCodePage(unsigned codePage)
{
    return Iconv("UTF-8", IconvName(codePage)).Usable() && Iconv(IconvName(codePage), "UTF-8").Usable();
}

unsigned SystemCodePage() { return kUtf8CodePage; }

std::optional<std::string> CodePageFromUtf16(std::u16string_view text, unsigned codePage)
{
    const Iconv converter(IconvName(codePage), "UTF-16LE");
    if (!converter.Usable()) return std::nullopt;
    std::string in;
    for (const char16_t unit : text) {
        in += static_cast<char>(unit & 0xFF);
        in += static_cast<char>(unit >> 8);
    }
    // A character of any code page takes at most four bytes.
    std::string out(text.size() * 4, '\0');
    char* inAt = in.data();
    std::size_t inLeft = in.size();
    char* outAt = out.data();
    std::size_t outLeft = out.size();
    if (iconv(converter.Handle(), &inAt, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace tarnwick::helpfile
