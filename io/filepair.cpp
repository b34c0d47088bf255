#include "io/filepair.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kurvana {

namespace {

/// How many symbolic links in a row are followed before the name is taken as it stands (the
/// system's own limit for a path).
constexpr int kMostLinksFollowed = 40;

/// Whether `path` (links followed) names something that is neither a regular file nor a
/// folder: a pipe, a device or a socket.
bool IsSpecialFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isFile() && !info.isDir();
}

/// The system's own links to open files (/dev/stdout leads to /proc/self/fd/1) name a file
/// someone holds open, not a place in a folder.
bool IsProcessFile(const QString& path) {
    return path.startsWith("/proc/");
}

/// Where a write to a path lands, and whether it goes into what stands there.
struct Destination {
    QString path;
    bool inPlace = false;
};

/// A pipe, a device, a socket or an open file reached through /proc is written into as it is
/// named; anything else lands at the end of its symbolic links (also when that end does not
/// exist yet: a link to a file still to be made), where it is replaced by rename.
Destination DestinationOf(const QString& path) {
    if (IsSpecialFile(path) || IsProcessFile(path))
        return {path, true};
    QString target = QFileInfo(path).absoluteFilePath();
    for (int links = 0; links < kMostLinksFollowed; ++links) {
        const QFileInfo info(target);
        if (!info.isSymLink())
            break;
        target = info.symLinkTarget();
        if (IsProcessFile(target))
            return {path, true};
    }
    return {target, false};
}

/// Writes a file's contents into `file` (its temporary file, or the pipe itself) and flushes
/// them; the reason on failure.
QString WriteTemporary(QFileDevice& file, const PendingFile& pending,
                       QIODevice::OpenMode mode = QIODevice::WriteOnly) {
    if (!file.open(mode))
        return file.errorString();
    const QString reason = pending.write(file);
    if (!reason.isEmpty())
        return reason;
    // Flushing now brings a full disk to light before any old file is touched.
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return file.errorString();
    return {};
}

/// Writes into a pipe or device as it stands, every write checked. A regular file reached
/// through /proc (/dev/stdout sent to a file) is appended to, so that it keeps what was
/// written to it before.
QString WriteInPlace(const PendingFile& pending) {
    QFile file(pending.path);
    const QIODevice::OpenMode mode = QFileInfo(pending.path).isFile()
                                         ? QIODevice::WriteOnly | QIODevice::Append
                                         : QIODevice::WriteOnly;
    QString reason = WriteTemporary(file, pending, mode);
    file.close();
    if (reason.isEmpty() && file.error() != QFileDevice::NoError)
        reason = file.errorString();
    return reason;
}

} // namespace

QString WriteFileAtomically(const QString& path, const QByteArray& contents) {
    const Destination destination = DestinationOf(path);
    const PendingFile pending{destination.path, [&contents](QIODevice& file) {
                                  return file.write(contents) == contents.size()
                                             ? QString()
                                             : file.errorString();
                              }};
    if (destination.inPlace)
        return WriteInPlace(pending);
    QSaveFile file(pending.path);
    if (QString reason = WriteTemporary(file, pending); !reason.isEmpty()) {
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

std::optional<SaveFailure> ReplaceFilePair(const PendingFile& firstAsked,
                                           const PendingFile& secondAsked) {
    const Destination firstPlace = DestinationOf(firstAsked.path);
    const Destination secondPlace = DestinationOf(secondAsked.path);
    const PendingFile first{firstPlace.path, firstAsked.write};
    const PendingFile second{secondPlace.path, secondAsked.write};
    for (const PendingFile* pending : {&first, &second}) {
        const QString folder = QFileInfo(pending->path).absolutePath();
        if (!QDir().mkpath(folder))
            return SaveFailure{folder, "the folder cannot be created."};
    }
    // A pipe or device holds no old contents to keep: it is written into when the regular
    // files are moved into place, and never renamed away or replaced.
    const bool firstSpecial = firstPlace.inPlace;
    const bool secondSpecial = secondPlace.inPlace;
    QSaveFile firstFile(first.path);
    QSaveFile secondFile(second.path);
    if (QString reason = firstSpecial ? QString() : WriteTemporary(firstFile, first);
        !reason.isEmpty())
        return SaveFailure{first.path, reason};
    if (QString reason = secondSpecial ? QString() : WriteTemporary(secondFile, second);
        !reason.isEmpty())
        return SaveFailure{second.path, reason};
    const auto commit = [](QSaveFile& file, const PendingFile& pending, bool special) {
        if (special)
            return WriteInPlace(pending);
        return file.commit() ? QString() : file.errorString();
    };

    const QString aside = first.path + ".kurvana-previous";
    const bool hadFirst = !firstSpecial && QFile::exists(first.path);
    QFile::remove(aside);
    if (hadFirst && !QFile::rename(first.path, aside))
        return SaveFailure{first.path, "the existing file cannot be replaced."};
    const auto restoreFirst = [&] {
        if (hadFirst) {
            QFile::remove(first.path);
            QFile::rename(aside, first.path);
        }
    };
    if (QString reason = commit(firstFile, first, firstSpecial); !reason.isEmpty()) {
        restoreFirst();
        return SaveFailure{first.path, reason};
    }
    if (QString reason = commit(secondFile, second, secondSpecial); !reason.isEmpty()) {
        if (!hadFirst && !firstSpecial)
            QFile::remove(first.path);
        restoreFirst();
        return SaveFailure{second.path, reason};
    }
    if (hadFirst)
        QFile::remove(aside);
    return std::nullopt;
}

} // namespace kurvana
