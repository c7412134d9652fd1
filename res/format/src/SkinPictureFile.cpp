#include "talvik/skin/SkinPictureFile.h"

#include <QResource>

#include <sys/mman.h>
#include <unistd.h>
#include <zstd.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

namespace talvik::skin {
namespace {

constexpr std::array<char, 4> kMagic = {'T', 'P', 'X', '1'};
constexpr qsizetype kHeaderBytes = 16;
constexpr int kMaxSide = 16384;

void putWord(QByteArray& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.append(static_cast<char>((value >> shift) & 0xFF));
    }
}

std::uint32_t wordAt(const uchar* data, qsizetype at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | data[at + i];
    }
    return value;
}

bool isStoredFormat(std::uint32_t format) {
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32;
}

struct SPictureHeader {
    int width = 0;
    int height = 0;
    QImage::Format format = QImage::Format_Invalid;
    qsizetype rowBytes = 0;
};

// The header of a stored picture of `size` bytes; nothing when the bytes are
// not one (wrong magic, sizes that do not match the data, a format we do not
// store).
std::optional<SPictureHeader> headerOf(const uchar* data, qsizetype size) {
    if (size < kHeaderBytes || std::memcmp(data, kMagic.data(), kMagic.size()) != 0) {
        return std::nullopt;
    }
    const std::uint32_t width = wordAt(data, 4);
    const std::uint32_t height = wordAt(data, 8);
    const std::uint32_t format = wordAt(data, 12);
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
        !isStoredFormat(format)) {
        return std::nullopt;
    }
    const auto rowBytes = static_cast<qsizetype>(width) * 4;
    if (size != kHeaderBytes + rowBytes * static_cast<qsizetype>(height)) {
        return std::nullopt;
    }
    return SPictureHeader{static_cast<int>(width), static_cast<int>(height),
                          static_cast<QImage::Format>(format), rowBytes};
}

// An image over pixels that `cleanup(kept)` frees when the image's last copy goes.
QImage imageOver(const uchar* data, const SPictureHeader& header, QImageCleanupFunction cleanup,
                 void* kept) {
    QImage image(data + kHeaderBytes, header.width, header.height, header.rowBytes, header.format,
                 cleanup, kept);
    if (image.isNull()) {
        cleanup(kept);
    }
    return image;
}

// Memory for a picture read out of a compressed resource. Fresh memory costs
// a page fault for each 4 kB page on first touch, and a main window picture
// is several megabytes: where the system gives 2 MB pages, its whole 2 MB
// stretches take one fault each, and only the rest is in small pages. Where
// it gives none, the advice is ignored and the memory is an ordinary mapping.
// Either way it holds exactly the picture's pages.
class CPictureMemory {
public:
    static CPictureMemory* make(std::size_t bytes) {
        const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        const std::size_t length = (bytes + page - 1) / page * page;
        if (length < kLargePage) {
            void* mapped =
                mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            return mapped == MAP_FAILED ? nullptr
                                        : new CPictureMemory(static_cast<uchar*>(mapped), length);
        }
        // Mapped a large page longer, so that what is kept can start on a
        // large page boundary.
        void* mapped = mmap(nullptr, length + kLargePage, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) {
            return nullptr;
        }
        const auto start = reinterpret_cast<std::uintptr_t>(mapped);
        const std::uintptr_t aligned = (start + kLargePage - 1) / kLargePage * kLargePage;
        if (aligned > start) {
            munmap(mapped, aligned - start);
        }
        if (const std::uintptr_t tail = start + kLargePage - aligned; tail > 0) {
            munmap(reinterpret_cast<void*>(aligned + length), tail);
        }
        auto* base = reinterpret_cast<uchar*>(aligned);
        madvise(base, length / kLargePage * kLargePage, MADV_HUGEPAGE);
        return new CPictureMemory(base, length);
    }

    static void release(void* memory) { delete static_cast<CPictureMemory*>(memory); }

    uchar* data() const { return m_base; }

    CPictureMemory(const CPictureMemory&) = delete;
    CPictureMemory& operator=(const CPictureMemory&) = delete;
    ~CPictureMemory() { munmap(m_base, m_length); }

private:
    static constexpr std::size_t kLargePage = std::size_t{2} << 20;

    CPictureMemory(uchar* base, std::size_t length) : m_base(base), m_length(length) {}

    uchar* m_base;
    std::size_t m_length;
};

// The largest stored picture: the header and kMaxSide rows of kMaxSide pixels.
constexpr unsigned long long kMaxStoredBytes =
    kHeaderBytes + 4ULL * static_cast<unsigned long long>(kMaxSide) * kMaxSide;

} // namespace

QByteArray encodeSkinPicture(const QImage& image) {
    const QImage stored = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                        : QImage::Format_RGB32);
    const auto rowBytes = static_cast<qsizetype>(stored.width()) * 4;
    QByteArray out;
    out.reserve(kHeaderBytes + rowBytes * stored.height());
    out.append(kMagic.data(), kMagic.size());
    putWord(out, static_cast<std::uint32_t>(stored.width()));
    putWord(out, static_cast<std::uint32_t>(stored.height()));
    putWord(out, static_cast<std::uint32_t>(stored.format()));
    for (int y = 0; y < stored.height(); ++y) {
        out.append(reinterpret_cast<const char*>(stored.constScanLine(y)), rowBytes);
    }
    return out;
}

QImage decodeSkinPicture(QByteArray data) {
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const std::optional<SPictureHeader> header = headerOf(bytes, data.size());
    if (!header) {
        return {};
    }
    // The image uses the pixels where they are, in the bytes it keeps alive:
    // no second copy of a picture of several megabytes.
    // Bytes the resource file keeps uncompressed point into the file's
    // mapping, which ends with the resource: those are copied.
    auto* kept = new QByteArray(std::move(data));
    kept->detach();
    return imageOver(
        reinterpret_cast<const uchar*>(kept->constData()), *header,
        [](void* bytes) { delete static_cast<QByteArray*>(bytes); }, kept);
}

QImage decodeCompressedSkinPicture(const uchar* data, qsizetype size) {
    const unsigned long long stored =
        ZSTD_getFrameContentSize(data, static_cast<std::size_t>(size));
    if (stored == ZSTD_CONTENTSIZE_UNKNOWN || stored == ZSTD_CONTENTSIZE_ERROR ||
        stored < static_cast<unsigned long long>(kHeaderBytes) || stored > kMaxStoredBytes) {
        return {};
    }
    CPictureMemory* memory = CPictureMemory::make(static_cast<std::size_t>(stored));
    if (memory == nullptr) {
        return {};
    }
    const std::size_t written = ZSTD_decompress(memory->data(), static_cast<std::size_t>(stored),
                                                data, static_cast<std::size_t>(size));
    const std::optional<SPictureHeader> header =
        ZSTD_isError(written) != 0U || written != stored
            ? std::nullopt
            : headerOf(memory->data(), static_cast<qsizetype>(stored));
    if (!header) {
        CPictureMemory::release(memory);
        return {};
    }
    return imageOver(memory->data(), *header, &CPictureMemory::release, memory);
}

QImage readSkinPicture(const QString& path) {
    const QResource resource(path);
    if (!resource.isValid()) {
        return {};
    }
    if (resource.compressionAlgorithm() == QResource::ZstdCompression) {
        return decodeCompressedSkinPicture(resource.data(), resource.size());
    }
    return decodeSkinPicture(resource.uncompressedData());
}

} // namespace talvik::skin
