#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QString>

class QIODevice;

namespace kurvana {

/// One file of a save: its path and the writer of its contents, which returns an empty text
/// on success and the reason otherwise.
struct PendingFile {
    QString path;
    std::function<QString(QIODevice&)> write;
};

/// Why a save failed: the file concerned and the reason.
struct SaveFailure {
    QString file;
    QString reason;
};

/// How both writers below treat what stands at a target: a regular file (or a new name) is
/// replaced by rename; a symbolic link is followed to its end, which is written as the link's
/// target is, so the link stays and points at the new contents; a pipe, a device or a socket
/// (a FIFO, /dev/full), or an open file named through /proc (`-o /dev/stdout`, appended to),
/// is opened and written into as it stands, every write and the flush checked, and never
/// replaced by a regular file.

/// Writes `contents` to `path` atomically: completely to a temporary file beside it, then moved
/// into place, so that a failed write leaves the file that was there whole. Returns an empty
/// text on success, otherwise the reason.
QString WriteFileAtomically(const QString& path, const QByteArray& contents);

/// Writes both files completely to temporary files beside their targets (creating missing
/// folders), then moves them into place, the second last. Until the second is in place the
/// old first file is kept aside and comes back on failure, so the old pair stays whole
/// whatever fails. Returns the failure, or nothing on success.
std::optional<SaveFailure> ReplaceFilePair(const PendingFile& first, const PendingFile& second);

} // namespace kurvana
