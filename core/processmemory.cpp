#include "core/processmemory.h"

#include <QByteArray>
#include <QFile>

#include "core/picturememory.h"

namespace kurvana {

namespace {

/// A "Name:   123 kB" line of /proc/self/status, in bytes; 0 when missing.
long long StatusBytes(const QByteArray& status, const QByteArray& name) {
    for (const QByteArray& line : status.split('\n'))
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed().split(' ').value(0).toLongLong() * 1024;
    return 0;
}

} // namespace

long long PeakMemoryBytes() {
    QFile file("/proc/self/status");
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray status = file.readAll();
    const long long peak = StatusBytes(status, "VmHWM");
    // The mapped pages of shared memory now are those of the memory files the peak already
    // counts (the other shared memory, such as a window's on X, is small beside a picture).
    const long long mappedShared = StatusBytes(status, "RssShmem");
    const long long files = MemoryFileBytes();
    return files > mappedShared ? peak - mappedShared + files : peak;
}

} // namespace kurvana
