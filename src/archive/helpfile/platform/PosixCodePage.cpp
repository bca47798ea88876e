// iconv (glibc) knows Windows' code pages by the names "CP936", "CP1252" and so on.
#include "CodePageText.h"

#include "Utf8.h"

#include <cerrno>
#include <iconv.h>

namespace tarnwick::helpfile {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

class Converter {
public:
    explicit Converter(unsigned codePage)
        : m_handle(iconv_open("UTF-8", ("CP" + std::to_string(codePage)).c_str()))
    {
    }
    ~Converter()
    {
        if (Usable()) iconv_close(m_handle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Usable() const { return m_handle != reinterpret_cast<iconv_t>(-1); }

    std::string ToUtf8(std::string_view text)
    {
        std::string out;
        char buffer[1024];
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        while (inLeft > 0) {
            char* next = buffer;
            std::size_t room = sizeof buffer;
            const std::size_t result = iconv(m_handle, &in, &inLeft, &next, &room);
            out.append(buffer, static_cast<std::size_t>(next - buffer));
            if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
            // Not text in this code page, or a character cut off at the end: one byte is skipped.
            out += kReplacementUtf8;
            ++in;
            --inLeft;
            iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        }
        // A converter that combines characters (Vietnamese) may still hold the last one.
        char* next = buffer;
        std::size_t room = sizeof buffer;
        iconv(m_handle, nullptr, nullptr, &next, &room);
        out.append(buffer, static_cast<std::size_t>(next - buffer));
        return out;
    }

private:
    iconv_t m_handle;
};

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
    Converter converter(codePage);
    if (converter.Usable()) return storage::WideFromUtf8(converter.ToUtf8(text));
    Converter fallback(1252);
    if (fallback.Usable()) return storage::WideFromUtf8(fallback.ToUtf8(text));
    return WideFromLatin1(text);
}

} // namespace tarnwick::helpfile
