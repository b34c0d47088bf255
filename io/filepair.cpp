#include "io/filepair.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kurvana {

namespace {

/// Writes a file's contents into its temporary file; the reason on failure.
QString WriteTemporary(QSaveFile& file, const PendingFile& pending) {
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QString reason = pending.write(file);
    if (!reason.isEmpty())
        return reason;
    // Flushing now brings a full disk to light before any old file is touched.
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return file.errorString();
    return {};
}

} // namespace

QString WriteFileAtomically(const QString& path, const QByteArray& contents) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(contents) != contents.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

std::optional<SaveFailure> ReplaceFilePair(const PendingFile& first, const PendingFile& second) {
    for (const PendingFile* pending : {&first, &second}) {
        const QString folder = QFileInfo(pending->path).absolutePath();
        if (!QDir().mkpath(folder))
            return SaveFailure{folder, "the folder cannot be created."};
    }
    QSaveFile firstFile(first.path);
    QSaveFile secondFile(second.path);
    if (QString reason = WriteTemporary(firstFile, first); !reason.isEmpty())
        return SaveFailure{first.path, reason};
    if (QString reason = WriteTemporary(secondFile, second); !reason.isEmpty())
        return SaveFailure{second.path, reason};

    const QString aside = first.path + ".kurvana-previous";
    const bool hadFirst = QFile::exists(first.path);
    QFile::remove(aside);
    if (hadFirst && !QFile::rename(first.path, aside))
        return SaveFailure{first.path, "the existing file cannot be replaced."};
    const auto restoreFirst = [&] {
        if (hadFirst) {
            QFile::remove(first.path);
            QFile::rename(aside, first.path);
        }
    };
    if (!firstFile.commit()) {
        restoreFirst();
        return SaveFailure{first.path, firstFile.errorString()};
    }
    if (!secondFile.commit()) {
        if (!hadFirst)
            QFile::remove(first.path);
        restoreFirst();
        return SaveFailure{second.path, secondFile.errorString()};
    }
    if (hadFirst)
        QFile::remove(aside);
    return std::nullopt;
}

} // namespace kurvana
