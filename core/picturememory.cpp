#include "core/picturememory.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <utility>

#include <QColorSpace>
#include <QImage>

#include "core/picture.h"

#if defined(__linux__)
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kurvana {

void CopyPictureMetadata(const QImage& from, QImage& to) {
    to.setDotsPerMeterX(from.dotsPerMeterX());
    to.setDotsPerMeterY(from.dotsPerMeterY());
    to.setDevicePixelRatio(from.devicePixelRatio());
    to.setOffset(from.offset());
    to.setColorSpace(from.colorSpace());
    for (const QString& key : from.textKeys())
        to.setText(key, from.text(key));
}

#if defined(__linux__)

namespace {

/// The anonymous file holding a picture's pixels; closed with the last mapping of it.
struct MemoryFile {
    int fd = -1;
    std::size_t bytes = 0; ///< the file's length, whole pages
    ~MemoryFile() {
        if (fd >= 0)
            ::close(fd);
    }
};

/// A mapping of a memory file and the images that use it. The picture's own mapping is shared
/// (written while the picture is read, then sealed); a twin's is private (copy on write).
struct Mapping {
    std::shared_ptr<MemoryFile> file;
    int images = 0;
    enum class Kind { Writable, Sealed, Twin } kind = Kind::Writable;
};

/// Every live mapping by its address. QImage's clean-up hands back only the address; tests
/// and the benchmark may load pictures from more than one thread.
std::mutex registryMutex;
std::map<const void*, Mapping>& Registry() {
    static std::map<const void*, Mapping> registry;
    return registry;
}

void ReleaseMapping(void* address) {
    const std::lock_guard lock(registryMutex);
    auto found = Registry().find(address);
    if (found == Registry().end() || --found->second.images > 0)
        return;
    ::munmap(address, found->second.file->bytes);
    Registry().erase(found);
}

/// The mapping behind `picture`'s pixels, when it is one of ours of the picture's size.
const Mapping* MappingOf(const QImage& picture) {
    const auto found = Registry().find(picture.constBits());
    if (found == Registry().end() || std::size_t(picture.sizeInBytes()) > found->second.file->bytes)
        return nullptr;
    return &found->second;
}

std::size_t WholePages(std::size_t bytes) {
    const auto page = std::size_t(::sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

qsizetype BytesPerLine(const QSize& size) {
    return qsizetype(size.width()) * qsizetype(sizeof(QRgb));
}

/// Writes all `bytes` at `at`, whatever the system takes per call. False when it refuses
/// (memory short).
bool WriteAll(int fd, const char* from, std::size_t bytes, off_t at) {
    while (bytes > 0) {
        const ssize_t written = ::pwrite(fd, from, bytes, at);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        from += written;
        bytes -= std::size_t(written);
        at += off_t(written);
    }
    return true;
}

/// Takes every page of `file` now, cleared. Writing zeros hands the pages over cleared in one
/// go; allocating them (fallocate) leaves each to be cleared at its first fault, which costs
/// the system about a third more.
bool TakePages(const MemoryFile& file) {
    static const std::array<char, std::size_t(1) << 20> zeros{};
    for (std::size_t at = 0; at < file.bytes; at += zeros.size())
        if (!WriteAll(file.fd, zeros.data(), std::min(zeros.size(), file.bytes - at), off_t(at)))
            return false;
    return true;
}

/// A memory file for a picture of `size`, its pages taken now when `allocate` is set, else
/// as they are written. Null when the system gives none.
std::shared_ptr<MemoryFile> NewMemoryFile(const QSize& size, bool allocate) {
    auto file = std::make_shared<MemoryFile>();
    file->bytes = WholePages(std::size_t(BytesPerLine(size)) * std::size_t(size.height()));
    file->fd = ::memfd_create("kurvana picture", MFD_CLOEXEC);
    if (file->fd < 0 || ::ftruncate(file->fd, off_t(file->bytes)) != 0)
        return nullptr;
    return !allocate || TakePages(*file) ? file : nullptr;
}

/// An image of the whole of `file`, mapped as `kind` asks: shared and writable (its pages
/// mapped at once), shared and read-only (the clean picture), or private (a twin, copy on
/// write). The caller holds registryMutex.
QImage MappedPicture(const std::shared_ptr<MemoryFile>& file, const QSize& size,
                     Mapping::Kind kind) {
    const int protection = kind == Mapping::Kind::Sealed ? PROT_READ : PROT_READ | PROT_WRITE;
    const int flags = kind == Mapping::Kind::Twin       ? MAP_PRIVATE
                      : kind == Mapping::Kind::Writable ? MAP_SHARED | MAP_POPULATE
                                                        : MAP_SHARED;
    void* address = ::mmap(nullptr, file->bytes, protection, flags, file->fd, 0);
    if (address == MAP_FAILED)
        return {};
    Registry()[address] = Mapping{file, 1, kind};
    auto* pixels = static_cast<uchar*>(address);
    if (kind == Mapping::Kind::Sealed) // a read-only image: writing through it copies first
        return QImage(static_cast<const uchar*>(pixels), size.width(), size.height(),
                      BytesPerLine(size), QImage::Format_RGB32, ReleaseMapping, address);
    return QImage(pixels, size.width(), size.height(), BytesPerLine(size), QImage::Format_RGB32,
                  ReleaseMapping, address);
}

} // namespace

QImage NewSharablePicture(const QSize& size) {
    if (size.isEmpty())
        return {};
    // The pages are taken now, in one go rather than one fault at a time (the reader writes
    // them all at once anyway), so that memory too short for the picture shows here, where the
    // caller can still take another buffer, and not as a fault in the middle of reading.
    const std::shared_ptr<MemoryFile> file = NewMemoryFile(size, true);
    if (!file)
        return {};
    const std::lock_guard lock(registryMutex);
    return MappedPicture(file, size, Mapping::Kind::Writable);
}

QImage SealedPicture(const QImage& picture) {
    const std::lock_guard lock(registryMutex);
    const auto found = Registry().find(picture.constBits());
    if (found == Registry().end() || found->second.kind == Mapping::Kind::Twin ||
        picture.format() != QImage::Format_RGB32)
        return picture;
    Mapping& mapping = found->second;
    void* address = const_cast<uchar*>(picture.constBits());
    if (mapping.kind == Mapping::Kind::Writable) {
        // A stray write through the writable image would now fault instead of changing the
        // clean picture and every twin's unwritten pages behind their backs.
        ::mprotect(address, mapping.file->bytes, PROT_READ);
        mapping.kind = Mapping::Kind::Sealed;
    }
    ++mapping.images;
    QImage sealed(picture.constBits(), picture.width(), picture.height(), picture.bytesPerLine(),
                  picture.format(), ReleaseMapping, address);
    CopyPictureMetadata(picture, sealed);
    return sealed;
}

QImage CopyOnWriteTwin(const QImage& sealed) {
    const std::lock_guard lock(registryMutex);
    const Mapping* source = MappingOf(sealed);
    if (source == nullptr || source->kind != Mapping::Kind::Sealed)
        return {};
    QImage twin = MappedPicture(source->file, sealed.size(), Mapping::Kind::Twin);
    if (!twin.isNull())
        CopyPictureMetadata(sealed, twin);
    return twin;
}

bool InMemoryFile(const QImage& picture) {
    const std::lock_guard lock(registryMutex);
    return MappingOf(picture) != nullptr;
}

long long MemoryFileBytes() {
    const std::lock_guard lock(registryMutex);
    std::set<const MemoryFile*> files;
    long long bytes = 0;
    for (const auto& [address, mapping] : Registry()) {
        struct stat status {};
        if (files.insert(mapping.file.get()).second && ::fstat(mapping.file->fd, &status) == 0)
            bytes += (long long)status.st_blocks * 512;
    }
    return bytes;
}

struct SharablePictureWriter::File {
    std::shared_ptr<MemoryFile> memory; ///< null: the rows go into `buffer`
    QImage buffer;
    bool failed = false;
};

SharablePictureWriter::SharablePictureWriter(const QSize& size)
    : width_(size.width()), height_(size.height()) {
    if (size.isEmpty())
        return;
    file_ = std::make_shared<File>();
    file_->memory = NewMemoryFile(size, false);
    if (!file_->memory)
        file_->buffer = NewPicture(size);
    if (!file_->memory && file_->buffer.isNull())
        file_.reset();
}

bool SharablePictureWriter::writeRows(int firstRow, const QRgb* pixels, int rowCount) {
    if (!file_ || file_->failed || firstRow < 0 || rowCount < 0 || rowCount > height_ - firstRow)
        return false;
    const auto rowBytes = std::size_t(BytesPerLine(QSize(width_, height_)));
    const auto* from = reinterpret_cast<const char*>(pixels);
    if (!file_->memory) {
        std::memcpy(file_->buffer.scanLine(firstRow), from, rowBytes * std::size_t(rowCount));
        return true;
    }
    file_->failed = !WriteAll(file_->memory->fd, from, rowBytes * std::size_t(rowCount),
                              off_t(rowBytes * std::size_t(firstRow)));
    return !file_->failed;
}

QImage SharablePictureWriter::finish() {
    const std::shared_ptr<File> file = std::exchange(file_, nullptr);
    if (!file || file->failed)
        return {};
    if (!file->memory)
        return file->buffer;
    const std::lock_guard lock(registryMutex);
    return MappedPicture(file->memory, QSize(width_, height_), Mapping::Kind::Sealed);
}

#else // no memory files: every picture keeps its own buffer

QImage NewSharablePicture(const QSize&) {
    return {};
}
QImage SealedPicture(const QImage& picture) {
    return picture;
}
QImage CopyOnWriteTwin(const QImage&) {
    return {};
}
bool InMemoryFile(const QImage&) {
    return false;
}
long long MemoryFileBytes() {
    return 0;
}

struct SharablePictureWriter::File {
    QImage buffer;
};
SharablePictureWriter::SharablePictureWriter(const QSize& size)
    : width_(size.width()), height_(size.height()) {
    if (QImage buffer = NewPicture(size); !buffer.isNull())
        file_ = std::make_shared<File>(File{buffer});
}
bool SharablePictureWriter::writeRows(int firstRow, const QRgb* pixels, int rowCount) {
    if (!file_ || firstRow < 0 || rowCount < 0 || rowCount > height_ - firstRow)
        return false;
    std::memcpy(file_->buffer.scanLine(firstRow), pixels,
                std::size_t(width_) * sizeof(QRgb) * std::size_t(rowCount));
    return true;
}
QImage SharablePictureWriter::finish() {
    const std::shared_ptr<File> file = std::exchange(file_, nullptr);
    return file ? file->buffer : QImage();
}

#endif

SharablePictureWriter::~SharablePictureWriter() = default;

bool SharablePictureWriter::isValid() const {
    return file_ != nullptr;
}

} // namespace kurvana
