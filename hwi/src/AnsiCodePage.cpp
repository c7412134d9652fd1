#include "AnsiCodePage.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <memory>
#include <vector>

namespace talvik::hwi {

namespace {

bool isUtf8(const std::string& charset) {
    std::string folded;
    for (char c : charset) {
        if (c != '-' && c != '_') {
            folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return folded == "utf8";
}

// Length of the valid UTF-8 sequence at the start of `bytes` and its code
// point; 0 when it is not valid (overlong, surrogate, beyond U+10FFFF, cut).
std::size_t utf8Sequence(std::span<const std::uint8_t> bytes, char32_t& point) {
    std::uint8_t lead = bytes[0];
    std::size_t length;
    char32_t minimum;
    if (lead < 0x80) {
        point = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, minimum = 0x80, point = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, minimum = 0x800, point = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, minimum = 0x10000, point = lead & 0x07;
    } else {
        return 0;
    }
    if (bytes.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((bytes[i] & 0xC0) != 0x80) {
            return 0;
        }
        point = (point << 6) | (bytes[i] & 0x3F);
    }
    bool surrogate = point >= 0xD800 && point <= 0xDFFF;
    return point < minimum || point > 0x10FFFF || surrogate ? 0 : length;
}

std::wstring decodeUtf8(std::span<const std::uint8_t> bytes) {
    std::wstring text;
    while (!bytes.empty()) {
        char32_t point = 0;
        std::size_t used = utf8Sequence(bytes, point);
        if (used == 0) {
            text += windows1252(bytes[0]);
            used = 1;
        } else {
            text += static_cast<wchar_t>(point);
        }
        bytes = bytes.subspan(used);
    }
    return text;
}

struct CIconvClose {
    void operator()(void* cd) const { ::iconv_close(static_cast<iconv_t>(cd)); }
};

std::wstring decodeWithIconv(iconv_t cd, std::span<const std::uint8_t> bytes) {
    std::wstring text;
    // Four characters a byte is more than any character set produces.
    std::vector<wchar_t> out(bytes.size() * 4 + 4);
    auto* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        auto* outAt = reinterpret_cast<char*>(out.data());
        std::size_t outLeft = out.size() * sizeof(wchar_t);
        std::size_t done = ::iconv(cd, &in, &inLeft, &outAt, &outLeft);
        text.append(out.data(), reinterpret_cast<wchar_t*>(outAt) - out.data());
        if (done == static_cast<std::size_t>(-1) && inLeft > 0) {
            if (errno == E2BIG) {
                continue;
            }
            // Not valid in this character set, or cut off at the end.
            text += windows1252(static_cast<std::uint8_t>(*in));
            ++in;
            --inLeft;
            ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return text;
}

} // namespace

std::string ansiCharset() {
    std::string charset = "ANSI_X3.4-1968";
    locale_t locale = ::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (locale != static_cast<locale_t>(nullptr)) {
        charset = ::nl_langinfo_l(CODESET, locale);
        ::freelocale(locale);
    }
    return charset;
}

std::wstring decodeAnsi(std::span<const std::uint8_t> bytes, const std::string& charset) {
    if (!isUtf8(charset)) {
        iconv_t cd = ::iconv_open("WCHAR_T", charset.c_str());
        if (cd != reinterpret_cast<iconv_t>(-1)) {
            std::unique_ptr<void, CIconvClose> owner(cd);
            return decodeWithIconv(cd, bytes);
        }
    }
    return decodeUtf8(bytes);
}

wchar_t windows1252(std::uint8_t byte) {
    // 0x80..0x9F differ from Latin-1; the five unassigned bytes keep their
    // own value, as Windows itself maps them.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (byte >= 0x80 && byte <= 0x9F) {
        return static_cast<wchar_t>(kHigh[byte - 0x80]);
    }
    return static_cast<wchar_t>(byte);
}

} // namespace talvik::hwi
