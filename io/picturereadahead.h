#pragma once

#include <optional>

#include <QString>

#include "io/picturefile.h"

namespace kurvana {

/// The picture file named on the command line, read on a worker thread while the windows are
/// being made, so that reading a large scan and building the interface take the two halves of
/// the start-up side by side rather than one after the other. TryReadPicture takes the result
/// when it is asked for that very file; a result nobody takes is dropped with this object.
///
/// One read-ahead at a time: it is made once, at start-up, after the application object.
class PictureReadAhead {
public:
    /// Starts reading `path`, unless it names a data file or a PDF document: those need the
    /// settings or a dialog before their picture can be read.
    explicit PictureReadAhead(const QString& path);
    /// Waits for the reading, and drops a picture nobody took.
    ~PictureReadAhead();
    PictureReadAhead(const PictureReadAhead&) = delete;
    PictureReadAhead& operator=(const PictureReadAhead&) = delete;

    /// Drops a picture nobody took now rather than at the end, giving its memory back.
    void drop();
};

/// The file as ReadStoredPicture read it ahead, when a read-ahead of exactly `path` is pending:
/// waits for it, and hands it over once. Nothing otherwise.
std::optional<PictureReadResult> TakeReadAheadPicture(const QString& path);

} // namespace kurvana
