// Reading and writing documents as files: byte order marks, declared encodings, the UTF-8
// guess for undeclared files, the legacy reading of text that is not the UTF-8 it should
// be, and the conversions to and from the UTF-16 text.
#include "talvik/xml/CXmlDocument.h"

#include "CharsetTable.h"
#include "talvik/xml/TextCodec.h"
#include "talvik/xml/XmlSyntax.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace talvik::xml {

namespace {

constexpr std::size_t kHeadBytes = 1024;

struct SFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, SFileCloser>;

std::u16string ascii(std::string_view text) {
    return std::u16string(text.begin(), text.end());
}

std::u16string number(std::size_t value) {
    return ascii(std::to_string(value));
}

std::u16string lower(std::u16string_view text) {
    std::u16string folded(text);
    for (char16_t& c : folded) {
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
    }
    return folded;
}

// The value of name="…" (or name=…) inside tag, or nothing.
std::optional<std::u16string> valueAfter(std::u16string_view tag, std::u16string_view name) {
    std::u16string folded = lower(tag);
    std::size_t at = folded.find(name);
    while (at != std::u16string::npos) {
        std::size_t k = at + name.size();
        while (k < tag.size() && isXmlSpace(tag[k])) {
            ++k;
        }
        if (k < tag.size() && tag[k] == u'=') {
            ++k;
            while (k < tag.size() && isXmlSpace(tag[k])) {
                ++k;
            }
            std::size_t end = k;
            if (k < tag.size() && (tag[k] == u'"' || tag[k] == u'\'')) {
                ++k;
                end = tag.find(tag[k - 1], k);
            } else {
                while (end < tag.size() && !isXmlSpace(tag[end]) && !isNameEnd(tag[end])) {
                    ++end;
                }
            }
            if (end != std::u16string::npos && end > k) {
                return std::u16string(tag.substr(k, end - k));
            }
        }
        at = folded.find(name, at + 1);
    }
    return std::nullopt;
}

// The encoding named by the XML declaration, or by an HTML document's meta tag.
std::optional<std::u16string> declaredEncoding(std::u16string_view head) {
    std::size_t k = 0;
    while (k < head.size() && isXmlSpace(head[k])) {
        ++k;
    }
    if (head.substr(k).starts_with(u"<?xml")) {
        std::size_t end = head.find(u"?>", k);
        return valueAfter(head.substr(k, end == std::u16string::npos ? head.npos : end - k),
                          u"encoding");
    }
    std::u16string folded = lower(head);
    if (folded.find(u"<html") == std::u16string::npos &&
        folded.find(u"<head") == std::u16string::npos) {
        return std::nullopt;
    }
    for (std::size_t meta = folded.find(u"<meta"); meta != std::u16string::npos;
         meta = folded.find(u"<meta", meta + 1)) {
        std::size_t end = folded.find(u'>', meta);
        std::u16string_view tag = head.substr(meta, end == head.npos ? head.npos : end - meta);
        if (auto charset = valueAfter(tag, u"charset")) {
            return charset;
        }
    }
    return std::nullopt;
}

std::u16string encodingLabel(int codePage, const std::optional<std::u16string>& declared) {
    switch (codePage) {
    case kCodePageUtf8:
        return u"UTF-8";
    case kCodePageUtf16Le:
        return u"UTF-16LE";
    case kCodePageUtf16Be:
        return u"UTF-16BE";
    case 0:
        return u"ANSI:" + ascii(ansiCharsetName());
    default:
        return declared ? *declared : number(static_cast<std::size_t>(codePage));
    }
}

// Bytes that read as Chinese in the GB2312 core of GB18030: every byte with the high bit
// set pairs with the next into a GB2312 character, and at least one pair is an ideograph.
// Latin text in Windows-1252 rarely does (an accented letter is mostly followed by a plain
// one), where a check of the decoded text would find ideographs in almost any pairing.
bool readsAsGb2312Chinese(std::string_view bytes) {
    bool ideograph = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            continue;
        }
        if (i + 1 == bytes.size()) {
            return false;
        }
        const auto trail = static_cast<unsigned char>(bytes[++i]);
        if (lead < 0xA1 || lead > 0xF7 || trail < 0xA1 || trail > 0xFE) {
            return false;
        }
        ideograph = ideograph || lead >= 0xB0;
    }
    return ideograph;
}

bool isWide(int codePage) {
    return codePage == kCodePageUtf16Le || codePage == kCodePageUtf16Be ||
           codePage == kCodePageUtf32Le || codePage == kCodePageUtf32Be;
}

std::string systemMessage(int error) {
    std::string message = std::strerror(error);
    return message.substr(0, message.find('\n'));
}

void swapBytePairs(std::string& bytes) {
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::swap(bytes[i], bytes[i + 1]);
    }
}

// Where the text of a file that begins with head starts when the general reading would
// take the file for UTF-8 and give up nothing of it to a legacy reading: after a UTF-8
// byte order mark, or at the start of a file declared UTF-8 or, undeclared, beginning
// with "<". npos for any other file.
std::size_t plainUtf8Start(std::string_view head) {
    if (head.starts_with("\xEF\xBB\xBF")) {
        return 3;
    }
    if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF")) {
        return std::string_view::npos;
    }
    std::optional<std::u16string> declared =
        declaredEncoding(decodeUtf8(head.substr(0, kHeadBytes)));
    const bool utf8 =
        declared ? codePageFromName(*declared) == kCodePageUtf8 : head.starts_with('<');
    return utf8 ? 0 : std::string_view::npos;
}

// The length of piece without a character it cuts off at its end: a lead byte followed by
// fewer bytes than it announces.
std::size_t completeUtf8Prefix(std::string_view piece) {
    for (std::size_t back = 1; back <= 3 && back <= piece.size(); ++back) {
        const auto byte = static_cast<unsigned char>(piece[piece.size() - back]);
        if (byte < 0x80) {
            break;
        }
        if (byte >= 0xC0) {
            const std::size_t length = byte >= 0xF0 ? 4 : (byte >= 0xE0 ? 3 : 2);
            return length > back ? piece.size() - back : piece.size();
        }
    }
    return piece.size();
}

} // namespace

bool CXmlDocument::fileError(std::u16string& result, int error) {
    error = error ? error : EIO;
    appendResult(result, u"file_error",
                 {{u"msg", fromUtf8(systemMessage(error))},
                  {u"n", number(static_cast<std::size_t>(error))}});
    return false;
}

// Reads from the file's position to its end into bytes, which holds the size already
// known (or nothing), taking at most one byte past maxBytes so that a file too long shows.
bool CXmlDocument::readRest(std::FILE* file, std::size_t size, std::size_t maxBytes,
                            std::string& bytes) {
    if (size != 0) {
        bytes.resize(size);
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    }
    // Whatever follows (a pipe, or a file that grew since) is taken in pieces.
    char buffer[65536];
    std::size_t got = 0;
    while (bytes.size() <= maxBytes &&
           (got = std::fread(buffer, 1, std::min(sizeof buffer, maxBytes + 1 - bytes.size()),
                             file)) > 0) {
        bytes.append(buffer, got);
    }
    if (std::ferror(file)) {
        return fileError(m_result, errno);
    }
    return bytes.size() <= maxBytes || fileError(m_result, EFBIG);
}

bool CXmlDocument::loadFile(const std::string& path, std::size_t maxBytes) {
    m_result.clear();
    if (m_flags & (kFlagReadFile | kFlagWriteFile)) {
        return false;
    }
    maxBytes = std::min(maxBytes, kMaxTextLength);
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return fileError(m_result, errno);
    }
    struct stat info {};
    std::size_t size = 0;
    if (::fstat(fileno(file.get()), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
            return fileError(m_result, EFBIG);
        }
        size = static_cast<std::size_t>(info.st_size);
        switch (streamPlainUtf8(file.get(), size, maxBytes)) {
        case EStreamed::Loaded:
            return true;
        case EStreamed::Failed:
            return false;
        case EStreamed::NotPlainUtf8:
            std::rewind(file.get());
            break;
        }
    }
    std::string bytes;
    if (!readRest(file.get(), size, maxBytes, bytes)) {
        return false;
    }
    decodeAndParse(std::move(bytes));
    return true;
}

// The usual profile, UTF-8 throughout, decoded while it is read through one small buffer
// instead of being held whole first. Anything the general reading treats specially (another
// encoding, zero bytes, a byte that is not UTF-8) gives NotPlainUtf8 with the document
// untouched, and the caller reads the file again the general way.
CXmlDocument::EStreamed CXmlDocument::streamPlainUtf8(std::FILE* file, std::size_t size,
                                                      std::size_t maxBytes) {
    // A small file fits the buffer whole, with the byte that shows its end.
    const std::size_t kPiece = std::clamp<std::size_t>(size + 1, 64, std::size_t(1) << 17);
    const auto buffer = std::make_unique_for_overwrite<char[]>(kPiece);
    std::u16string text;
    text.reserve(size);
    std::size_t total = 0;
    std::size_t held = 0;
    std::size_t start = std::string::npos;
    bool bom = false;
    while (true) {
        // total never passes maxBytes here, so at least one byte is asked for.
        const std::size_t want = std::min(kPiece - held, maxBytes + 1 - total);
        const std::size_t got = std::fread(buffer.get() + held, 1, want, file);
        total += got;
        if (std::ferror(file)) {
            fileError(m_result, errno);
            return EStreamed::Failed;
        }
        if (total > maxBytes) {
            fileError(m_result, EFBIG);
            return EStreamed::Failed;
        }
        if (std::memchr(buffer.get() + held, 0, got) != nullptr) {
            return EStreamed::NotPlainUtf8;
        }
        const std::string_view piece(buffer.get(), held + got);
        if (start == std::string::npos) {
            start = plainUtf8Start(piece);
            if (start == std::string::npos) {
                return EStreamed::NotPlainUtf8;
            }
            bom = start != 0;
        }
        const bool atEnd = got < want;
        const std::size_t cut = atEnd ? piece.size() : completeUtf8Prefix(piece);
        std::size_t unreadable = 0;
        appendDecodedUtf8(text, piece.substr(start, cut - start), unreadable);
        if (unreadable != 0) {
            return EStreamed::NotPlainUtf8;
        }
        if (atEnd) {
            break;
        }
        // The bytes of a character the piece cut off begin the next one.
        held = piece.size() - cut;
        std::memmove(buffer.get(), buffer.get() + cut, held);
        start = 0;
    }
    // The flags and notes the general reading gives such a file, in its order.
    m_flags &= ~(kFlagUtf8Bom | kFlagUtf16Le | kFlagUtf16Be);
    if (bom) {
        m_flags |= kFlagUtf8Bom;
        addResult(u"bom", {{u"encoding", u"UTF-8"}});
    }
    addResult(u"read", {{u"encoding", u"UTF-8"}, {u"length", number(total - (bom ? 3 : 0))}});
    addResult(u"converted_to", {{u"encoding", u"UTF-16"}, {u"length", number(text.size())}});
    m_text = std::move(text);
    parse();
    return EStreamed::Loaded;
}

void CXmlDocument::loadBytes(std::string bytes) {
    m_result.clear();
    decodeAndParse(std::move(bytes));
}

void CXmlDocument::decodeAndParse(std::string bytes) {
    m_flags &= ~(kFlagUtf8Bom | kFlagUtf16Le | kFlagUtf16Be);
    int codePage = -1;
    std::optional<std::u16string> declared;
    std::size_t skip = 0;
    std::string_view view(bytes);
    if (view.starts_with("\xEF\xBB\xBF")) {
        codePage = kCodePageUtf8, skip = 3, m_flags |= kFlagUtf8Bom;
    } else if (view.starts_with("\xFF\xFE")) {
        codePage = kCodePageUtf16Le, skip = 2, m_flags |= kFlagUtf16Le;
    } else if (view.starts_with("\xFE\xFF")) {
        codePage = kCodePageUtf16Be, skip = 2, m_flags |= kFlagUtf16Be;
    }
    if (codePage != -1) {
        addResult(u"bom", {{u"encoding", encodingLabel(codePage, declared)}});
    } else {
        // Zero bytes are dropped before looking, so a UTF-16 file without a mark still shows
        // its declaration.
        std::string head(view.substr(0, kHeadBytes));
        std::erase(head, '\0');
        declared = declaredEncoding(decodeUtf8(head));
        if (declared) {
            codePage = codePageFromName(*declared);
        } else if (!view.empty() && view[0] == '<') {
            codePage = kCodePageUtf8;
        }
    }
    bytes.erase(0, skip);
    m_text = decodeBytes(bytes, codePage, declared);
    parse();
}

std::u16string CXmlDocument::decodeBytes(std::string& bytes, int codePage,
                                         const std::optional<std::u16string>& declared) {
    std::size_t length = bytes.size();
    if (codePage == kCodePageUtf16Be) {
        swapBytePairs(bytes);
        addResult(u"endian_swap", {});
        codePage = kCodePageUtf16Le;
    }
    addResult(u"read", {{u"encoding", codePage == -1 ? std::u16string(u"unknown")
                                                     : encodingLabel(codePage, declared)},
                        {u"length", number(length)}});
    std::u16string text;
    std::size_t nulls = 0;
    std::size_t unreadable = 0;
    if (isWide(codePage)) {
        text = decodeCodePage(codePage, bytes, unreadable);
        nulls = std::erase(text, u'\0');
    } else {
        nulls = std::memchr(bytes.data(), 0, bytes.size()) ? std::erase(bytes, '\0') : 0;
    }
    if (nulls != 0) {
        addResult(u"nulls_removed", {{u"count", number(nulls)}});
    }
    if (!isWide(codePage)) {
        if (codePage == -1) {
            codePage = passesUtf8Test(bytes) ? kCodePageUtf8 : 0;
            addResult(u"utf8_detection", {{u"encoding", encodingLabel(codePage, declared)}});
        }
        // Text that should be UTF-8 and is not was written by a legacy editor. A byte order
        // mark says a UTF-8 editor wrote the file, so there its faults stay faults.
        bool utf8Expected = (codePage == kCodePageUtf8 && !(m_flags & kFlagUtf8Bom)) ||
                            (codePage == 0 && ansiCodePageIsUtf8());
        text = decodeCodePage(utf8Expected ? kCodePageUtf8 : codePage, bytes, unreadable);
        if (utf8Expected && unreadable != 0) {
            unreadable = 0;
            text = decodeLegacy(bytes);
        }
        addResult(u"converted_to", {{u"encoding", u"UTF-16"}, {u"length", number(text.size())}});
    }
    if (unreadable != 0) {
        addResult(u"unreadable", {{u"count", number(unreadable)}});
    }
    return text;
}

// GB18030 first, since Windows-1252 takes any bytes: a GB18030 reading that needs no
// replacement is taken, but only for a reader of Chinese or where the bytes read as
// Chinese text, as Latin text often happens to pair into valid GB18030 too. Elsewhere the
// GB18030 reading is not even tried.
std::u16string CXmlDocument::decodeLegacy(std::string_view bytes) {
    if ((m_flags & kFlagPreferCjk) || readsAsGb2312Chinese(bytes)) {
        std::size_t unreadable = 0;
        std::u16string text = decodeCodePage(kCodePageGb18030, bytes, unreadable);
        if (unreadable == 0) {
            addResult(u"legacy_encoding", {{u"encoding", u"GB18030"}});
            return text;
        }
    }
    std::size_t undefined = 0;
    std::u16string text = decodeWindows1252(bytes, undefined);
    addResult(u"legacy_encoding", {{u"encoding", u"Windows-1252"}});
    if (undefined != 0) {
        addResult(u"undefined_bytes",
                  {{u"encoding", u"Windows-1252"}, {u"count", number(undefined)}});
    }
    return text;
}

bool CXmlDocument::saveFile(const std::string& path) {
    m_result.clear();
    if (m_flags & (kFlagReadFile | kFlagWriteFile)) {
        return false;
    }
    return saveText(path, m_text, m_flags, m_result);
}

bool CXmlDocument::saveText(const std::string& path, std::u16string_view text, int flags,
                            std::u16string& result) {
    int codePage = kCodePageUtf8;
    std::string_view bom;
    std::optional<std::u16string> declared;
    if (flags & kFlagUtf8Bom) {
        bom = "\xEF\xBB\xBF";
    } else if (flags & kFlagUtf16Le) {
        codePage = kCodePageUtf16Le, bom = "\xFF\xFE";
    } else if (flags & kFlagUtf16Be) {
        codePage = kCodePageUtf16Be, bom = "\xFE\xFF";
    } else {
        declared = declaredEncoding(text.substr(0, kHeadBytes));
        if (declared) {
            codePage = codePageFromName(*declared);
        }
    }
    bool wide = codePage == kCodePageUtf16Le || codePage == kCodePageUtf16Be;
    std::size_t lost = 0;
    std::size_t written = 0;
    bool ok = writeFile(path, (flags & kFlagAppend) != 0, result, [&](std::FILE* file) {
        return writeEncoded(file, text, codePage, bom, lost, written);
    });
    if (codePage == kCodePageUtf16Be) {
        appendResult(result, u"endian_swap", {});
    } else if (!wide) {
        appendResult(result, u"converted_from",
                     {{u"encoding", u"UTF-16"}, {u"length", number(text.size())}});
        if (lost != 0) {
            appendResult(result, u"conversion_loss", {{u"count", number(lost)}});
        }
    }
    if (!bom.empty()) {
        appendResult(result, u"bom", {{u"encoding", encodingLabel(codePage, declared)}});
    }
    if (ok) {
        appendResult(
            result, u"write",
            {{u"encoding", encodingLabel(codePage, declared)}, {u"length", number(written)}});
    }
    return ok;
}

// The text is converted and written in pieces, so a large document never needs a second
// full copy in memory.
bool CXmlDocument::writeEncoded(std::FILE* file, std::u16string_view text, int codePage,
                                std::string_view bom, std::size_t& lost, std::size_t& written) {
    if (!bom.empty() && std::fwrite(bom.data(), 1, bom.size(), file) != bom.size()) {
        return false;
    }
    written += bom.size();
    bool wide = codePage == kCodePageUtf16Le || codePage == kCodePageUtf16Be;
    constexpr std::size_t kPiece = 1 << 16;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = std::min(kPiece, text.size() - at);
        if (at + length < text.size() && text[at + length - 1] >= 0xD800 &&
            text[at + length - 1] < 0xDC00) {
            ++length; // keep a surrogate pair together
        }
        std::u16string_view piece = text.substr(at, length);
        std::string bytes = encodeCodePage(wide ? kCodePageUtf16Le : codePage, piece, lost);
        if (codePage == kCodePageUtf16Be) {
            swapBytePairs(bytes);
        }
        if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
            return false;
        }
        written += bytes.size();
        at += length;
    }
    return true;
}

// The data is on the disk when this returns true: callers that replace a file by renaming
// a freshly written one rely on that.
bool CXmlDocument::writeFile(const std::string& path, bool append, std::u16string& result,
                             const std::function<bool(std::FILE*)>& write) {
    errno = 0;
    FilePtr file(std::fopen(path.c_str(), append ? "ab" : "wb"));
    bool ok = file != nullptr && write(file.get());
    ok = ok && std::fflush(file.get()) == 0 && ::fsync(fileno(file.get())) == 0;
    int error = errno;
    if (ok) {
        ok = std::fclose(file.release()) == 0;
        error = errno;
    }
    if (!ok) {
        fileError(result, error);
    }
    return ok;
}

} // namespace talvik::xml
