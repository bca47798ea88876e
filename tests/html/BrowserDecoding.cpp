#include "BrowserDecoding.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <stdexcept>

namespace {

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

// Browsers read these labels with a wider decoder than their name says.
std::string IconvName(const std::string& label)
{
    if (label == "utf-8" || label == "utf8") return "UTF-8";
    if (label == "gb2312" || label == "gbk" || label == "x-gbk" || label == "chinese") return "GB18030";
    if (label.empty() || label == "iso-8859-1" || label == "latin1" || label == "us-ascii" || label == "ascii" ||
        label == "windows-1252") {
        return "CP1252";
    }
    if (label == "shift_jis") return "CP932";
    return label;
}

class Converter {
public:
    explicit Converter(const std::string& from) : handle_(iconv_open("UTF-8", from.c_str()))
    {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) handle_ = iconv_open("UTF-8", "CP1252");
        if (handle_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv has no CP1252");
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Bytes the encoding does not define become U+FFFD.
    std::string Convert(std::string_view bytes)
    {
        std::string out;
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        while (inLeft > 0) {
            char buffer[4096];
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t done = iconv(handle_, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, outPtr - buffer);
            if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
                out += "\xEF\xBF\xBD";
                ++in;
                --inLeft;
            }
        }
        return out;
    }

private:
    iconv_t handle_;
};

} // namespace

std::string DeclaredCharset(std::string_view page)
{
    const std::string head = Lower(page.substr(0, 1024));
    for (std::size_t meta = head.find("<meta"); meta != std::string::npos; meta = head.find("<meta", meta + 1)) {
        const std::size_t end = std::min(head.find('>', meta), head.size());
        const std::size_t charset = head.find("charset", meta);
        if (charset >= end) continue;
        std::size_t at = head.find_first_not_of(" \t\r\n=\"'", charset + 7);
        const std::size_t stop = std::min(head.find_first_of(" \t\r\n;\"'>/", at), end);
        if (at < stop) return head.substr(at, stop - at);
    }
    return {};
}

std::string PageAsUtf8(std::string_view page)
{
    if (page.starts_with("\xEF\xBB\xBF")) return Converter("UTF-8").Convert(page.substr(3));
    if (page.starts_with("\xFF\xFE")) return Converter("UTF-16LE").Convert(page.substr(2));
    if (page.starts_with("\xFE\xFF")) return Converter("UTF-16BE").Convert(page.substr(2));
    return Converter(IconvName(DeclaredCharset(page))).Convert(page);
}
