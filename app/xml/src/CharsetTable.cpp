#include "CharsetTable.h"

#include <algorithm>
#include <array>
#include <string>

namespace talvik::xml {
namespace {

struct SCharsetName {
    const char* name;
    int codePage;
};

// Names as they appear in encoding declarations and meta charset tags, lower case. Where one
// name is used for two things in the wild (e.g. "gb2312" for GBK content), it maps to the
// wider code page so that no character of a real document is lost.
constexpr SCharsetName kNames[] = {
    {"437", 437},
    {"850", 850},
    {"852", 852},
    {"855", 855},
    {"857", 857},
    {"860", 860},
    {"861", 861},
    {"862", 862},
    {"863", 863},
    {"865", 865},
    {"866", 866},
    {"869", 869},
    {"ansi_x3.4-1968", 20127},
    {"ansi_x3.4-1986", 20127},
    {"arabic", 28596},
    {"asmo-708", 708},
    {"ascii", 20127},
    {"big5", 950},
    {"big5-hkscs", 950},
    {"chinese", 936},
    {"cn-big5", 950},
    {"cn-gb", 936},
    {"cp037", 37},
    {"cp1026", 1026},
    {"cp1250", 1250},
    {"cp1251", 1251},
    {"cp1252", 1252},
    {"cp1253", 1253},
    {"cp1254", 1254},
    {"cp1255", 1255},
    {"cp1256", 1256},
    {"cp1257", 1257},
    {"cp1258", 1258},
    {"cp367", 20127},
    {"cp437", 437},
    {"cp500", 500},
    {"cp65001", 65001},
    {"cp737", 737},
    {"cp775", 775},
    {"cp819", 28591},
    {"cp850", 850},
    {"cp852", 852},
    {"cp855", 855},
    {"cp857", 857},
    {"cp858", 858},
    {"cp860", 860},
    {"cp861", 861},
    {"cp862", 862},
    {"cp863", 863},
    {"cp864", 864},
    {"cp865", 865},
    {"cp866", 866},
    {"cp869", 869},
    {"cp874", 874},
    {"cp875", 875},
    {"cp932", 932},
    {"cp936", 936},
    {"cp949", 949},
    {"cp950", 950},
    {"csascii", 20127},
    {"csbig5", 950},
    {"cseuckr", 51949},
    {"cseucpkdfmtjapanese", 51932},
    {"csgb2312", 936},
    {"csibm037", 37},
    {"csibm500", 500},
    {"csibm855", 855},
    {"csibm857", 857},
    {"csibm860", 860},
    {"csibm861", 861},
    {"csibm863", 863},
    {"csibm864", 864},
    {"csibm865", 865},
    {"csibm866", 866},
    {"csibm869", 869},
    {"csiso2022jp", 50221},
    {"csiso2022kr", 50225},
    {"csiso58gb231280", 936},
    {"csisolatin1", 28591},
    {"csisolatin2", 28592},
    {"csisolatin3", 28593},
    {"csisolatin4", 28594},
    {"csisolatin5", 28599},
    {"csisolatin9", 28605},
    {"csisolatinarabic", 28596},
    {"csisolatincyrillic", 28595},
    {"csisolatingreek", 28597},
    {"csisolatinhebrew", 28598},
    {"cskoi8r", 20866},
    {"csksc56011987", 949},
    {"csmacintosh", 10000},
    {"cspc8codepage437", 437},
    {"cspc850multilingual", 850},
    {"cspc862latinhebrew", 862},
    {"csshiftjis", 932},
    {"csunicode11utf7", 65000},
    {"cswindows31j", 932},
    {"cyrillic", 28595},
    {"dos-720", 720},
    {"dos-862", 862},
    {"dos-874", 874},
    {"ebcdic-cp-us", 37},
    {"ecma-114", 28596},
    {"ecma-118", 28597},
    {"elot_928", 28597},
    {"euc-cn", 936},
    {"euc-jp", 51932},
    {"euc-kr", 51949},
    {"extended_unix_code_packed_format_for_japanese", 51932},
    {"gb18030", 54936},
    {"gb2312", 936},
    {"gb2312-80", 936},
    {"gb231280", 936},
    {"gb_2312-80", 936},
    {"gbk", 936},
    {"greek", 28597},
    {"greek8", 28597},
    {"hebrew", 28598},
    {"hz-gb-2312", 52936},
    {"ibm00858", 858},
    {"ibm00924", 20924},
    {"ibm01140", 1140},
    {"ibm01141", 1141},
    {"ibm01142", 1142},
    {"ibm01143", 1143},
    {"ibm01144", 1144},
    {"ibm01145", 1145},
    {"ibm01146", 1146},
    {"ibm01147", 1147},
    {"ibm01148", 1148},
    {"ibm01149", 1149},
    {"ibm037", 37},
    {"ibm1026", 1026},
    {"ibm1047", 1047},
    {"ibm367", 20127},
    {"ibm437", 437},
    {"ibm500", 500},
    {"ibm737", 737},
    {"ibm775", 775},
    {"ibm819", 28591},
    {"ibm850", 850},
    {"ibm852", 852},
    {"ibm855", 855},
    {"ibm857", 857},
    {"ibm860", 860},
    {"ibm861", 861},
    {"ibm862", 862},
    {"ibm863", 863},
    {"ibm864", 864},
    {"ibm865", 865},
    {"ibm866", 866},
    {"ibm869", 869},
    {"ibm870", 870},
    {"iso-2022-cn", 50227},
    {"iso-2022-jp", 50220},
    {"iso-2022-kr", 50225},
    {"iso-8859-1", 28591},
    {"iso-8859-11", 874},
    {"iso-8859-13", 28603},
    {"iso-8859-15", 28605},
    {"iso-8859-2", 28592},
    {"iso-8859-3", 28593},
    {"iso-8859-4", 28594},
    {"iso-8859-5", 28595},
    {"iso-8859-6", 28596},
    {"iso-8859-7", 28597},
    {"iso-8859-8", 28598},
    {"iso-8859-8-i", 38598},
    {"iso-8859-9", 28599},
    {"iso-ir-100", 28591},
    {"iso-ir-101", 28592},
    {"iso-ir-109", 28593},
    {"iso-ir-110", 28594},
    {"iso-ir-126", 28597},
    {"iso-ir-127", 28596},
    {"iso-ir-138", 28598},
    {"iso-ir-144", 28595},
    {"iso-ir-148", 28599},
    {"iso-ir-149", 949},
    {"iso-ir-58", 936},
    {"iso-ir-6", 20127},
    {"iso646-us", 20127},
    {"iso8859-1", 28591},
    {"iso8859-15", 28605},
    {"iso8859-2", 28592},
    {"iso8859-5", 28595},
    {"iso8859-7", 28597},
    {"iso8859-9", 28599},
    {"iso88591", 28591},
    {"iso885915", 28605},
    {"iso_646.irv:1991", 20127},
    {"iso_8859-1", 28591},
    {"iso_8859-15", 28605},
    {"iso_8859-1:1987", 28591},
    {"iso_8859-2", 28592},
    {"iso_8859-2:1987", 28592},
    {"iso_8859-3", 28593},
    {"iso_8859-3:1988", 28593},
    {"iso_8859-4", 28594},
    {"iso_8859-4:1988", 28594},
    {"iso_8859-5", 28595},
    {"iso_8859-5:1988", 28595},
    {"iso_8859-6", 28596},
    {"iso_8859-6:1987", 28596},
    {"iso_8859-7", 28597},
    {"iso_8859-7:1987", 28597},
    {"iso_8859-8", 28598},
    {"iso_8859-8:1988", 28598},
    {"iso_8859-9", 28599},
    {"iso_8859-9:1989", 28599},
    {"johab", 1361},
    {"koi", 20866},
    {"koi8", 20866},
    {"koi8-r", 20866},
    {"koi8-ru", 21866},
    {"koi8-u", 21866},
    {"koi8r", 20866},
    {"korean", 949},
    {"ks_c_5601", 949},
    {"ks_c_5601-1987", 949},
    {"ks_c_5601-1989", 949},
    {"ks_c_5601_1987", 949},
    {"ksc5601", 949},
    {"ksc_5601", 949},
    {"l1", 28591},
    {"l2", 28592},
    {"l3", 28593},
    {"l4", 28594},
    {"l5", 28599},
    {"l9", 28605},
    {"latin1", 28591},
    {"latin2", 28592},
    {"latin3", 28593},
    {"latin4", 28594},
    {"latin5", 28599},
    {"latin9", 28605},
    {"logical", 38598},
    {"mac", 10000},
    {"macintosh", 10000},
    {"ms936", 936},
    {"ms_kanji", 932},
    {"shift-jis", 932},
    {"shift_jis", 932},
    {"sjis", 932},
    {"tis-620", 874},
    {"ucs-2", 1200},
    {"ucs-2be", 1201},
    {"ucs-2le", 1200},
    {"unicode", 1200},
    {"unicode-1-1-utf-7", 65000},
    {"unicode-1-1-utf-8", 65001},
    {"unicode-2-0-utf-7", 65000},
    {"unicode-2-0-utf-8", 65001},
    {"unicodefffe", 1201},
    {"us", 20127},
    {"us-ascii", 20127},
    {"utf-16", 1200},
    {"utf-16be", 1201},
    {"utf-16le", 1200},
    {"utf-7", 65000},
    {"utf-8", 65001},
    {"utf16", 1200},
    {"utf7", 65000},
    {"utf8", 65001},
    {"visual", 28598},
    {"windows-1250", 1250},
    {"windows-1251", 1251},
    {"windows-1252", 1252},
    {"windows-1253", 1253},
    {"windows-1254", 1254},
    {"windows-1255", 1255},
    {"windows-1256", 1256},
    {"windows-1257", 1257},
    {"windows-1258", 1258},
    {"windows-31j", 932},
    {"windows-874", 874},
    {"windows-936", 936},
    {"x-ansi", 1252},
    {"x-cp1250", 1250},
    {"x-cp1251", 1251},
    {"x-euc", 51932},
    {"x-euc-cn", 936},
    {"x-euc-jp", 51932},
    {"x-gbk", 936},
    {"x-mac-ce", 10029},
    {"x-mac-cyrillic", 10007},
    {"x-mac-icelandic", 10079},
    {"x-mac-japanese", 10001},
    {"x-ms-cp932", 932},
    {"x-sjis", 932},
    {"x-unicode20utf8", 65001},
    {"x-user-defined", 50000},
    {"x-x-big5", 950},
};

struct SCodePageIconv {
    int codePage;
    const char* iconvName;
};

// glibc iconv's names for the code pages above that it can convert.
constexpr SCodePageIconv kIconvNames[] = {
    {37, "IBM037"},         {437, "CP437"},          {500, "IBM500"},
    {708, "ISO-8859-6"},    {737, "CP737"},          {775, "CP775"},
    {850, "CP850"},         {852, "CP852"},          {855, "CP855"},
    {857, "CP857"},         {858, "CP858"},          {860, "CP860"},
    {861, "CP861"},         {862, "CP862"},          {863, "CP863"},
    {864, "CP864"},         {865, "CP865"},          {866, "CP866"},
    {869, "CP869"},         {870, "IBM870"},         {874, "CP874"},
    {875, "IBM875"},        {932, "CP932"},          {936, "CP936"},
    {949, "CP949"},         {950, "CP950"},          {1026, "IBM1026"},
    {1047, "IBM1047"},      {1140, "IBM1140"},       {1141, "IBM1141"},
    {1142, "IBM1142"},      {1143, "IBM1143"},       {1144, "IBM1144"},
    {1145, "IBM1145"},      {1146, "IBM1146"},       {1147, "IBM1147"},
    {1148, "IBM1148"},      {1149, "IBM1149"},       {1250, "CP1250"},
    {1251, "CP1251"},       {1252, "CP1252"},        {1253, "CP1253"},
    {1254, "CP1254"},       {1255, "CP1255"},        {1256, "CP1256"},
    {1257, "CP1257"},       {1258, "CP1258"},        {1361, "JOHAB"},
    {10000, "MACINTOSH"},   {10007, "MAC-CYRILLIC"}, {10029, "MAC-CENTRALEUROPE"},
    {10079, "MAC-IS"},      {20127, "ASCII"},        {20866, "KOI8-R"},
    {20924, "IBM924"},      {21866, "KOI8-U"},       {28591, "ISO-8859-1"},
    {28592, "ISO-8859-2"},  {28593, "ISO-8859-3"},   {28594, "ISO-8859-4"},
    {28595, "ISO-8859-5"},  {28596, "ISO-8859-6"},   {28597, "ISO-8859-7"},
    {28598, "ISO-8859-8"},  {28599, "ISO-8859-9"},   {28603, "ISO-8859-13"},
    {28605, "ISO-8859-15"}, {38598, "ISO-8859-8"},   {50220, "ISO-2022-JP"},
    {50221, "ISO-2022-JP"}, {50222, "ISO-2022-JP"},  {50225, "ISO-2022-KR"},
    {50227, "ISO-2022-CN"}, {51932, "EUC-JP"},       {51949, "EUC-KR"},
    {52936, "HZ-GB-2312"},  {54936, "GB18030"},      {65000, "UTF-7"},
    {65001, "UTF-8"},       {10001, "SJIS"},
};

std::string foldToAscii(std::u16string_view name) {
    std::string folded;
    folded.reserve(name.size());
    for (char16_t c : name) {
        if (c >= 0x80) {
            return {};
        }
        folded.push_back(c >= u'A' && c <= u'Z' ? static_cast<char>(c - u'A' + 'a')
                                                : static_cast<char>(c));
    }
    return folded;
}

} // namespace

int codePageFromName(std::u16string_view name) {
    if (name.empty() || name.size() >= 100) {
        return 0;
    }
    std::string folded = foldToAscii(name);
    if (folded.empty()) {
        return 0;
    }
    if (folded == "utf-8") {
        return kCodePageUtf8; // nearly every document says so: no search of the table
    }
    if (folded.starts_with("utf-32")) {
        return folded == "utf-32be" ? kCodePageUtf32Be : kCodePageUtf32Le;
    }
    for (const SCharsetName& row : kNames) {
        if (folded == row.name) {
            return row.codePage;
        }
    }
    return 0;
}

const char* iconvNameOfCodePage(int codePage) {
    for (const SCodePageIconv& row : kIconvNames) {
        if (row.codePage == codePage) {
            return row.iconvName;
        }
    }
    return nullptr;
}

std::size_t charsetNameCount() {
    return std::size(kNames);
}

} // namespace talvik::xml
