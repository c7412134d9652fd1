#include "XmlEntities.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>
#include <utility>

namespace talvik::xml {
namespace {

struct SEntity {
    std::string_view name;
    char16_t value;
};

// The named character references of HTML 4 (Latin-1, symbols and special characters) plus
// the XML "apos", sorted by name for binary search. Names are case-sensitive: "Aring" and
// "aring" are different letters.
constexpr auto kEntities = [] {
    std::array<SEntity, 253> table = {{
        {"AElig", 198},    {"Aacute", 193},  {"Acirc", 194},   {"Agrave", 192},  {"Alpha", 913},
        {"Aring", 197},    {"Atilde", 195},  {"Auml", 196},    {"Beta", 914},    {"Ccedil", 199},
        {"Chi", 935},      {"Dagger", 8225}, {"Delta", 916},   {"ETH", 208},     {"Eacute", 201},
        {"Ecirc", 202},    {"Egrave", 200},  {"Epsilon", 917}, {"Eta", 919},     {"Euml", 203},
        {"Gamma", 915},    {"Iacute", 205},  {"Icirc", 206},   {"Igrave", 204},  {"Iota", 921},
        {"Iuml", 207},     {"Kappa", 922},   {"Lambda", 923},  {"Mu", 924},      {"Ntilde", 209},
        {"Nu", 925},       {"OElig", 338},   {"Oacute", 211},  {"Ocirc", 212},   {"Ograve", 210},
        {"Omega", 937},    {"Omicron", 927}, {"Oslash", 216},  {"Otilde", 213},  {"Ouml", 214},
        {"Phi", 934},      {"Pi", 928},      {"Prime", 8243},  {"Psi", 936},     {"Rho", 929},
        {"Scaron", 352},   {"Sigma", 931},   {"THORN", 222},   {"Tau", 932},     {"Theta", 920},
        {"Uacute", 218},   {"Ucirc", 219},   {"Ugrave", 217},  {"Upsilon", 933}, {"Uuml", 220},
        {"Xi", 926},       {"Yacute", 221},  {"Yuml", 376},    {"Zeta", 918},    {"aacute", 225},
        {"acirc", 226},    {"acute", 180},   {"aelig", 230},   {"agrave", 224},  {"alefsym", 8501},
        {"alpha", 945},    {"amp", 38},      {"and", 8743},    {"ang", 8736},    {"apos", 39},
        {"aring", 229},    {"asymp", 8776},  {"atilde", 227},  {"auml", 228},    {"bdquo", 8222},
        {"beta", 946},     {"brvbar", 166},  {"bull", 8226},   {"cap", 8745},    {"ccedil", 231},
        {"cedil", 184},    {"cent", 162},    {"chi", 967},     {"circ", 710},    {"clubs", 9827},
        {"cong", 8773},    {"copy", 169},    {"crarr", 8629},  {"cup", 8746},    {"curren", 164},
        {"dArr", 8659},    {"dagger", 8224}, {"darr", 8595},   {"deg", 176},     {"delta", 948},
        {"diams", 9830},   {"divide", 247},  {"eacute", 233},  {"ecirc", 234},   {"egrave", 232},
        {"empty", 8709},   {"emsp", 8195},   {"ensp", 8194},   {"epsilon", 949}, {"equiv", 8801},
        {"eta", 951},      {"eth", 240},     {"euml", 235},    {"euro", 8364},   {"exist", 8707},
        {"fnof", 402},     {"forall", 8704}, {"frac12", 189},  {"frac14", 188},  {"frac34", 190},
        {"frasl", 8260},   {"gamma", 947},   {"ge", 8805},     {"gt", 62},       {"hArr", 8660},
        {"harr", 8596},    {"hearts", 9829}, {"hellip", 8230}, {"iacute", 237},  {"icirc", 238},
        {"iexcl", 161},    {"igrave", 236},  {"image", 8465},  {"infin", 8734},  {"int", 8747},
        {"iota", 953},     {"iquest", 191},  {"isin", 8712},   {"iuml", 239},    {"kappa", 954},
        {"lArr", 8656},    {"lambda", 955},  {"lang", 9001},   {"laquo", 171},   {"larr", 8592},
        {"lceil", 8968},   {"ldquo", 8220},  {"le", 8804},     {"lfloor", 8970}, {"lowast", 8727},
        {"loz", 9674},     {"lrm", 8206},    {"lsaquo", 8249}, {"lsquo", 8216},  {"lt", 60},
        {"macr", 175},     {"mdash", 8212},  {"micro", 181},   {"middot", 183},  {"minus", 8722},
        {"mu", 956},       {"nabla", 8711},  {"nbsp", 160},    {"ndash", 8211},  {"ne", 8800},
        {"ni", 8715},      {"not", 172},     {"notin", 8713},  {"nsub", 8836},   {"ntilde", 241},
        {"nu", 957},       {"oacute", 243},  {"ocirc", 244},   {"oelig", 339},   {"ograve", 242},
        {"oline", 8254},   {"omega", 969},   {"omicron", 959}, {"oplus", 8853},  {"or", 8744},
        {"ordf", 170},     {"ordm", 186},    {"oslash", 248},  {"otilde", 245},  {"otimes", 8855},
        {"ouml", 246},     {"para", 182},    {"part", 8706},   {"permil", 8240}, {"perp", 8869},
        {"phi", 966},      {"pi", 960},      {"piv", 982},     {"plusmn", 177},  {"pound", 163},
        {"prime", 8242},   {"prod", 8719},   {"prop", 8733},   {"psi", 968},     {"quot", 34},
        {"rArr", 8658},    {"radic", 8730},  {"rang", 9002},   {"raquo", 187},   {"rarr", 8594},
        {"rceil", 8969},   {"rdquo", 8221},  {"real", 8476},   {"reg", 174},     {"rfloor", 8971},
        {"rho", 961},      {"rlm", 8207},    {"rsaquo", 8250}, {"rsquo", 8217},  {"sbquo", 8218},
        {"scaron", 353},   {"sdot", 8901},   {"sect", 167},    {"shy", 173},     {"sigma", 963},
        {"sigmaf", 962},   {"sim", 8764},    {"spades", 9824}, {"sub", 8834},    {"sube", 8838},
        {"sum", 8721},     {"sup", 8835},    {"sup1", 185},    {"sup2", 178},    {"sup3", 179},
        {"supe", 8839},    {"szlig", 223},   {"tau", 964},     {"there4", 8756}, {"theta", 952},
        {"thetasym", 977}, {"thinsp", 8201}, {"thorn", 254},   {"tilde", 732},   {"times", 215},
        {"trade", 8482},   {"uArr", 8657},   {"uacute", 250},  {"uarr", 8593},   {"ucirc", 251},
        {"ugrave", 249},   {"uml", 168},     {"upsih", 978},   {"upsilon", 965}, {"uuml", 252},
        {"weierp", 8472},  {"xi", 958},      {"yacute", 253},  {"yen", 165},     {"yuml", 255},
        {"zeta", 950},     {"zwj", 8205},    {"zwnj", 8204},
    }};
    return table;
}();

static_assert(std::is_sorted(kEntities.begin(), kEntities.end(),
                             [](const SEntity& a, const SEntity& b) { return a.name < b.name; }));

} // namespace

std::size_t namedEntityCount() {
    return kEntities.size();
}

char16_t namedEntityValue(std::string_view name) {
    // The five markup characters come first: every escaped attribute value uses them, and
    // a large profile holds hundreds of thousands.
    static constexpr std::pair<std::string_view, char16_t> kMarkup[] = {
        {"lt", u'<'}, {"gt", u'>'}, {"amp", u'&'}, {"quot", u'"'}, {"apos", u'\''}};
    for (const auto& [markup, value] : kMarkup) {
        if (name == markup) {
            return value;
        }
    }
    auto it = std::lower_bound(kEntities.begin(), kEntities.end(), name,
                               [](const SEntity& e, std::string_view n) { return e.name < n; });
    return it != kEntities.end() && it->name == name ? it->value : char16_t(0);
}

} // namespace talvik::xml

namespace talvik::xml {
namespace {

constexpr std::size_t kMaxEntityName = 9;

int digitValue(char16_t c, bool hex) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (hex && c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (hex && c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

// Numeric reference starting at value[i] == '&' followed by '#': returns the length
// consumed, or 0 when it is not a usable reference.
std::size_t numericReference(std::u16string_view value, std::size_t i, char32_t& cp) {
    std::size_t k = i + 2;
    bool hex = k < value.size() && value[k] == u'x';
    if (hex) {
        ++k;
    }
    std::size_t firstDigit = k;
    cp = 0;
    while (k < value.size() && digitValue(value[k], hex) >= 0) {
        cp = cp * (hex ? 16 : 10) + static_cast<char32_t>(digitValue(value[k], hex));
        if (cp > 0x10FFFF) {
            return 0;
        }
        ++k;
    }
    if (k == firstDigit || k >= value.size() || value[k] != u';' || cp == 0 ||
        (cp >= 0xD800 && cp < 0xE000)) {
        return 0;
    }
    return k + 1 - i;
}

// The five markup references, which every escaped value uses, told by their characters.
std::size_t markupReference(std::u16string_view value, std::size_t i, char16_t& c) {
    struct SMarkup {
        std::u16string_view text; // the reference behind its "&"
        char16_t character;
    };
    static constexpr std::array<SMarkup, 5> kMarkup{
        {{u"lt;", u'<'}, {u"gt;", u'>'}, {u"amp;", u'&'}, {u"quot;", u'"'}, {u"apos;", u'\''}}};
    const std::u16string_view rest = value.substr(i + 1);
    for (const SMarkup& markup : kMarkup) {
        if (rest.starts_with(markup.text)) {
            c = markup.character;
            return markup.text.size() + 1;
        }
    }
    return 0;
}

std::size_t namedReference(std::u16string_view value, std::size_t i, char16_t& c) {
    if (std::size_t length = markupReference(value, i, c)) {
        return length;
    }
    std::array<char, kMaxEntityName + 1> name;
    std::size_t length = 0;
    std::size_t k = i + 1;
    while (k < value.size() && value[k] != u';' && length <= kMaxEntityName) {
        if (value[k] >= 0x80) {
            return 0;
        }
        name[length++] = static_cast<char>(value[k]);
        ++k;
    }
    if (k >= value.size() || value[k] != u';' || length == 0 || length > kMaxEntityName) {
        return 0;
    }
    c = namedEntityValue(std::string_view(name.data(), length));
    return c ? k + 1 - i : 0;
}

} // namespace

void appendEscapedAttribute(std::u16string& out, std::u16string_view value) {
    std::size_t done = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        std::u16string_view replacement;
        switch (value[i]) {
        case u'&':
            replacement = u"&amp;";
            break;
        case u'<':
            replacement = u"&lt;";
            break;
        case u'>':
            replacement = u"&gt;";
            break;
        case u'"':
            replacement = u"&quot;";
            break;
        case u'\'':
            replacement = u"&apos;";
            break;
        default:
            continue;
        }
        out.append(value.substr(done, i - done));
        out.append(replacement);
        done = i + 1;
    }
    out.append(value.substr(done));
}

char16_t* writeDecimal(char16_t* out, int value) {
    char digits[kMaxDecimalLength];
    char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::copy(digits, end, out);
}

void appendDecimal(std::u16string& out, int value) {
    char16_t digits[kMaxDecimalLength];
    out.append(digits, writeDecimal(digits, value));
}

std::u16string escapeAttribute(std::u16string_view value) {
    std::u16string out;
    out.reserve(value.size() + 8);
    appendEscapedAttribute(out, value);
    return out;
}

std::u16string unescapeText(std::u16string_view value) {
    std::u16string out;
    appendUnescaped(out, value);
    return out;
}

void appendUnescaped(std::u16string& out, std::u16string_view value) {
    std::size_t amp = value.find(u'&');
    if (amp == std::u16string_view::npos) {
        out.append(value);
        return;
    }
    // No reference is shorter than what it stands for, so the value's length is room
    // enough; the units are written in place instead of appended piece by piece.
    const std::size_t base = out.size();
    out.resize(base + value.size());
    char16_t* const begin = out.data() + base;
    char16_t* at =
        std::copy(value.begin(), value.begin() + static_cast<std::ptrdiff_t>(amp), begin);
    std::size_t i = amp;
    while (i < value.size()) {
        const char16_t c = value[i];
        if (c != u'&') {
            *at++ = c;
            ++i;
            continue;
        }
        char32_t cp = 0;
        std::size_t length = 0;
        if (i + 1 < value.size() && value[i + 1] == u'#') {
            length = numericReference(value, i, cp);
        } else {
            char16_t named = 0;
            length = namedReference(value, i, named);
            cp = named;
        }
        if (length == 0) {
            *at++ = u'&';
            ++i;
        } else if (cp >= 0x10000) {
            *at++ = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            *at++ = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
            i += length;
        } else {
            *at++ = static_cast<char16_t>(cp);
            i += length;
        }
    }
    out.resize(base + static_cast<std::size_t>(at - begin));
}

} // namespace talvik::xml
