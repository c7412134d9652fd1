#include "talvik/xml/TextCodec.h"

#include "CharsetTable.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace talvik::xml {
namespace {

constexpr char16_t kReplacement = u'?';

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five unassigned bytes map to
// the C1 controls of the same value, as Windows itself does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Every byte's character, and whether Windows-1252 leaves it unassigned, as tables: a whole
// file is decoded without a test per byte.
constexpr auto kCp1252 = [] {
    std::array<char16_t, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        table[byte] = byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : char16_t(byte);
    }
    return table;
}();

constexpr auto kCp1252Unassigned = [] {
    std::array<unsigned char, 256> table{};
    for (std::size_t byte = 0x80; byte < 0xA0; ++byte) {
        table[byte] = kCp1252High[byte - 0x80] == byte ? 1 : 0;
    }
    return table;
}();

char16_t cp1252Char(unsigned char byte) {
    return kCp1252[byte];
}

void appendCodePoint(std::u16string& out, char32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

std::size_t claimedLength(unsigned char lead) {
    if (lead >= 0xC0 && lead < 0xE0) {
        return 2;
    }
    if (lead >= 0xE0 && lead < 0xF0) {
        return 3;
    }
    if (lead >= 0xF0 && lead < 0xF8) {
        return 4;
    }
    return 1;
}

// Length of the well-formed UTF-8 sequence at i (0 if malformed): no overlong forms, no
// surrogates, nothing above U+10FFFF.
std::size_t validSequence(std::string_view bytes, std::size_t i, char32_t& cp) {
    auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    std::size_t length = claimedLength(lead);
    if (length == 1 || i + length > bytes.size()) {
        return 0;
    }
    cp = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        auto next = static_cast<unsigned char>(bytes[i + k]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
        return 0;
    }
    return length;
}

std::size_t malformedLength(std::string_view bytes, std::size_t i) {
    std::size_t length = 1;
    std::size_t claimed = claimedLength(static_cast<unsigned char>(bytes[i]));
    while (length < claimed && i + length < bytes.size() &&
           (static_cast<unsigned char>(bytes[i + length]) & 0xC0) == 0x80) {
        ++length;
    }
    return length;
}

// Copies the ASCII bytes at the start of bytes into out, eight at a time where it can;
// returns how many it copied.
std::size_t copyAscii(std::string_view bytes, char16_t* out) {
    std::size_t i = 0;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= bytes.size()) {
        __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i));
        if (_mm_movemask_epi8(block) != 0) {
            break;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(block, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(block, zero));
        i += 16;
    }
#endif
    constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
    while (i + 8 <= bytes.size()) {
        std::uint64_t block = 0;
        std::memcpy(&block, bytes.data() + i, 8);
        if (block & kHighBits) {
            break;
        }
        for (std::size_t k = 0; k < 8; ++k) {
            out[i + k] = static_cast<unsigned char>(bytes[i + k]);
        }
        i += 8;
    }
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) {
        out[i] = static_cast<unsigned char>(bytes[i]);
        ++i;
    }
    return i;
}

// The reverse for writing: copies the leading ASCII units of text into out as bytes and
// returns how many it copied.
std::size_t narrowAscii(std::u16string_view text, char* out) {
    std::size_t i = 0;
#ifdef __SSE2__
    const __m128i nonAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= text.size()) {
        __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i + 8));
        __m128i any = _mm_and_si128(_mm_or_si128(low, high), nonAscii);
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(any, zero)) != 0xFFFF) {
            break;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(low, high));
        i += 16;
    }
#endif
    while (i < text.size() && text[i] < 0x80) {
        out[i] = static_cast<char>(text[i]);
        ++i;
    }
    return i;
}

void appendUtf8Lenient(std::u16string& out, std::string_view bytes, bool cp1252Fallback,
                       std::size_t& replaced) {
    // Decoded through a small buffer, so the result is written once and never zero-filled
    // first; no sequence yields more UTF-16 units than it has bytes.
    out.reserve(out.size() + bytes.size());
    constexpr std::size_t kBuffer = 4096;
    char16_t buffer[kBuffer + 2];
    std::size_t used = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (used + 2 > kBuffer) {
            out.append(buffer, used);
            used = 0;
        }
        std::size_t ascii = copyAscii(bytes.substr(i, kBuffer - used), buffer + used);
        used += ascii;
        i += ascii;
        if (i == bytes.size() || static_cast<unsigned char>(bytes[i]) < 0x80) {
            continue;
        }
        char32_t cp = 0;
        if (std::size_t length = validSequence(bytes, i, cp)) {
            if (cp >= 0x10000) {
                buffer[used++] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
                buffer[used++] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
            } else {
                buffer[used++] = static_cast<char16_t>(cp);
            }
            i += length;
        } else if (cp1252Fallback) {
            buffer[used++] = cp1252Char(static_cast<unsigned char>(bytes[i]));
            ++i;
        } else {
            buffer[used++] = kReplacement;
            ++replaced;
            i += malformedLength(bytes, i);
        }
    }
    out.append(buffer, used);
}

std::u16string decodeUtf8Lenient(std::string_view bytes, bool cp1252Fallback,
                                 std::size_t& replaced) {
    std::u16string out;
    appendUtf8Lenient(out, bytes, cp1252Fallback, replaced);
    return out;
}

std::u16string decodeUtf32(std::string_view bytes, bool bigEndian, std::size_t& replaced) {
    std::u16string out;
    out.reserve(bytes.size() / 4);
    for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        char32_t cp = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            auto byte = static_cast<unsigned char>(bytes[i + (bigEndian ? k : 3 - k)]);
            cp = (cp << 8) | byte;
        }
        bool valid = cp <= 0x10FFFF && !(cp >= 0xD800 && cp < 0xE000);
        replaced += valid ? 0 : 1;
        appendCodePoint(out, valid ? cp : char32_t(kReplacement));
    }
    return out;
}

// Calls fn(codePoint) for each character; lone surrogates arrive as 0xFFFFFFFF.
template <typename Fn> void forEachCodePoint(std::u16string_view text, Fn fn) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            fn(0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            fn(char32_t(0xFFFFFFFF));
        } else {
            fn(char32_t(c));
        }
    }
}

void appendUtf8(std::string& out, std::u16string_view text, std::size_t& lost);

std::string encodeUtf32(std::u16string_view text, bool bigEndian, std::size_t& lost) {
    std::string out;
    out.reserve(text.size() * 4);
    forEachCodePoint(text, [&](char32_t cp) {
        if (cp == 0xFFFFFFFF) {
            ++lost;
            cp = kReplacement;
        }
        for (std::size_t k = 0; k < 4; ++k) {
            unsigned shift = bigEndian ? 24 - 8 * k : 8 * k;
            out.push_back(static_cast<char>((cp >> shift) & 0xFF));
        }
    });
    return out;
}

class CIconv {
public:
    CIconv(const char* to, const char* from) : m_handle(iconv_open(to, from)) {}
    ~CIconv() {
        if (valid()) {
            iconv_close(m_handle);
        }
    }
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;
    bool valid() const { return m_handle != reinterpret_cast<iconv_t>(-1); }

    // Converts all of input; each unconvertible unit of skip bytes becomes replacement.
    std::string run(std::string_view input, std::size_t skip, std::string_view replacement,
                    std::size_t& failures) {
        std::string out(input.size() * 2 + 16, '\0');
        std::size_t used = 0;
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        while (true) {
            char* outPtr = out.data() + used;
            std::size_t outLeft = out.size() - used;
            std::size_t rc = iconv(m_handle, inLeft ? &in : nullptr, &inLeft, &outPtr, &outLeft);
            used = out.size() - outLeft;
            if (rc != static_cast<std::size_t>(-1)) {
                if (inLeft == 0) {
                    break;
                }
                continue;
            }
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ or EINVAL (truncated input at the end): replace and move on.
            ++failures;
            out.replace(used, 0, replacement);
            out.resize(std::max(out.size(), used + replacement.size() + 16));
            used += replacement.size();
            std::size_t step = std::min(skip, inLeft);
            in += step;
            inLeft -= step;
            if (inLeft == 0) {
                break;
            }
        }
        out.resize(used);
        return out;
    }

private:
    iconv_t m_handle;
};

std::string utf16LeBytes(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

std::u16string fromUtf16LeBytes(std::string_view bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(text.data(), bytes.data(), text.size() * 2);
    } else {
        for (std::size_t i = 0; i < text.size(); ++i) {
            text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                            (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
        }
    }
    return text;
}

bool isUtf8Like(const std::string& charset) {
    return charset == "UTF-8" || charset == "ANSI_X3.4-1968" || charset.empty();
}

// iconv name for a code page, with 0 standing for the ANSI code page. An empty result
// means "UTF-8 with Windows-1252 for the bytes that are not UTF-8".
std::string charsetFor(int codePage) {
    if (codePage == kCodePageUtf8) {
        return "UTF-8";
    }
    if (codePage != 0) {
        if (const char* name = iconvNameOfCodePage(codePage)) {
            return name;
        }
    }
    std::string ansi = ansiCharsetName();
    return isUtf8Like(ansi) ? std::string() : ansi;
}

} // namespace

bool passesUtf8Test(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead == 0) {
            return true;
        }
        if (lead < 0x80) {
            continue;
        }
        if (lead >= 0xF8) {
            return false;
        }
        std::size_t following = lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        for (std::size_t k = 1; k <= following; ++k) {
            if (i + k >= bytes.size() || !(static_cast<unsigned char>(bytes[i + k]) & 0x80)) {
                return false;
            }
        }
        i += following;
    }
    return true;
}

std::u16string decodeUtf8(std::string_view bytes) {
    std::size_t replaced = 0;
    return decodeUtf8Lenient(bytes, false, replaced);
}

void appendDecodedUtf8(std::u16string& out, std::string_view bytes) {
    std::size_t replaced = 0;
    appendUtf8Lenient(out, bytes, false, replaced);
}

void appendDecodedUtf8(std::u16string& out, std::string_view bytes, std::size_t& unreadable) {
    appendUtf8Lenient(out, bytes, false, unreadable);
}

std::string encodeUtf8(std::u16string_view text, std::size_t& lost) {
    // ASCII, the usual text, is narrowed in blocks up to the first other unit.
    std::string out(text.size(), '\0');
    std::size_t ascii = narrowAscii(text, out.data());
    if (ascii == text.size()) {
        return out;
    }
    out.resize(ascii);
    // No slack for short texts: they then fit the string itself, without an allocation (a
    // profile converts over a hundred thousand item texts).
    out.reserve(text.size() + text.size() / 8);
    std::size_t i = ascii;
    while (i < text.size()) {
        std::size_t run = i;
        while (run < text.size() && text[run] < 0x80) {
            ++run;
        }
        std::size_t at = out.size();
        out.resize(at + (run - i));
        std::copy(text.begin() + static_cast<std::ptrdiff_t>(i),
                  text.begin() + static_cast<std::ptrdiff_t>(run),
                  out.begin() + static_cast<std::ptrdiff_t>(at));
        i = run;
        std::size_t other = i;
        while (other < text.size() && text[other] >= 0x80) {
            ++other;
        }
        // A surrogate pair split across the run boundary stays together: runs of non-ASCII
        // units are converted whole.
        appendUtf8(out, text.substr(i, other - i), lost);
        i = other;
    }
    return out;
}

namespace {

void appendUtf8(std::string& out, std::u16string_view text, std::size_t& lost) {
    forEachCodePoint(text, [&](char32_t cp) {
        if (cp == 0xFFFFFFFF) {
            ++lost;
            cp = kReplacement;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    });
}

} // namespace

std::u16string fromUtf8(std::string_view utf8) {
    return decodeUtf8(utf8);
}

std::string toUtf8(std::u16string_view text) {
    std::size_t lost = 0;
    return encodeUtf8(text, lost);
}

std::u16string decodeCodePage(int codePage, std::string_view bytes) {
    std::size_t unreadable = 0;
    return decodeCodePage(codePage, bytes, unreadable);
}

std::u16string decodeCodePage(int codePage, std::string_view bytes, std::size_t& unreadable) {
    switch (codePage) {
    case kCodePageUtf16Le:
        return fromUtf16LeBytes(bytes);
    case kCodePageUtf32Le:
    case kCodePageUtf32Be:
        return decodeUtf32(bytes, codePage == kCodePageUtf32Be, unreadable);
    case kCodePageUtf8:
        return decodeUtf8Lenient(bytes, false, unreadable);
    default:
        break;
    }
    std::string charset = charsetFor(codePage);
    if (charset.empty()) {
        return decodeUtf8Lenient(bytes, true, unreadable);
    }
    CIconv converter("UTF-16LE", charset.c_str());
    if (!converter.valid()) {
        return decodeUtf8Lenient(bytes, true, unreadable);
    }
    return fromUtf16LeBytes(converter.run(bytes, 1, std::string_view("?\0", 2), unreadable));
}

std::u16string decodeWindows1252(std::string_view bytes, std::size_t& undefined) {
    std::u16string text(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = kCp1252[byte];
        undefined += kCp1252Unassigned[byte];
    }
    return text;
}

std::string encodeCodePage(int codePage, std::u16string_view text, std::size_t& lost) {
    switch (codePage) {
    case kCodePageUtf16Le:
        return utf16LeBytes(text);
    case kCodePageUtf32Le:
    case kCodePageUtf32Be:
        return encodeUtf32(text, codePage == kCodePageUtf32Be, lost);
    case kCodePageUtf8:
        return encodeUtf8(text, lost);
    default:
        break;
    }
    std::string charset = charsetFor(codePage);
    CIconv converter(charset.empty() ? "UTF-8" : charset.c_str(), "UTF-16LE");
    if (!converter.valid()) {
        return encodeUtf8(text, lost);
    }
    return converter.run(utf16LeBytes(text), 2, "?", lost);
}

bool ansiCodePageIsUtf8() {
    return isUtf8Like(ansiCharsetName());
}

std::string ansiCharsetName() {
    locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) {
        return "UTF-8";
    }
    std::string name = nl_langinfo_l(CODESET, locale);
    freelocale(locale);
    return name;
}

} // namespace talvik::xml
