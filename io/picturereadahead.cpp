#include "io/picturereadahead.h"

#include <future>
#include <mutex>

#include <QFileInfo>

namespace kurvana {

namespace {

struct ReadAhead {
    QString path;
    std::future<PictureReadResult> result;
};

std::mutex readAheadMutex;
ReadAhead& Pending() {
    static ReadAhead pending;
    return pending;
}

/// The pending reading when it is one of `path` (any when `path` is null), moved out so that
/// waiting for it holds no lock.
std::future<PictureReadResult> TakePending(const QString* path) {
    const std::lock_guard lock(readAheadMutex);
    if (path != nullptr && Pending().path != *path)
        return {};
    std::future<PictureReadResult> taken = std::move(Pending().result);
    Pending() = {};
    return taken;
}

} // namespace

PictureReadAhead::PictureReadAhead(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (path.isEmpty() || suffix == "gra" || suffix == "pdf")
        return;
    const std::lock_guard lock(readAheadMutex);
    Pending() = {path, std::async(std::launch::async, [path] { return ReadStoredPicture(path); })};
}

PictureReadAhead::~PictureReadAhead() {
    drop();
}

void PictureReadAhead::drop() {
    const std::future<PictureReadResult> dropped = TakePending(nullptr);
    if (dropped.valid())
        dropped.wait();
}

std::optional<PictureReadResult> TakeReadAheadPicture(const QString& path) {
    std::future<PictureReadResult> taken = TakePending(&path);
    if (!taken.valid())
        return std::nullopt;
    try {
        return taken.get();
    } catch (const std::exception&) {
        return std::nullopt; // memory short on the worker: the caller reads the file itself
    }
}

} // namespace kurvana
